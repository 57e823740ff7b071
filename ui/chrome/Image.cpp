#include "ui/chrome/Image.h"

#include <QMouseEvent>
#include <QPainter>

namespace quorvane {

Image::Image(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_NoSystemBackground);
}

Image::~Image() = default;

void Image::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    setFixedSize(m_picture.deviceIndependentSize().toSize());
    update();
}

QSize Image::sizeHint() const
{
    return m_picture.deviceIndependentSize().toSize();
}

void Image::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    // A 2x picture on a screen of scale 1.5 is shrunk: smoothly, or its lines come out uneven.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(0, 0, m_picture);
}

void Image::enterEvent(QEnterEvent*)
{
    emit mouseEnter();
}

void Image::leaveEvent(QEvent*)
{
    emit mouseLeave();
}

void Image::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit mouseDown(event->button());
}

void Image::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    emit mouseUp(event->button());
}

void Image::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click arrives as this event only.
    event->accept();
    emit mouseDown(event->button());
}

} // namespace quorvane
