#pragma once

#include "ui/chrome/Image.h"

#include <QString>

namespace quorvane {

// An image that plays a button by swapping whole skin bitmaps named after its word and state:
// WORD_NORMAL, WORD_HOVER and, for three states, WORD_CLICK. It shows its normal picture from
// creation on.
//
// Entering loads the hover picture, leaving the normal one. A three-state button loads its
// pressed picture on the press of any mouse button and its normal picture on the release of
// any button, so the hover picture returns only with the next enter. The release of the left
// button over the button runs the click action first (Clicked) and only then loads the normal
// picture: the button stays pressed for as long as the action lasts.
//
// For the keyboard it is a stop of the Tab chain (not taken by a mouse click, which leaves the
// caret where it is): focused with Tab it shows its hover picture, and Space, Enter or
// Return press it. Screen readers see a push button named after its accessible name (the text
// its picture shows, or what it does), else its tooltip.
class ImageButton final : public Image
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ImageButton)

public:
    enum class States
    {
        Two,
        Three
    };

    ImageButton(const QString& word, States states, QWidget* parent = nullptr);
    ~ImageButton() override;

    const QString& word() const { return m_word; }
    States states() const { return m_states; }

    void showNormalPicture();
    void showHoverPicture();
    // Performs the click action, as a click on the button does.
    void click();

signals:
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QString m_word;
    States m_states;
    // A click needs a left press on the button; the second press of a double click makes none.
    bool m_leftPressed = false;
    // The hover picture shows because Tab brought the focus here.
    bool m_litByFocus = false;
};

} // namespace quorvane
