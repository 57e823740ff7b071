#include "ui/chrome/Image.h"

#include <QMouseEvent>
#include <QPainter>

TImage::TImage(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_NoSystemBackground);
}

TImage::~TImage() = default;

void TImage::SetPicture(const QPixmap& picture)
{
    picture_ = picture;
    setFixedSize(picture_.deviceIndependentSize().toSize());
    update();
}

QSize TImage::sizeHint() const
{
    return picture_.deviceIndependentSize().toSize();
}

void TImage::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

void TImage::enterEvent(QEnterEvent*)
{
    emit MouseEnter();
}

void TImage::leaveEvent(QEvent*)
{
    emit MouseLeave();
}

void TImage::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit MouseDown(event->button());
}

void TImage::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    emit MouseUp(event->button());
}

void TImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click arrives as this event only.
    event->accept();
    emit MouseDown(event->button());
}
