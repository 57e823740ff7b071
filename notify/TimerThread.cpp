#include "notify/TimerThread.h"

#include "notify/PollClock.h"
#include "server/DataModule.h"
#include "server/HttpClient.h"
#include "ui/chrome/MessageBox.h"
#include "update/UnpackFailureBox.h"
#include "update/Upgrade.h"

#include <QDebug>
#include <QThread>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>

// What the polling thread and its controller share: the stop request, the running requests that a
// stop aborts, and the completion of hand-overs. Hand-overs keep it alive after the thread object
// is gone.
struct TTimerThread::TWaitState
{
    std::mutex mutex;
    std::condition_variable changed;
    bool stop = false;
    bool polling = false;
    std::vector<THttpClient*> requests;
    // Read without the lock by an unpacking, a signature check or a wait for the updater.
    std::atomic<bool> abort = false;
};

// Registers an HTTP client of the version check for the time of its requests, so that Stop can
// abort them.
class TTimerThread::TActiveRequest final
{
public:
    TActiveRequest(TWaitState& wait, THttpClient& http) : m_wait(wait), m_http(http)
    {
        std::lock_guard lock(m_wait.mutex);
        if (m_wait.stop)
            m_http.abort();
        m_wait.requests.push_back(&m_http);
    }

    ~TActiveRequest()
    {
        std::lock_guard lock(m_wait.mutex);
        m_wait.requests.erase(std::remove(m_wait.requests.begin(), m_wait.requests.end(), &m_http),
                              m_wait.requests.end());
    }

    TActiveRequest(const TActiveRequest&) = delete;
    TActiveRequest& operator=(const TActiveRequest&) = delete;

private:
    TWaitState& m_wait;
    THttpClient& m_http;
};

TTimerThread::TTimerThread(TfrmMain* owner, TTimerThreadOptions options)
    : TTimerThread(mainWindowOwner(owner), std::move(options))
{
}

TTimerThread::TTimerThread(TTimerThreadOwner owner, TTimerThreadOptions options)
    : m_owner(std::move(owner)), m_interval(options.interval),
      m_clock(options.clock ? std::move(options.clock) : std::make_shared<TSystemPollClock>()),
      m_applicationDir(std::move(options.applicationDir)), m_trustedKey(std::move(options.trustedKey)),
      m_wait(std::make_shared<TWaitState>())
{
}

TTimerThread::~TTimerThread()
{
    stop();
}

QString TTimerThread::updatePrompt(const QString& description)
{
    return QStringLiteral("发现有更新的版本\n要立刻升级吗?\n\n相关更新为:\n") + description;
}

void TTimerThread::start()
{
    if (m_worker.joinable())
        return;
    m_running = true;
    m_worker = std::thread([this] { run(); });
}

void TTimerThread::stop()
{
    {
        std::lock_guard lock(m_wait->mutex);
        m_wait->stop = true;
        m_wait->abort = true;
        for (THttpClient* http : m_wait->requests)
            http->abort();
        // Nothing may run against the session once the client ends; a poll waiting for the
        // server would hold up the end by its whole time limit.
        if (m_wait->polling && DMod)
            DMod->abortRequests();
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

bool TTimerThread::stopRequested() const
{
    std::lock_guard lock(m_wait->mutex);
    return m_wait->stop;
}

void TTimerThread::run()
{
    try {
        execute();
    } catch (const std::exception& failure) {
        qWarning() << "Polling thread ended:" << failure.what();
    }
    m_running = false;
}

void TTimerThread::execute()
{
    TPollSchedule schedule(m_interval, m_clock->now());
    while (!stopRequested()) {
        if (!m_paused) {
            if (schedule.versionCheckDue(m_clock->now()) && versionCheck(schedule))
                return;
            poll();
        }
        m_clock->sleep(m_interval);
    }
}

bool TTimerThread::versionCheck(TPollSchedule& schedule)
{
    schedule.versionCheckStarted();
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
        case TAnswer::Yes:
            if (applyPendingUpgrade()) {
                syncExit();
                return true;
            }
            break;
        case TAnswer::No:
            schedule.decline();
            break;
        case TAnswer::None:
            break;
        }
    }
    schedule.versionCheckEnded(m_clock->now());
    return false;
}

