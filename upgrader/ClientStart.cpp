#include "upgrader/ClientStart.h"

#include "platform/Shell.h"
#include "upgrader/InvokingUser.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace quorvane {

namespace {

// The descriptor number the client finds the report pipe under.
constexpr int kReportFd = 3;
constexpr int kPollSliceMs = 100;

std::vector<QByteArray> environmentFor(int uid, const Account& account, bool watch)
{
    std::vector<QByteArray> variables;
    if (uid < 0) {
        for (char** variable = environ; *variable; ++variable) {
            if (!QByteArray(*variable).startsWith(QByteArray(kStartReportVariable) + '='))
                variables.emplace_back(*variable);
        }
    } else {
        variables = {"HOME=" + account.home, "USER=" + account.name, "LOGNAME=" + account.name,
                     "PATH=/usr/local/bin:/usr/bin:/bin",
                     "XDG_RUNTIME_DIR=" + QFile::encodeName(QStringLiteral("/run/user/%1").arg(uid))};
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "LANG", "LC_ALL"}) {
            if (qEnvironmentVariableIsSet(name))
                variables.push_back(QByteArray(name) + '=' + qgetenv(name));
        }
    }
    if (watch)
        variables.push_back(QByteArray(kStartReportVariable) + '=' + QByteArray::number(kReportFd));
    return variables;
}

} // namespace

StartedClient startClient(const QString& program, int uid, bool watch)
{
    StartedClient started;
    Account account;
    if (uid >= 0 && !lookUpAccount(uid, account))
        return started;
    // Everything the child needs is made before it forks.
    const QByteArray path = QFile::encodeName(program);
    std::vector<QByteArray> variables = environmentFor(uid, account, watch);
    std::vector<char*> environment;
    for (QByteArray& variable : variables)
        environment.push_back(variable.data());
    environment.push_back(nullptr);
    char* arguments[] = {const_cast<char*>(path.constData()), nullptr};

    int report[2] = {-1, -1};
    if (watch && pipe2(report, O_CLOEXEC) != 0)
        return started;
    const pid_t child = fork();
    if (child == 0) {
        if (uid >= 0 && (initgroups(account.name.constData(), account.gid) != 0 || setgid(account.gid) != 0 ||
                         setuid(uid_t(uid)) != 0))
            _exit(126);
        setsid();
        // The write end under its agreed number, open across exec; every other descriptor
        // of ours closes on exec.
        if (watch && dup2(report[1], kReportFd) < 0)
            _exit(127);
        if (uid >= 0 && chdir(account.home.constData()) != 0 && chdir("/") != 0)
            _exit(127);
        signal(SIGPIPE, SIG_DFL);
        execve(path.constData(), arguments, environment.data());
        _exit(127);
    }
    if (watch)
        close(report[1]);
    if (child < 0) {
        if (watch)
            close(report[0]);
        return started;
    }
    started.pid = child;
    started.reportFd = watch ? report[0] : -1;
    return started;
}

ClientOutcome waitForClient(StartedClient& client, int timeoutMs, int* exitCode)
{
    const QDeadlineTimer deadline(timeoutMs);
    ClientOutcome outcome = ClientOutcome::Started;
    QByteArray said;
    for (;;) {
        int status = 0;
        const pid_t ended = waitpid(client.pid, &status, WNOHANG);
        if (ended == client.pid) {
            const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            if (exitCode)
                *exitCode = code;
            outcome = code == 0 ? ClientOutcome::Started : ClientOutcome::Failed;
            break;
        }
        if (deadline.hasExpired())
            break;
        if (client.reportFd < 0) {
            usleep(kPollSliceMs * 1000);
            continue;
        }
        pollfd readable{client.reportFd, POLLIN, 0};
        if (poll(&readable, 1, kPollSliceMs) <= 0)
            continue;
        char buffer[64];
        const ssize_t count = read(client.reportFd, buffer, sizeof buffer);
        if (count > 0) {
            said.append(buffer, count);
            if (said.contains("started\n"))
                break;
            continue;
        }
        if (count == 0) {
            // Closed without a word: only its end tells now.
            close(client.reportFd);
            client.reportFd = -1;
        }
    }
    if (client.reportFd >= 0) {
        close(client.reportFd);
        client.reportFd = -1;
    }
    return outcome;
}

} // namespace quorvane
