#include "ui/chrome/Image.h"

#include <QMouseEvent>
#include <QPainter>

TImage::TImage(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_NoSystemBackground);
}

TImage::~TImage() = default;

void TImage::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    setFixedSize(m_picture.deviceIndependentSize().toSize());
    update();
}

QSize TImage::sizeHint() const
{
    return m_picture.deviceIndependentSize().toSize();
}

void TImage::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}

void TImage::enterEvent(QEnterEvent*)
{
    emit mouseEnter();
}

void TImage::leaveEvent(QEvent*)
{
    emit mouseLeave();
}

void TImage::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit mouseDown(event->button());
}

void TImage::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    emit mouseUp(event->button());
}

void TImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click arrives as this event only.
    event->accept();
    emit mouseDown(event->button());
}
