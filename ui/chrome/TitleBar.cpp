#include "ui/chrome/TitleBar.h"

#include <QPalette>

namespace quorvane {

void fillBackground(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    // Buttons (check boxes) fill with another role by default.
    widget->setBackgroundRole(QPalette::Window);
    widget->setAutoFillBackground(true);
}

TitleBar::TitleBar(QWidget* window) : QWidget(window)
{
    fillBackground(this, colour());
}

TitleBar::~TitleBar() = default;

} // namespace quorvane
