#pragma once

#include <QList>
#include <QUrl>

// Answers every address the client asks the desktop to open (browser, mail program, files), so
// a test sees what would have been opened and nothing is really started.
void InstallUrlCatcher();
void RemoveUrlCatcher();

// The addresses handed over since the last ClearOpenedUrls, oldest first.
QList<QUrl> OpenedUrls();
void ClearOpenedUrls();
