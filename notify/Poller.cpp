#include "notify/Poller.h"

#include "notify/PollClock.h"
#include "server/HttpClient.h"
#include "server/Session.h"
#include "ui/chrome/MessageBox.h"
#include "update/SelfUpdate.h"
#include "update/UpdateNoticeBox.h"
#include "update/VersionAnnouncement.h"

#include <QDebug>
#include <QThread>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>

namespace quorvane {

// What the polling thread and its controller share: the stop request, the running requests that a
// stop aborts, and the completion of hand-overs. Hand-overs keep it alive after the thread object
// is gone.
struct Poller::WaitState
{
    std::mutex mutex;
    std::condition_variable changed;
    bool stop = false;
    bool polling = false;
    std::vector<HttpClient*> requests;
    // Read without the lock by an unpacking, a signature check or a wait for the updater.
    std::atomic<bool> abort = false;
};

// Registers an HTTP client of the version check for the time of its requests, so that Stop can
// abort them.
class Poller::ActiveRequest final
{
public:
    ActiveRequest(WaitState& wait, HttpClient& http) : m_wait(wait), m_http(http)
    {
        std::lock_guard lock(m_wait.mutex);
        if (m_wait.stop)
            m_http.abort();
        m_wait.requests.push_back(&m_http);
    }

    ~ActiveRequest()
    {
        std::lock_guard lock(m_wait.mutex);
        m_wait.requests.erase(std::remove(m_wait.requests.begin(), m_wait.requests.end(), &m_http),
                              m_wait.requests.end());
    }

