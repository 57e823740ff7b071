#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <ostream>

class QApplication;
class QWidget;

namespace quorvane {

// Every test program that links quorvane_test_app runs one application object for all its tests,
// created before the first test and destroyed after the last, made as the client makes its own:
// a temporary profile for the whole run, the client's URL scheme registered before it, the last
// window closed does not end it, and a failure that escapes an event handler is caught and the
// program goes on. A test takes such failures with takeEscapedFailures; any left at its end fail it.
QApplication& testApp();

// The messages of the failures that escaped an event handler since the last call.
QStringList takeEscapedFailures();

// Runs the event loop until `done` holds; false after `timeoutMs` without it.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 20000);
// Runs the event loop for `ms` milliseconds.
void runEvents(int ms);
// Shows a top-level widget and waits until the window system has exposed it.
bool showAndExpose(QWidget& widget);

// What a program adds around the run's application object. Set-up steps run in the order they
// were added, tear-down steps in the reverse order.
struct TestAppSteps
{
    std::function<void()> beforeApp = {};     // the run's profile exists, the application object not yet
    std::function<void()> afterApp = {};      // right after the application object is made
    std::function<void()> beforeAppGone = {}; // before the application object is destroyed
    std::function<void()> afterAppGone = {};  // after it, while the run's profile still exists
};
// Must run before the first test; it returns true so that a program can call it to initialise a
// variable at namespace scope.
bool addTestAppSteps(TestAppSteps steps);

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

} // namespace quorvane
