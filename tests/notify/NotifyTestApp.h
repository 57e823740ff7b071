#pragma once

#include <QString>
#include <functional>
#include <ostream>

class QApplication;

// Each test program of this folder runs one application object for all its tests, made as the
// client makes its own: the client's URL scheme registered first, and the last window closed
// does not end it. A temporary profile isolates the browser's storage for the whole run.
QApplication& TestApp();

// Runs the event loop until `done` holds; false after `timeoutMs` without it.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000);
// Runs the event loop for `ms` milliseconds.
void RunEvents(int ms);

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
