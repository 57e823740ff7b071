#include "ui/chrome/SkinBitmap.h"

#include "platform/Failure.h"
#include "resources/SkinResources.h"
#include "ui/chrome/Image.h"

namespace quorvane {

QPixmap skinBitmap(const QString& name)
{
    QPixmap bitmap;
    if (name.isEmpty() || !bitmap.load(skinPath(name)))
        throw Failure(QStringLiteral("Resource %1 not found").arg(name));
    return bitmap;
}

void loadButtonBitmap(Image* image, const QString& name)
{
    image->setPicture(skinBitmap(name));
}

} // namespace quorvane
