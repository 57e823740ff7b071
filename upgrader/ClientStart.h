#pragma once

#include <QString>
#include <sys/types.h>

namespace quorvane {

// The updater starts the client it installed and watches it until the client reports that its
// first window is on screen (through a pipe whose descriptor the client finds in the variable
// QUORVANE_START_REPORT_FD), ends, or has run long enough.
struct StartedClient
{
    pid_t pid = -1;
    int reportFd = -1; // read end of the report pipe; -1 when not watched
};

// Starts `program` in a session of its own: as user `uid` in that user's home folder with the
// session variables pkexec kept, or, for uid < 0, as this process. With `watch`, the client gets
// the report pipe. pid -1 when it could not be started.
StartedClient startClient(const QString& program, int uid, bool watch);

enum class ClientOutcome
{
    Started, // it reported its first window, ended with code 0, or ran for the whole time
    Failed,  // it ended with another code or was killed before that
};

// Waits for a watched client; closes the report pipe. `exitCode` receives the code of a client
// that ended (-1 for one that was killed).
ClientOutcome waitForClient(StartedClient& client, int timeoutMs, int* exitCode = nullptr);

} // namespace quorvane
