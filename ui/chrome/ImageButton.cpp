#include "ui/chrome/ImageButton.h"

#include "ui/chrome/ImageButtonAccessible.h"
#include "ui/chrome/SkinBitmap.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

namespace quorvane {

ImageButton::ImageButton(const QString& word, States states, QWidget* parent)
    : Image(parent), m_word(word), m_states(states)
{
    installImageButtonAccessibility();
    setFocusPolicy(Qt::TabFocus);
    showNormalPicture();
}

ImageButton::~ImageButton() = default;

void ImageButton::showNormalPicture()
{
    loadButtonBitmap(this, m_word + QStringLiteral("_NORMAL"));
}

void ImageButton::showHoverPicture()
{
    loadButtonBitmap(this, m_word + QStringLiteral("_HOVER"));
}

void ImageButton::click()
{
    emit clicked();
}

void ImageButton::enterEvent(QEnterEvent* event)
{
    showHoverPicture();
    Image::enterEvent(event);
}

void ImageButton::leaveEvent(QEvent* event)
{
    showNormalPicture();
    Image::leaveEvent(event);
}

void ImageButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
    if (m_states == States::Three)
        loadButtonBitmap(this, m_word + QStringLiteral("_CLICK"));
    Image::mousePressEvent(event);
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    const bool isClick =
        event->button() == Qt::LeftButton && m_leftPressed && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_leftPressed = false;
    // The click action may close the window and destroy this button with it.
    QPointer<ImageButton> alive(this);
    if (isClick)
        click();
    if (!alive)
        return;
    if (m_states == States::Three)
        showNormalPicture();
    Image::mouseReleaseEvent(event);
}

void ImageButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            click();
        return;
    default:
        Image::keyPressEvent(event);
    }
}

void ImageButton::focusInEvent(QFocusEvent* event)
{
    // Lit only when the keyboard brought the focus; a window that hands its first focus here on
    // opening shows the button as it always has.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) {
        m_litByFocus = true;
        showHoverPicture();
    }
    Image::focusInEvent(event);
}

void ImageButton::focusOutEvent(QFocusEvent* event)
{
    if (m_litByFocus && !underMouse())
        showNormalPicture();
    m_litByFocus = false;
    Image::focusOutEvent(event);
}

void ImageButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click: pressed like any press, but its release is no
    // second click.
    m_leftPressed = false;
    if (m_states == States::Three)
        loadButtonBitmap(this, m_word + QStringLiteral("_CLICK"));
    Image::mouseDoubleClickEvent(event);
}

} // namespace quorvane
