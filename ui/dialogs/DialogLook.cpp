#include "ui/dialogs/DialogLook.h"

#include <QPalette>
#include <QWidget>

QFont tahomaFont(int pixelSize)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelSize);
    return font;
}

void fillBackground(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    // Buttons (check boxes) fill with another role by default.
    widget->setBackgroundRole(QPalette::Window);
    widget->setAutoFillBackground(true);
}

void placeCentred(QWidget* widget, const QRect& place)
{
    const int height = qMax(place.height(), widget->sizeHint().height());
    widget->setGeometry(place.left(), place.center().y() - (height - 1) / 2, place.width(), height);
}
