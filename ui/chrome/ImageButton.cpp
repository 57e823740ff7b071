#include "ui/chrome/ImageButton.h"

#include "ui/chrome/SkinBitmap.h"

#include <QMouseEvent>
#include <QPointer>

TImageButton::TImageButton(const QString& word, TStates states, QWidget* parent)
    : TImage(parent), word_(word), states_(states)
{
    ShowNormal();
}

TImageButton::~TImageButton() = default;

void TImageButton::ShowNormal()
{
    LoadButtonBitmap(this, word_ + QStringLiteral("_NORMAL"));
}

void TImageButton::ShowHover()
{
    LoadButtonBitmap(this, word_ + QStringLiteral("_HOVER"));
}

void TImageButton::Click()
{
    emit Clicked();
}

void TImageButton::enterEvent(QEnterEvent* event)
{
    ShowHover();
    TImage::enterEvent(event);
}

void TImageButton::leaveEvent(QEvent* event)
{
    ShowNormal();
    TImage::leaveEvent(event);
}

void TImageButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        leftPressed_ = true;
    if (states_ == TStates::Three)
        LoadButtonBitmap(this, word_ + QStringLiteral("_CLICK"));
    TImage::mousePressEvent(event);
}

void TImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click =
        event->button() == Qt::LeftButton && leftPressed_ && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        leftPressed_ = false;
    // The click action may close the window and destroy this button with it.
    QPointer<TImageButton> alive(this);
    if (click)
        Click();
    if (!alive)
        return;
    if (states_ == TStates::Three)
        ShowNormal();
    TImage::mouseReleaseEvent(event);
}

void TImageButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click: pressed like any press, but its release is no
    // second click.
    leftPressed_ = false;
    if (states_ == TStates::Three)
        LoadButtonBitmap(this, word_ + QStringLiteral("_CLICK"));
    TImage::mouseDoubleClickEvent(event);
}
