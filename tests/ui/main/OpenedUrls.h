#pragma once

#include <QList>
#include <QUrl>

namespace quorvane {

// A program with this file answers every address the client asks the desktop to open (browser,
// mail program, files) for the whole run, so a test sees what would have been opened and nothing
// is really started.

// The addresses handed over since the last clearOpenedUrls, oldest first.
QList<QUrl> openedUrls();
void clearOpenedUrls();

} // namespace quorvane
