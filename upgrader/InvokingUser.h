#pragma once

#include <QByteArray>
#include <QString>
#include <sys/types.h>

namespace quorvane {

// When the client starts the updater with elevated rights (pkexec), the updater runs as root in
// a bare environment; what it does for the user who asked, it does as that user.

// A user account as the updater needs it to act for that user.
struct Account
{
    uid_t uid = 0;
    gid_t gid = 0;
    QByteArray name;
    QByteArray home;
};

// The account of user `uid`; false when there is none.
bool lookUpAccount(int uid, Account& account);

// The user who started the updater through pkexec, or -1 when it runs with the user's own rights.
int invokingUserThroughPkexec();

// The lock file of that user's client in the user's session runtime folder.
QString clientLockFileOf(int uid, const QString& lockName);

// Removes the folder `path` and everything below it with the rights of user `uid` only.
void removeFolderAsUser(const QString& path, int uid);

} // namespace quorvane
