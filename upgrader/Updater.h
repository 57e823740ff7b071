#pragma once

#include "upgrader/UpdateRequest.h"

#include <QString>
#include <functional>

// The updater's work: wait until the client has ended, put the new executable in place and start
// the client again.
class TUpdater final
{
    Q_DISABLE_COPY_MOVE(TUpdater)

public:
    enum class Result
    {
        Done = 0,
        BadRequest = 2,         // the destination is not a plain file name; nothing was touched
        ClientStillRunning = 3, // the client did not end in time; nothing was touched
        ReplaceFailed = 4,      // the old file stayed as it was; the client was started again
    };

    // How long the updater waits for the client to end.
    static constexpr int kDefaultWaitMs = 60000;

    explicit TUpdater(QString appDir);

    void SetWaitLimitMs(int ms) { waitLimitMs_ = ms; }
    // The user who started the updater through pkexec: whose client is waited for and started,
    // and who must own the new file. -1 (the default) when it runs with the user's own rights.
    void SetInvokingUser(int uid) { invokingUid_ = uid; }
    // Receives the progress lines (by default they go to the standard output).
    void SetProgress(std::function<void(const QString&)> progress) { progress_ = std::move(progress); }

    Result Run(const TUpdateRequest& request);

private:
    bool WaitForClientToEnd(class TClientLock& lock);
    void Say(const QString& line) const;

    QString appDir_;
    int waitLimitMs_ = kDefaultWaitMs;
    int invokingUid_ = -1;
    std::function<void(const QString&)> progress_;
};