void TTimerThread::prepareUpgrade(TUpgrade& upgrade)
{
    if (!m_applicationDir.isEmpty())
        upgrade.setApplicationDir(m_applicationDir);
    if (m_trustedKey)
        upgrade.setTrustedKey(*m_trustedKey);
    // The box of a package that does not unpack is a window: it is shown on the user-interface
    // thread while this thread waits, and a stop does not wait for the user to close it.
    const auto showBox = [this](const QString& message) {
        handOver([message] { showUnpackFailureBox(message); });
    };
    upgrade.setUnpackFailureReport(showBox);
    upgrade.setNoticeReport(showBox);
    upgrade.setAbortFlag(&m_wait->abort);
}

bool TTimerThread::checkVersion()
{
    TUpgrade upgrade;
    prepareUpgrade(upgrade);
    THttpClient http(TUpgrade::versionLimits());
    const TActiveRequest versionRequest(*m_wait, http);
    const QString version = upgrade.fetchVersion(http);
    if (!TUpgrade::isNewerVersion(version))
        return false;
    // The package goes through a client of its own, registered so that a stop cuts the download
    // short instead of waiting for it.
    THttpClient packageHttp(TUpgrade::packageLimits());
    const TActiveRequest packageRequest(*m_wait, packageHttp);
    // Offered only once the package is downloaded, checked and unpacked.
    return upgrade.stageUpgrade(http, packageHttp, version);
}

QString TTimerThread::getVersionDescription()
{
    TUpgrade upgrade;
    THttpClient http(TUpgrade::versionLimits());
    const TActiveRequest request(*m_wait, http);
    return upgrade.fetchVersionDesc(http);
}

TTimerThread::TAnswer TTimerThread::askForUpdate(const QString& prompt)
{
    auto yes = std::make_shared<std::atomic<bool>>(false);
    const QPointer<QWidget> window = m_owner.window;
    const bool answered = handOver([window, prompt, yes] {
        *yes =
            TMessageBox::show(window, QStringLiteral("Quorvane"), prompt, QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::Information) == QMessageBox::Yes;
    });
    if (!answered)
        return TAnswer::None;
    return *yes ? TAnswer::Yes : TAnswer::No;
}

bool TTimerThread::applyPendingUpgrade()
{
    try {
        TUpgrade upgrade;
        prepareUpgrade(upgrade);
        return upgrade.applyPendingUpgrade();
    } catch (const std::exception& failure) {
        qWarning() << "Update not handed over:" << failure.what();
        return false;
    }
}

void TTimerThread::poll()
{
    {
        std::lock_guard lock(m_wait->mutex);
        if (m_wait->stop || !DMod)
            return;
        m_wait->polling = true;
    }
    std::optional<APIResponse> information;
    try {
        APIResponse reply = DMod->getInformationList();
        if (reply.success && reply.url != QLatin1String("0"))
            information = std::move(reply);
    } catch (...) {
        // No network, an error status, a reply that cannot be read: the next cycle polls again.
    }
    {
        std::lock_guard lock(m_wait->mutex);
        m_wait->polling = false;
    }
    if (information)
        syncShowInformation(*information);
}

bool TTimerThread::syncShowInformation(const APIResponse& information)
{
    const auto show = m_owner.showInformation;
    if (!show)
        return false;
    return handOver([show, information] { show(information); });
}

bool TTimerThread::syncExit()
{
    const auto exit = m_owner.exitApplication;
    if (!exit)
        return false;
    return handOver([exit] { exit(); });
}

bool TTimerThread::handOver(std::function<void()> work)
{
    if (QThread::currentThread() == thread()) {
        work();
        return true;
    }
    const std::shared_ptr<TWaitState> wait = m_wait;
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
