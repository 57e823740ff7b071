#include "ui/chrome/CaptionLabel.h"

#include "ui/chrome/ImageButton.h"

#include <QMouseEvent>
#include <QTimer>

TCaptionLabel::TCaptionLabel(const QString& text, TImageButton* image, QWidget* parent)
    : QLabel(text, parent), image_(image)
{
}

TCaptionLabel::~TCaptionLabel() = default;

void TCaptionLabel::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    if (image_)
        image_->ShowHover();
}

void TCaptionLabel::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    // The image learns that the cursor is over it only after this label has been left.
    QTimer::singleShot(0, this, [this] {
        if (image_ && !image_->underMouse() && !underMouse())
            image_->ShowNormal();
    });
}

void TCaptionLabel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        leftPressed_ = true;
}

void TCaptionLabel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = leftPressed_ && rect().contains(event->position().toPoint());
    leftPressed_ = false;
    if (click && image_)
        image_->Click();
}

void TCaptionLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        leftPressed_ = false;
}
