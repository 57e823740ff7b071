#include "platform/Shell.h"

#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QFile>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace quorvane {

namespace {

// pkexec's own exit codes: 126 when the prompt was dismissed, 127 when the user is not authorised
// or no prompt could be shown.
constexpr int kPkexecDismissed = 126;
constexpr int kPkexecNotAuthorised = 127;

constexpr int kPollSliceMs = 100;

// The code of a child that ended, or -1 for one that was killed.
int exitCodeOf(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

bool openInDefaultBrowser(const QString& url)
{
    return QDesktopServices::openUrl(QUrl(url));
}

ProgramStart startProgramAndWaitForReady(const QString& program, const QStringList& arguments, bool elevated,
                                         int timeoutMs, const std::function<bool()>& cancelled, int* exitCode)
{
    std::vector<QByteArray> words;
    if (elevated)
        words.push_back("pkexec");
    words.push_back(QFile::encodeName(program));
    for (const QString& argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return ProgramStart::Failed;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own session: it lives on when the client ends, and no signal meant for the client
    // reaches it.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t child = -1;
    const int spawned = posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        // Without pkexec nobody can grant the rights.
        return elevated ? ProgramStart::ElevationRefused : ProgramStart::Failed;
    }

    const QDeadlineTimer deadline(timeoutMs);
    QByteArray output;
    ProgramStart result = ProgramStart::TimedOut;
    for (;;) {
        if (cancelled && cancelled()) {
            result = ProgramStart::Cancelled;
            break;
        }
        if (deadline.hasExpired())
            break;
        pollfd readable{pipeFds[0], POLLIN, 0};
        const int ready = poll(&readable, 1, int(std::min<qint64>(kPollSliceMs, deadline.remainingTime())));
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        char buffer[512];
        const ssize_t count = read(pipeFds[0], buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            // The program closed its output: it ended (or is ending) without being ready.
            int status = 0;
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            const int code = exitCodeOf(status);
            if (exitCode)
                *exitCode = code;
            result = elevated && (code == kPkexecDismissed || code == kPkexecNotAuthorised)
                         ? ProgramStart::ElevationRefused
                         : ProgramStart::Failed;
            close(pipeFds[0]);
            return result;
        }
        output.append(buffer, count);
        if (output.size() > 65536)
            output = output.right(1024);
        if (output.startsWith("ready\n") || output.contains("\nready\n")) {
            result = ProgramStart::Ready;
            break;
        }
    }
    // Ready: it runs on and writes no more to us. Otherwise: it is told to stop if it still may
    // be (an elevated one no longer listens to us, and gives up once it finds nobody reading).
    close(pipeFds[0]);
    if (result != ProgramStart::Ready)
        kill(child, SIGTERM);
    return result;
}

void reportStartToUpdater()
{
    const QByteArray value = qgetenv(kStartReportVariable);
    if (value.isEmpty())
        return;
    qunsetenv(kStartReportVariable);
    bool ok = false;
    const int fd = value.toInt(&ok);
    if (!ok || fd <= 2)
        return;
    // Only a pipe is ours to write to; any other descriptor of that number is left alone.
    struct stat info
    {
    };
    if (fstat(fd, &info) != 0 || !S_ISFIFO(info.st_mode))
        return;
    const char line[] = "started\n";
    while (write(fd, line, sizeof line - 1) < 0 && errno == EINTR) {
    }
    close(fd);
}

} // namespace quorvane
