#include "notify/MessageTitle.h"

#include "resources/SkinPictures.h"
#include "ui/chrome/SkinBitmap.h"

#include <QPainter>

namespace quorvane {

QPixmap messageTitlePicture(int width)
{
    const QPixmap title = skinBitmap(QString::fromLatin1(SkinPicture::MessageTitle));
    if (width <= title.width())
        return title;
    QPixmap wide(width, title.height());
    wide.fill(Qt::transparent);
    QPainter painter(&wide);
    painter.drawPixmap(0, 0, title);
    // The last column is plain title gradient, so stretching it sideways repeats it exactly.
    const QRect lastColumn(title.width() - 1, 0, 1, title.height());
    painter.drawPixmap(QRect(title.width(), 0, width - title.width(), title.height()), title, lastColumn);
    return wide;
}

} // namespace quorvane