    ActiveRequest(const ActiveRequest&) = delete;
    ActiveRequest& operator=(const ActiveRequest&) = delete;

private:
    WaitState& m_wait;
    HttpClient& m_http;
};

Poller::Poller(Session& session, PollerOptions options)
    : m_session(session), m_interval(options.interval),
      m_clock(options.clock ? std::move(options.clock) : std::make_shared<SystemPollClock>()),
      m_applicationDir(std::move(options.applicationDir)), m_trustedKey(std::move(options.trustedKey)),
      m_packageManaged(options.packageManaged), m_wait(std::make_shared<WaitState>())
{
}

Poller::~Poller()
{
    stop();
}

QString Poller::updatePrompt(const QString& description)
{
    return QStringLiteral("发现有更新的版本\n要立刻升级吗?\n\n相关更新为:\n") + description;
}

void Poller::start()
{
    if (m_worker.joinable())
        return;
    m_running = true;
    m_worker = std::thread([this] { run(); });
}

void Poller::stop()
{
    {
        std::lock_guard lock(m_wait->mutex);
        m_wait->stop = true;
        m_wait->abort = true;
        for (HttpClient* http : m_wait->requests)
            http->abort();
        // Nothing may run against the session once the client ends; a poll waiting for the
        // server would hold up the end by its whole time limit.
        if (m_wait->polling)
            m_session.abortRequests();
    }
    m_wait->changed.notify_all();
    m_clock->interrupt();
    if (!m_worker.joinable())
        return;
    if (m_worker.get_id() == std::this_thread::get_id())
        m_worker.detach();
    else
        m_worker.join();
}

void Poller::pollNow()
{
    m_clock->wake();
}

bool Poller::stopRequested() const
{
    std::lock_guard lock(m_wait->mutex);
    return m_wait->stop;
}

void Poller::run()
{
    try {
        execute();
    } catch (const std::exception& failure) {
        qWarning() << "Polling thread ended:" << failure.what();
    }
    m_running = false;
}

void Poller::execute()
{
    PollSchedule schedule(m_interval, m_clock->now());
    while (!stopRequested()) {
        if (!m_paused) {
            if (schedule.versionCheckDue(m_clock->now()) && versionCheck(schedule))
                return;
            poll();
        }
        m_clock->sleep(m_interval);
    }
}

bool Poller::versionCheck(PollSchedule& schedule)
{
    schedule.versionCheckStarted();
    if (m_packageManaged) {
        try {
            announceVersion();
        } catch (const std::exception& failure) {
            qWarning() << "Version check failed:" << failure.what();
        }
        schedule.versionCheckEnded(m_clock->now());
        return false;
    }
    bool newer = false;
    try {
        newer = checkVersion();
    } catch (const std::exception& failure) {
        // A package file that cannot be made must not end the polling: the check is simply
        // tried again at the next interval.
        qWarning() << "Version check failed:" << failure.what();
    }
    if (newer && !stopRequested()) {
        switch (askForUpdate(updatePrompt(getVersionDescription()))) {
        case Answer::Yes:
            if (applyPendingUpgrade()) {
                syncExit();
                return true;
            }
            break;
        case Answer::No:
            schedule.decline();
            break;
        case Answer::None:
            break;
        }
    }
    schedule.versionCheckEnded(m_clock->now());
    return false;
}

void Poller::prepareUpgrade(SelfUpdate& upgrade)
{
    if (!m_applicationDir.isEmpty())
        upgrade.setApplicationDir(m_applicationDir);
    if (m_trustedKey)
        upgrade.setTrustedKey(*m_trustedKey);
    // The box of a package that does not unpack is a window: it is shown on the user-interface
    // thread while this thread waits, and a stop does not wait for the user to close it.
    const auto showBox = [this](const QString& message) {
        handOver([message] { showUpdateNotice(message); });
    };
    upgrade.setUnpackFailureReport(showBox);
    upgrade.setNoticeReport(showBox);
    upgrade.setAbortFlag(&m_wait->abort);
}

bool Poller::checkVersion()
{
    SelfUpdate upgrade;
    prepareUpgrade(upgrade);
    HttpClient http(SelfUpdate::versionLimits());
    const ActiveRequest versionRequest(*m_wait, http);
    const QString version = upgrade.fetchVersion(http);
    if (!SelfUpdate::isNewerVersion(version))
        return false;
    // The package goes through a client of its own, registered so that a stop cuts the download
    // short instead of waiting for it.
    HttpClient packageHttp(SelfUpdate::packageLimits());
    const ActiveRequest packageRequest(*m_wait, packageHttp);
    // Offered only once the package is downloaded, checked and unpacked.
    return upgrade.stageUpgrade(http, packageHttp, version);
}

void Poller::announceVersion()
{
    QString version;
    {
        HttpClient http(SelfUpdate::versionLimits());
        const ActiveRequest request(*m_wait, http);
        version = versionToAnnounce(http);
    }
    if (version.isEmpty() || stopRequested())
        return;
    const QString text = versionAnnouncement(version, getVersionDescription());
    const QPointer<QWidget> window = m_promptParent;
    const bool shown = handOver([window, text] {
        MessageBox::show(window, QStringLiteral("Quorvane"), text, QMessageBox::Ok, QMessageBox::Information);
    });
    // A notice cut short by the end of the client is shown again at the next start.
    if (shown)
        rememberAnnouncedVersion(version);
}

QString Poller::getVersionDescription()
{
    SelfUpdate upgrade;
    HttpClient http(SelfUpdate::versionLimits());
    const ActiveRequest request(*m_wait, http);
    return upgrade.fetchVersionDesc(http);
}

Poller::Answer Poller::askForUpdate(const QString& prompt)
{
    auto yes = std::make_shared<std::atomic<bool>>(false);
    const QPointer<QWidget> window = m_promptParent;
    const bool answered = handOver([window, prompt, yes] {
        *yes =
            MessageBox::show(window, QStringLiteral("Quorvane"), prompt, QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::Information) == QMessageBox::Yes;
    });
    if (!answered)
        return Answer::None;
    return *yes ? Answer::Yes : Answer::No;
}

bool Poller::applyPendingUpgrade()
{
    try {
        SelfUpdate upgrade;
        prepareUpgrade(upgrade);
        return upgrade.applyPendingUpgrade();
    } catch (const std::exception& failure) {
        qWarning() << "Update not handed over:" << failure.what();
        return false;
    }
}

void Poller::poll()
{
    {
        std::lock_guard lock(m_wait->mutex);
        if (m_wait->stop)
            return;
        m_wait->polling = true;
    }
    std::optional<Reply> information;
    bool sessionRefused = false;
    try {
        Reply reply = m_session.getInformationList();
        // The server answers a poll of a session it does not know (any more) with a refusal;
        // one alone may be a hiccup, two in a row mean the session has ended.
        m_refusedPolls = reply.success ? 0 : m_refusedPolls + 1;
        if (m_refusedPolls >= 2) {
            m_refusedPolls = 0;
            sessionRefused = true;
        }
        if (reply.success && reply.url != QLatin1String("0"))
            information = std::move(reply);
    } catch (...) {
        // No network, an error status, a reply that cannot be read: the next cycle polls again.
    }
    {
        std::lock_guard lock(m_wait->mutex);
        m_wait->polling = false;
    }
    if (sessionRefused)
        syncSessionRefused();
    if (information)
        syncShowInformation(*information);
}

bool Poller::syncSessionRefused()
{
    return handOver([this] { emit sessionRefused(); });
}

bool Poller::syncShowInformation(const Reply& information)
{
    return handOver([this, information] { emit notificationArrived(information); });
}

bool Poller::syncExit()
{
    return handOver([this] { emit exitRequested(); });
}

bool Poller::handOver(std::function<void()> work)
{
    if (QThread::currentThread() == thread()) {
        work();
        return true;
    }
    const std::shared_ptr<WaitState> wait = m_wait;
    auto done = std::make_shared<bool>(false); // guarded by wait->mutex
    auto ran = std::make_shared<std::atomic<bool>>(false);
    // Marks the hand-over finished once the call has run, or once it is dropped unrun because
    // the thread object went away first: the last copy of the call lets go of it either way.
    std::shared_ptr<void> finished(nullptr, [wait, done](void*) {
        {
            std::lock_guard lock(wait->mutex);
            *done = true;
        }
        wait->changed.notify_all();
    });
    {
        std::lock_guard lock(wait->mutex);
        if (wait->stop)
            return false;
    }
    QMetaObject::invokeMethod(
        this,
        [work = std::move(work), finished = std::move(finished), ran, wait] {
            // Ordered after the polling thread's preparation of the work by the lock it took
            // before posting. Qt's event queue orders it too, but out of ThreadSanitizer's sight.
            {
                const std::lock_guard lock(wait->mutex);
            }
            try {
                work();
            } catch (const std::exception& failure) {
                qWarning() << "Hand-over of the polling thread failed:" << failure.what();
            }
            *ran = true;
        },
        Qt::QueuedConnection);
    std::unique_lock lock(wait->mutex);
    wait->changed.wait(lock, [&] { return *done || wait->stop; });
    return *done && *ran;
}

} // namespace quorvane
