#pragma once

#include <QString>

// When the client starts the updater with elevated rights (pkexec), the updater runs as root in
// a bare environment; what it does for the user who asked, it does as that user.

// The user who started the updater through pkexec, or -1 when it runs with the user's own rights.
int InvokingUserThroughPkexec();

// The lock file of that user's client in the user's session runtime folder.
QString ClientLockFileOf(int uid, const QString& lockName);

// Starts `program` detached as user `uid`, in the user's home folder, with the session variables
// pkexec passed on (a display is reachable only when the polkit rule keeps it).
bool StartProgramAsUser(const QString& program, int uid);

// Removes `path` with the rights of user `uid` only.
void RemoveFileAsUser(const QString& path, int uid);
