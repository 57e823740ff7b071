#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <ostream>

class QWebEnginePage;
class QWidget;

// The application object of the window tests. Like the client's own, it catches a failure that
// escapes an event handler and goes on running; here the failure's message is recorded.
// Each test program creates one for all its tests (CreateTestApplication in its environment).
void CreateTestApplication(const char* programName);
void DestroyTestApplication();

// The messages of the failures that escaped an event handler since the last call.
QStringList TakeEscapedFailures();

// Runs the event loop until `done` holds; false after `timeoutMs` without it.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000);
// Shows a top-level window and waits until it is exposed and active.
bool ShowAndActivate(QWidget& window);
// Lets deferred deletions and queued calls happen.
void ProcessEvents();

// Runs a script in the page and waits for its result.
QVariant RunScript(QWebEnginePage* page, const QString& script);

// When QUORVANE_SCREENSHOT_DIR is set, saves what the screen shows of the window there as
// NAME.png, for a person to look at. Does nothing otherwise.
void SaveScreenshot(QWidget& window, const QString& name);

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
