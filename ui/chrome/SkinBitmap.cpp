#include "ui/chrome/SkinBitmap.h"

#include "platform/Failure.h"
#include "resources/SkinResources.h"
#include "ui/chrome/Image.h"

QPixmap SkinBitmap(const QString& name)
{
    QPixmap bitmap;
    if (name.isEmpty() || !bitmap.load(SkinPath(name)))
        throw TFailure(QStringLiteral("Resource %1 not found").arg(name));
    return bitmap;
}

void LoadButtonBitmap(TImage* image, const QString& name)
{
    image->SetPicture(SkinBitmap(name));
}
