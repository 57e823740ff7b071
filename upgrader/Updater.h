#pragma once

#include "update/StagingLayout.h"
#include "upgrader/UpdateRequest.h"

#include <QString>
#include <functional>

namespace quorvane {

// The updater's work: check the staged package against the key built into this program, wait
// until the client has ended, put the package's files in place (all or nothing), start the new
// client, and take everything back when the new client fails before it is up.
class Updater final
{
    Q_DISABLE_COPY_MOVE(Updater)

public:
    enum class Result
    {
        Done = 0,
        BadRequest = 2,         // the request names no staged program; nothing was touched
        ClientStillRunning = 3, // the client did not end in time; nothing was touched
        InstallFailed = 4,      // the old files stayed as they were; the client was started again
        Refused = 5,            // the staged package failed a check; nothing was touched
        RolledBack = 6,         // the new client failed to start; the old files are back
        NobodyWaiting = 7,      // the client stopped waiting before the updater was ready
    };

    // How long the updater waits for the client to end, and for the new client to come up.
    static constexpr int kDefaultWaitMs = 60000;
    static constexpr int kStartConfirmMs = 20000;

    explicit Updater(QString appDir);

    void setWaitLimitMs(int ms) { m_waitLimitMs = ms; }
    void setStartConfirmMs(int ms) { m_startConfirmMs = ms; }
    // The user who started the updater through pkexec: whose client is waited for and started,
    // and who must own the staged files. -1 (the default) when it runs with the user's own rights.
    void setInvokingUser(int uid) { m_invokingUid = uid; }
    // The key packages must be signed with; the one built in unless set.
    void setTrustedKey(const QString& key) { m_key = key; }
    // Receives the progress lines (by default they go to the standard error output).
    void setProgress(std::function<void(const QString&)> progress) { m_progress = std::move(progress); }
    // Tells the client that the updater is ready and the client may end now; false when nobody
    // listens any more. By default the line "ready" on the standard output.
    void setReadySignal(std::function<bool()> ready) { m_ready = std::move(ready); }

    Result run(const UpdateRequest& request);

private:
    Result prepare(const StagingLayout& staging, const StagingLayout& work, QString* version);
    Result installAndStart(const StagingLayout& work, const QString& version);
    bool waitForClientToEnd(class ClientLock& lock);
    void removeStaging(const QString& staging) const;
    void recordRollBack(const QString& version) const;
    void startOldClient() const;
    int ownerUid() const;
    void say(const QString& line) const;

    QString m_appDir;
    QString m_key;
    int m_waitLimitMs = kDefaultWaitMs;
    int m_startConfirmMs = kStartConfirmMs;
    int m_invokingUid = -1;
    std::function<void(const QString&)> m_progress;
    std::function<bool()> m_ready;
};

} // namespace quorvane
