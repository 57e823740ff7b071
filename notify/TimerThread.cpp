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
    TActiveRequest(TWaitState& wait, THttpClient& http) : wait_(wait), http_(http)
    {
        std::lock_guard lock(wait_.mutex);
        if (wait_.stop)
            http_.Abort();
        wait_.requests.push_back(&http_);
    }

    ~TActiveRequest()
    {
        std::lock_guard lock(wait_.mutex);
        wait_.requests.erase(std::remove(wait_.requests.begin(), wait_.requests.end(), &http_),
                             wait_.requests.end());
    }

    TActiveRequest(const TActiveRequest&) = delete;
    TActiveRequest& operator=(const TActiveRequest&) = delete;

private:
    TWaitState& wait_;
    THttpClient& http_;
};

TTimerThread::TTimerThread(TfrmMain* owner, TTimerThreadOptions options)
    : TTimerThread(MainWindowOwner(owner), std::move(options))
{
}

TTimerThread::TTimerThread(TTimerThreadOwner owner, TTimerThreadOptions options)
    : owner_(std::move(owner)), interval_(options.interval),
      clock_(options.clock ? std::move(options.clock) : std::make_shared<TSystemPollClock>()),
      applicationDir_(std::move(options.applicationDir)), trustedKey_(std::move(options.trustedKey)),
      wait_(std::make_shared<TWaitState>())
{
}

TTimerThread::~TTimerThread()
{
    Stop();
}

QString TTimerThread::UpdatePrompt(const QString& description)
{
    return QStringLiteral("发现有更新的版本\n要立刻升级吗?\n\n相关更新为:\n") + description;
}

void TTimerThread::Start()
{
    if (worker_.joinable())
        return;
    running_ = true;
    worker_ = std::thread([this] { Run(); });
}

void TTimerThread::Stop()
{
    {
        std::lock_guard lock(wait_->mutex);
        wait_->stop = true;
        wait_->abort = true;
        for (THttpClient* http : wait_->requests)
            http->Abort();
        // Nothing may run against the session once the client ends; a poll waiting for the
        // server would hold up the end by its whole time limit.
        if (wait_->polling && DMod)
            DMod->AbortRequests();
    }
    wait_->changed.notify_all();
    clock_->Interrupt();
    if (!worker_.joinable())
        return;
    if (worker_.get_id() == std::this_thread::get_id())
        worker_.detach();
    else
        worker_.join();
}

bool TTimerThread::StopRequested() const
{
    std::lock_guard lock(wait_->mutex);
    return wait_->stop;
}

void TTimerThread::Run()
{
    try {
        Execute();
    } catch (const std::exception& failure) {
        qWarning() << "Polling thread ended:" << failure.what();
    }
    running_ = false;
}

void TTimerThread::Execute()
{
    TPollSchedule schedule(interval_, clock_->Now());
    while (!StopRequested()) {
        if (!paused_) {
            if (schedule.VersionCheckDue(clock_->Now()) && VersionCheck(schedule))
                return;
            Poll();
        }
        clock_->Sleep(interval_);
    }
}

bool TTimerThread::VersionCheck(TPollSchedule& schedule)
{
    schedule.VersionCheckStarted();
    bool newer = false;
    try {
        newer = CheckVersion();
    } catch (const std::exception& failure) {
        // A package file that cannot be made must not end the polling: the check is simply
        // tried again at the next interval.
        qWarning() << "Version check failed:" << failure.what();
    }
    if (newer && !StopRequested()) {
        switch (AskForUpdate(UpdatePrompt(GetVersionDescription()))) {
        case TAnswer::Yes:
            if (ApplyPendingUpgrade()) {
                SyncExit();
                return true;
            }
            break;
        case TAnswer::No:
            schedule.Decline();
            break;
        case TAnswer::None:
            break;
        }
    }
    schedule.VersionCheckEnded(clock_->Now());
    return false;
}

void TTimerThread::PrepareUpgrade(TUpgrade& upgrade)
{
    if (!applicationDir_.isEmpty())
        upgrade.SetApplicationDir(applicationDir_);
    if (trustedKey_)
        upgrade.SetTrustedKey(*trustedKey_);
    // The box of a package that does not unpack is a window: it is shown on the user-interface
    // thread while this thread waits, and a stop does not wait for the user to close it.
    const auto showBox = [this](const QString& message) {
        HandOver([message] { ShowUnpackFailureBox(message); });
    };
    upgrade.SetUnpackFailureReport(showBox);
    upgrade.SetNoticeReport(showBox);
    upgrade.SetAbortFlag(&wait_->abort);
}

bool TTimerThread::CheckVersion()
{
    TUpgrade upgrade;
    PrepareUpgrade(upgrade);
    THttpClient http(TUpgrade::VersionLimits());
    const TActiveRequest versionRequest(*wait_, http);
    const QString version = upgrade.FetchVersion(http);
    if (!TUpgrade::IsNewerVersion(version))
        return false;
    // The package goes through a client of its own, registered so that a stop cuts the download
    // short instead of waiting for it.
    THttpClient packageHttp(TUpgrade::PackageLimits());
    const TActiveRequest packageRequest(*wait_, packageHttp);
    // Offered only once the package is downloaded, checked and unpacked.
    return upgrade.StageUpgrade(http, packageHttp, version);
}

QString TTimerThread::GetVersionDescription()
{
    TUpgrade upgrade;
    THttpClient http(TUpgrade::VersionLimits());
    const TActiveRequest request(*wait_, http);
    return upgrade.FetchVersionDesc(http);
}

TTimerThread::TAnswer TTimerThread::AskForUpdate(const QString& prompt)
{
    auto yes = std::make_shared<std::atomic<bool>>(false);
    const QPointer<QWidget> window = owner_.window;
    const bool answered = HandOver([window, prompt, yes] {
        *yes =
            TMessageBox::Show(window, QStringLiteral("Quorvane"), prompt, QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::Information) == QMessageBox::Yes;
    });
    if (!answered)
        return TAnswer::None;
    return *yes ? TAnswer::Yes : TAnswer::No;
}

bool TTimerThread::ApplyPendingUpgrade()
{
    try {
        TUpgrade upgrade;
        PrepareUpgrade(upgrade);
        return upgrade.ApplyPendingUpgrade();
    } catch (const std::exception& failure) {
        qWarning() << "Update not handed over:" << failure.what();
        return false;
    }
}

void TTimerThread::Poll()
{
    {
        std::lock_guard lock(wait_->mutex);
        if (wait_->stop || !DMod)
            return;
        wait_->polling = true;
    }
    std::optional<APIResponse> information;
    try {
        APIResponse reply = DMod->GetInformationList();
        if (reply.success && reply.url != QLatin1String("0"))
            information = std::move(reply);
    } catch (...) {
        // No network, an error status, a reply that cannot be read: the next cycle polls again.
    }
    {
        std::lock_guard lock(wait_->mutex);
        wait_->polling = false;
    }
    if (information)
        SyncShowInformation(*information);
}

bool TTimerThread::SyncShowInformation(const APIResponse& information)
{
    const auto show = owner_.showInformation;
    if (!show)
        return false;
    return HandOver([show, information] { show(information); });
}

bool TTimerThread::SyncExit()
{
    const auto exit = owner_.exitApplication;
    if (!exit)
        return false;
    return HandOver([exit] { exit(); });
}

bool TTimerThread::HandOver(std::function<void()> work)
{
    if (QThread::currentThread() == thread()) {
        work();
        return true;
    }
    const std::shared_ptr<TWaitState> wait = wait_;
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
