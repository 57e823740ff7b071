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
    // Qt reads a picture named "@2x" with a device pixel ratio of 2.
    QPixmap bitmap;
    if (name.isEmpty() || !bitmap.load(skinPath(name, ratio)))
        throw Failure(QStringLiteral("Resource %1 not found").arg(name));
    return bitmap;
}

void loadButtonBitmap(Image* image, const QString& name)
{
    image->setPicture(skinBitmap(name));
}

} // namespace quorvane
