#include "ui/chrome/MessageBox.h"

#include <QMutex>
#include <QMutexLocker>
#include <QQueue>
#include <utility>

namespace quorvane {

namespace {

struct TestHooks
{
    QMutex mutex;
    bool on = false;
    QQueue<QMessageBox::StandardButton> answers;
    QList<ShownMessage> shown;
};

TestHooks& testHooks()
{
    static TestHooks hooks;
    return hooks;
}

QMessageBox::StandardButton defaultOf(QMessageBox::StandardButtons buttons)
{
    for (const auto button : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel,
                              QMessageBox::Retry, QMessageBox::Abort, QMessageBox::Ignore}) {
        if (buttons.testFlag(button))
            return button;
    }
    return QMessageBox::NoButton;
}

} // namespace

QMessageBox::StandardButton MessageBox::show(QWidget* owner, const QString& title, const QString& text,
                                             QMessageBox::StandardButtons buttons, QMessageBox::Icon icon,
                                             QMessageBox::StandardButton defaultButton)
{
    if (buttons == QMessageBox::NoButton)
        buttons = QMessageBox::Ok;
    if (defaultButton == QMessageBox::NoButton)
        defaultButton = defaultOf(buttons);
    {
        TestHooks& hooks = testHooks();
        QMutexLocker lock(&hooks.mutex);
        if (hooks.on) {
            hooks.shown.append({title, text, buttons, icon});
            return hooks.answers.isEmpty() ? defaultButton : hooks.answers.dequeue();
        }
    }
    QMessageBox box(icon, title, text, buttons, owner);
    // Texts often come from outside (a server's message, an HTTP status line, a page's alert):
    // they are shown as they stand, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    const int answer = box.exec();
    // exec() gives the standard button clicked, or the escape button when the box was closed.
    return static_cast<QMessageBox::StandardButton>(answer);
}

void MessageBox::information(QWidget* owner, const QString& title, const QString& text)
{
    show(owner, title, text, QMessageBox::Ok, QMessageBox::Information);
}

void MessageBox::warning(QWidget* owner, const QString& title, const QString& text)
{
    show(owner, title, text, QMessageBox::Ok, QMessageBox::Warning);
}

void MessageBox::critical(QWidget* owner, const QString& title, const QString& text)
{
    show(owner, title, text, QMessageBox::Ok, QMessageBox::Critical);
}

bool MessageBox::question(QWidget* owner, const QString& title, const QString& text)
{
    return show(owner, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question) ==
           QMessageBox::Yes;
}

void MessageBox::setTestMode(bool on)
{
    TestHooks& hooks = testHooks();
    QMutexLocker lock(&hooks.mutex);
    hooks.on = on;
    hooks.answers.clear();
    hooks.shown.clear();
}

void MessageBox::setNextAnswer(QMessageBox::StandardButton answer)
{
    TestHooks& hooks = testHooks();
    QMutexLocker lock(&hooks.mutex);
    hooks.on = true;
    hooks.answers.enqueue(answer);
}

QList<ShownMessage> MessageBox::shown()
{
    TestHooks& hooks = testHooks();
    QMutexLocker lock(&hooks.mutex);
    return hooks.shown;
}

QList<ShownMessage> MessageBox::takeShown()
{
    TestHooks& hooks = testHooks();
    QMutexLocker lock(&hooks.mutex);
    return std::exchange(hooks.shown, {});
}

} // namespace quorvane
