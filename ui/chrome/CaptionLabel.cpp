#include "ui/chrome/CaptionLabel.h"

#include "ui/chrome/ImageButton.h"

#include <QMouseEvent>
#include <QTimer>

TCaptionLabel::TCaptionLabel(const QString& text, TImageButton* image, QWidget* parent)
    : QLabel(text, parent), m_image(image)
{
}

TCaptionLabel::~TCaptionLabel() = default;

void TCaptionLabel::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    if (m_image)
        m_image->showHoverPicture();
}

void TCaptionLabel::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    // The image learns that the cursor is over it only after this label has been left.
    QTimer::singleShot(0, this, [this] {
        if (m_image && !m_image->underMouse() && !underMouse())
            m_image->showNormalPicture();
    });
}

void TCaptionLabel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
}

void TCaptionLabel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = m_leftPressed && rect().contains(event->position().toPoint());
    m_leftPressed = false;
    if (click && m_image)
        m_image->click();
}

void TCaptionLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        m_leftPressed = false;
}
