#pragma once

#include "notify/PollSchedule.h"
#include "server/Reply.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class QWidget;

namespace quorvane {

class PollClock;
class HttpClient;
class SelfUpdate;
class Session;

// Settings of the polling thread that tests change; the client keeps the defaults.
struct PollerOptions
{
    // The sleep between two cycles, in milliseconds.
    uint32_t interval = 120000;
    // The tick count and the sleep; the system's when empty.
    std::shared_ptr<PollClock> clock;
    // The folder of the updater program; the running executable's folder when empty.
    QString applicationDir;
    // The key update packages must be signed with; the one built into the client when unset.
    std::optional<QString> trustedKey;
    // The system's package manager owns the client's files: a newer version is only told of,
    // once per version, and nothing is downloaded, staged or installed.
    bool packageManaged = false;
};

// The client's one background thread. Every cycle it asks the application server for a waiting
// notification and hands it to the user-interface thread (notificationArrived); on its first cycle, and then
// once more than ten intervals have passed since the previous check, it asks the download server for a newer
// client and offers it to the user (a packaged client only tells of it). While a notification is on screen it
// is paused: it keeps waking but does nothing.
//
// The thread reaches windows only through hand-overs that run on the user-interface thread while
// it waits. Stop (or the destructor) ends it promptly: the sleep, a running request and a pending
// hand-over are all cut short, so the client can end at once.
class Poller final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Poller)

public:
    static constexpr uint32_t DefaultInterval = 120000;
    static constexpr uint32_t VersionCheckMultiple = PollSchedule::VersionCheckMultiple;

    // Create it on the user-interface thread; it does nothing until Start.
    // Polls for the user signed in to `session`, which must outlive the poller.
    explicit Poller(Session& session, PollerOptions options = {});
    ~Poller() override;

    void start();
    // Ends the thread and waits for it. Meant for the end of the client: a poll that is running
    // is aborted through the session's abortRequests(), which fails its later requests too.
    void stop();
    // True from Start until the work function has ended.
    bool running() const { return m_running; }

    // While paused, a cycle does neither the version check nor the poll. Written by the pop-up on
    // the user-interface thread, read by the polling thread at the top of each cycle.
    void setPaused(bool paused) { m_paused = paused; }
    bool paused() const { return m_paused; }
    void pausePolling() { setPaused(true); }
    void resumePolling() { setPaused(false); }

    uint32_t interval() const { return m_interval; }

    // Starts the next cycle now instead of at the end of the sleep: the machine has woken from
    // suspend, and the session and the network want checking at once.
    void pollNow();

    // The window that owns the update prompt; none by default.
    void setPromptParent(QWidget* window) { m_promptParent = window; }

    // The update prompt: "发现有更新的版本\n要立刻升级吗?\n\n相关更新为:\n" + description.
    static QString updatePrompt(const QString& description);

signals:
    // Emitted on the user-interface thread while the polling thread waits: a notification is due.
    void notificationArrived(const Reply& notification);
    // Emitted on the user-interface thread once the updater has been started: the client ends.
    void exitRequested();
    // Emitted on the user-interface thread while the polling thread waits: the server refused
    // two polls in a row, so the session has ended (a server restart, an expired token). Polling
    // goes on with whatever session the client makes of it.
    void sessionRefused();

private:
    enum class Answer
    {
        Yes,
        No,
        None // no answer: the thread is stopping, or the owner window is gone
    };
    struct WaitState;
    class ActiveRequest;

    void run();
    void execute();
    // True when the update was accepted and the updater started: the thread must end.
    bool versionCheck(PollSchedule& schedule);
    bool checkVersion();
    // The version check of a packaged client.
    void announceVersion();
    QString getVersionDescription();
    Answer askForUpdate(const QString& prompt);
    bool applyPendingUpgrade();
    void poll();
    bool syncShowInformation(const Reply& information);
    bool syncExit();
    bool syncSessionRefused();
    // Runs `work` on the user-interface thread and waits until it has run, been dropped or the
    // thread is asked to stop. True when it ran to its end.
    bool handOver(std::function<void()> work);
    bool stopRequested() const;
    void prepareUpgrade(SelfUpdate& upgrade);

    Session& m_session;
    QPointer<QWidget> m_promptParent;
    uint32_t m_interval;
    std::shared_ptr<PollClock> m_clock;
    QString m_applicationDir;
    std::optional<QString> m_trustedKey;
    bool m_packageManaged;

    // Polls the server refused since the last one it answered; only the polling thread uses it.
    int m_refusedPolls = 0;
    std::atomic<bool> m_paused = false;
    std::atomic<bool> m_running = false;
    std::shared_ptr<WaitState> m_wait;
    std::thread m_worker;
};

} // namespace quorvane
