#include "upgrader/InvokingUser.h"

#include <QByteArray>
#include <QFile>
#include <cstdlib>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Account
{
    uid_t uid = 0;
    gid_t gid = 0;
    QByteArray name;
    QByteArray home;
};

bool LookUp(int uid, Account& account)
{
    const passwd* entry = getpwuid(uid_t(uid));
    if (!entry)
        return false;
    account = {entry->pw_uid, entry->pw_gid, entry->pw_name, entry->pw_dir};
    return true;
}

// Runs `work` in a child process with the rights of `account`; true when it exited with 0.
template <typename Work> bool AsUser(const Account& account, Work work)
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

int InvokingUserThroughPkexec()
{
    if (geteuid() != 0)
        return -1;
    bool ok = false;
    const int uid = qEnvironmentVariable("PKEXEC_UID").toInt(&ok);
    return ok && uid > 0 ? uid : -1;
}

QString ClientLockFileOf(int uid, const QString& lockName)
{
    return QStringLiteral("/run/user/%1/%2.lock").arg(uid).arg(lockName);
}

bool StartProgramAsUser(const QString& program, int uid)
{
    Account account;
    if (!LookUp(uid, account))
        return false;
    // Everything the child needs is made before it forks.
    const QByteArray path = QFile::encodeName(program);
    std::vector<QByteArray> variables{"HOME=" + account.home, "USER=" + account.name,
                                      "LOGNAME=" + account.name, "PATH=/usr/local/bin:/usr/bin:/bin",
                                      "XDG_RUNTIME_DIR=" +
                                          QFile::encodeName(QStringLiteral("/run/user/%1").arg(uid))};
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "LANG", "LC_ALL"}) {
        if (qEnvironmentVariableIsSet(name))
            variables.push_back(QByteArray(name) + '=' + qgetenv(name));
    }
    std::vector<char*> environment;
    for (QByteArray& variable : variables)
        environment.push_back(variable.data());
    environment.push_back(nullptr);
    char* arguments[] = {const_cast<char*>(path.constData()), nullptr};

    return AsUser(account, [&] {
        // A second fork, so that the client is nobody's child and outlives the updater.
        setsid();
        const pid_t client = fork();
        if (client != 0)
            return client > 0;
        if (chdir(account.home.constData()) != 0 && chdir("/") != 0)
            _exit(127);
        execve(path.constData(), arguments, environment.data());
        _exit(127);
    });
}

void RemoveFileAsUser(const QString& path, int uid)
{
    Account account;
    if (!LookUp(uid, account))
        return;
    const QByteArray file = QFile::encodeName(path);
    AsUser(account, [&] { return unlink(file.constData()) == 0; });
}
