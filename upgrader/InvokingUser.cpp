#include "upgrader/InvokingUser.h"

#include "platform/PrivateFiles.h"

#include <QByteArray>
#include <QFile>
#include <cstdlib>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace quorvane {

namespace {

// Runs `work` in a child process with the rights of `account`; true when it exited with 0.
template <typename Work> bool asUser(const Account& account, Work work)
{
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        if (initgroups(account.name.constData(), account.gid) != 0 || setgid(account.gid) != 0 ||
            setuid(account.uid) != 0)
            _exit(126);
        _exit(work() ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

bool lookUpAccount(int uid, Account& account)
{
    const passwd* entry = getpwuid(uid_t(uid));
    if (!entry)
        return false;
    account = {entry->pw_uid, entry->pw_gid, entry->pw_name, entry->pw_dir};
    return true;
}

int invokingUserThroughPkexec()
{
    if (geteuid() != 0)
        return -1;
    bool ok = false;
    const int uid = qEnvironmentVariable("PKEXEC_UID").toInt(&ok);
    return ok && uid > 0 ? uid : -1;
}

QString clientLockFileOf(int uid, const QString& lockName)
{
    return QStringLiteral("/run/user/%1/%2.lock").arg(uid).arg(lockName);
}

void removeFolderAsUser(const QString& path, int uid)
{
    Account account;
    if (!lookUpAccount(uid, account))
        return;
    asUser(account, [&] { return removeFolderTree(path); });
}

} // namespace quorvane
