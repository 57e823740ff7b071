#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <ostream>

class QApplication;

// Each test program of this folder runs one application object for all its tests, created
// before the first test and destroyed after the last. The client's URL scheme is registered
// before it, and a temporary profile isolates the browser's storage.
QApplication& TestApp();

// Runs the event loop until `done` holds; false after `timeoutMs` without it.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000);

// Shows a top-level widget and waits until the window system has exposed it.
bool ShowAndExpose(QWidget& widget);

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
