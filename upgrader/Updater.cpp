#include "upgrader/Updater.h"

#include "platform/Failure.h"
#include "platform/InstanceLock.h"
#include "platform/ProgramFiles.h"
#include "upgrader/FileReplace.h"
#include "upgrader/InvokingUser.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

namespace {

// The name of the client's single-instance lock.
const QString kClientLockName = QStringLiteral("quorvane_client.exe");

constexpr int kPollMs = 100;

} // namespace

// The client's single-instance lock, taken by the updater once the client has ended, so that no
// client starts while its executable is being replaced.
class TClientLock final
{
public:
    explicit TClientLock(int invokingUid)
    {
        if (invokingUid < 0)
            instance_ = std::make_unique<TInstanceLock>(kClientLockName);
        else
            userLockFile_ = QFile::encodeName(ClientLockFileOf(invokingUid, kClientLockName));
    }

    ~TClientLock() { Release(); }

    // False while a client holds the lock.
    bool TryAcquire()
    {
        if (instance_)
            return instance_->Acquire();
        // Root opens the user's lock without creating it: no lock file means no client.
        fd_ = open(userLockFile_.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd_ < 0)
            return true;
        if (flock(fd_, LOCK_EX | LOCK_NB) == 0)
            return true;
        close(fd_);
        fd_ = -1;
        return false;
    }

    void Release()
    {
        if (instance_)
            instance_->Release();
        if (fd_ >= 0) {
            close(fd_);
            fd_ = -1;
        }
    }

private:
    std::unique_ptr<TInstanceLock> instance_;
    QByteArray userLockFile_;
    int fd_ = -1;
};

TUpdater::TUpdater(QString appDir) : appDir_(std::move(appDir)) {}

void TUpdater::Say(const QString& line) const
{
    if (progress_) {
        progress_(line);
        return;
    }
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

bool TUpdater::WaitForClientToEnd(TClientLock& lock)
{
    const QDeadlineTimer deadline(waitLimitMs_);
    bool told = false;
    while (!lock.TryAcquire()) {
        if (deadline.hasExpired())
            return false;
        if (!told) {
            Say(QStringLiteral("Waiting for the client to end"));
            told = true;
        }
        QThread::msleep(kPollMs);
    }
    return true;
}

TUpdater::Result TUpdater::Run(const TUpdateRequest& request)
{
    if (!IsBareFileName(request.dstFileName)) {
        Say(QStringLiteral("Refused: \"%1\" is not a file name").arg(request.dstFileName));
        return Result::BadRequest;
    }
    const QString target = appDir_ + QLatin1Char('/') + NativeProgramFileName(request.dstFileName);

    TClientLock lock(invokingUid_);
    if (!WaitForClientToEnd(lock)) {
        Say(QStringLiteral("The client did not end within %1 s; nothing was replaced")
                .arg(waitLimitMs_ / 1000));
        return Result::ClientStillRunning;
    }

    Result result = Result::Done;
    try {
        ReplaceFile(request.fileName, target, invokingUid_);
        Say(QStringLiteral("Replaced %1").arg(target));
    } catch (const TFailure& failure) {
        Say(QStringLiteral("Not replaced: %1").arg(failure.Message()));
        result = Result::ReplaceFailed;
    }
    // Used up either way: a file that cannot be put in place would bring every start of the
    // client back here.
    if (invokingUid_ < 0)
        QFile::remove(request.fileName);
    else
        RemoveFileAsUser(request.fileName, invokingUid_);

    lock.Release();
    if (QFileInfo(target).isFile()) {
        const bool started =
            invokingUid_ < 0 ? QProcess::startDetached(target, {}) : StartProgramAsUser(target, invokingUid_);
        if (!started)
            Say(QStringLiteral("Could not start %1").arg(target));
    }
    return result;
}
