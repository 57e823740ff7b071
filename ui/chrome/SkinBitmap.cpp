#include "ui/chrome/SkinBitmap.h"

#include "platform/Failure.h"
#include "resources/SkinResources.h"
#include "ui/chrome/Image.h"

#include <QGuiApplication>

namespace quorvane {

QPixmap skinBitmap(const QString& name)
{
    // The highest ratio of all screens, so that a window moved to the sharpest screen stays sharp.
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    const QString path = skinPath(name, ratio);
    QPixmap bitmap;
    if (name.isEmpty() || !bitmap.load(path))
        throw Failure(QStringLiteral("Resource %1 not found").arg(name));
    if (path.contains(QLatin1String("@2x.")))
        bitmap.setDevicePixelRatio(2);
    return bitmap;
}

void loadButtonBitmap(Image* image, const QString& name)
{
    image->setPicture(skinBitmap(name));
}

} // namespace quorvane
