#include "notify/MessageTitle.h"

#include "resources/SkinPictures.h"
#include "ui/chrome/SkinBitmap.h"

#include <QPainter>

namespace quorvane {

QPixmap messageTitlePicture(int width)
{
    const QPixmap title = skinBitmap(QString::fromLatin1(SkinPicture::MessageTitle));
    // Sizes in points; the 2x picture of a high-density screen has twice the pixels.
    const QSize size = title.deviceIndependentSize().toSize();
    if (width <= size.width())
        return title;
    const qreal ratio = title.devicePixelRatio();
    QPixmap wide(QSize(width, size.height()) * ratio);
    wide.setDevicePixelRatio(ratio);
    wide.fill(Qt::transparent);
    QPainter painter(&wide);
    painter.drawPixmap(0, 0, title);
    // The last column is plain title gradient, so stretching it sideways repeats it exactly.
    const QRect lastColumn(title.width() - 1, 0, 1, title.height()); // in the picture's pixels
    painter.drawPixmap(QRectF(size.width(), 0, width - size.width(), size.height()), title, lastColumn);
    return wide;
}

} // namespace quorvane
