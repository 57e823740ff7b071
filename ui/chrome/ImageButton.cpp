#include "ui/chrome/ImageButton.h"

#include "ui/chrome/SkinBitmap.h"

#include <QMouseEvent>
#include <QPointer>

namespace quorvane {

ImageButton::ImageButton(const QString& word, States states, QWidget* parent)
    : Image(parent), m_word(word), m_states(states)
{
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
