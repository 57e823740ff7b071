#pragma once

#include <QString>
#include <QStringList>

// Opens a URL in the user's default browser; false when no handler could be started.
bool OpenInDefaultBrowser(const QString& url);

// Starts a program detached from the client; with `elevated` it asks for administrator
// rights first. False when the program could not be started.
bool StartProgram(const QString& program, const QStringList& arguments, bool elevated);
