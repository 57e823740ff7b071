#include "ui/dialogs/DialogLook.h"

#include <QPalette>
#include <QWidget>

namespace quorvane {

QFont tahomaFont(int pixelSize)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelSize);
    return font;
}

void placeCentred(QWidget* widget, const QRect& place)
{
    const int height = qMax(place.height(), widget->sizeHint().height());
    widget->setGeometry(place.left(), place.center().y() - (height - 1) / 2, place.width(), height);
}

} // namespace quorvane
