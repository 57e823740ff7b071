#include "ui/chrome/ImageButton.h"

#include "ui/chrome/SkinBitmap.h"

#include <QMouseEvent>
#include <QPointer>

TImageButton::TImageButton(const QString& word, TStates states, QWidget* parent)
    : TImage(parent), m_word(word), m_states(states)
{
    showNormalPicture();
}

TImageButton::~TImageButton() = default;

void TImageButton::showNormalPicture()
{
    loadButtonBitmap(this, m_word + QStringLiteral("_NORMAL"));
}

void TImageButton::showHoverPicture()
{
    loadButtonBitmap(this, m_word + QStringLiteral("_HOVER"));
}

void TImageButton::click()
{
    emit clicked();
}

void TImageButton::enterEvent(QEnterEvent* event)
{
    showHoverPicture();
    TImage::enterEvent(event);
}

void TImageButton::leaveEvent(QEvent* event)
{
    showNormalPicture();
    TImage::leaveEvent(event);
}

void TImageButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
    if (m_states == TStates::Three)
        loadButtonBitmap(this, m_word + QStringLiteral("_CLICK"));
    TImage::mousePressEvent(event);
}

void TImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    const bool isClick =
        event->button() == Qt::LeftButton && m_leftPressed && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_leftPressed = false;
    // The click action may close the window and destroy this button with it.
    QPointer<TImageButton> alive(this);
    if (isClick)
        click();
    if (!alive)
        return;
    if (m_states == TStates::Three)
        showNormalPicture();
    TImage::mouseReleaseEvent(event);
}

void TImageButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click: pressed like any press, but its release is no
    // second click.
    m_leftPressed = false;
    if (m_states == TStates::Three)
        loadButtonBitmap(this, m_word + QStringLiteral("_CLICK"));
    TImage::mouseDoubleClickEvent(event);
}
