#include "ui/chrome/CaptionLabel.h"

#include "ui/chrome/ImageButton.h"

#include <QMouseEvent>
#include <QTimer>

namespace quorvane {

CaptionLabel::CaptionLabel(const QString& text, ImageButton* image, QWidget* parent)
    : QLabel(text, parent), m_image(image)
{
}

CaptionLabel::~CaptionLabel() = default;

void CaptionLabel::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    if (m_image)
        m_image->showHoverPicture();
}

void CaptionLabel::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    // The image learns that the cursor is over it only after this label has been left.
    QTimer::singleShot(0, this, [this] {
        if (m_image && !m_image->underMouse() && !underMouse())
            m_image->showNormalPicture();
    });
}

void CaptionLabel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
}

void CaptionLabel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = m_leftPressed && rect().contains(event->position().toPoint());
    m_leftPressed = false;
    if (click && m_image)
        m_image->click();
}

void CaptionLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        m_leftPressed = false;
}

} // namespace quorvane
