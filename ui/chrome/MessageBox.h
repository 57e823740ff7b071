#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>

class QWidget;

namespace quorvane {

// What a message box showed, as recorded in test mode.
struct ShownMessage
{
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Every message box of the client goes through here, so that a window test can answer the
// boxes in advance instead of blocking on them.
class MessageBox final
{
public:
    MessageBox() = delete;

    // Shows a modal message box owned by `owner` (or by no window) and returns the button
    // chosen. Escape or closing the box gives the box's escape button. The first of `buttons`
    // in the order OK, Yes, No, Cancel is the default button unless `defaultButton` is given.
    static QMessageBox::StandardButton
    show(QWidget* owner, const QString& title, const QString& text,
         QMessageBox::StandardButtons buttons = QMessageBox::Ok, QMessageBox::Icon icon = QMessageBox::NoIcon,
         QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    static void information(QWidget* owner, const QString& title, const QString& text);
    static void warning(QWidget* owner, const QString& title, const QString& text);
    static void critical(QWidget* owner, const QString& title, const QString& text);
    // A Yes/No question; true for Yes.
    static bool question(QWidget* owner, const QString& title, const QString& text);

    // Test hooks. In test mode no box is displayed: each one is recorded and answered with the
    // next queued answer, or with its default button when none is queued.
    static void setTestMode(bool on);
    // Queues the answer of the next box and turns test mode on.
    static void setNextAnswer(QMessageBox::StandardButton answer);
    // The boxes recorded since test mode began or since the last takeShown, oldest first.
    static QList<ShownMessage> shown();
    static QList<ShownMessage> takeShown();
};

} // namespace quorvane
