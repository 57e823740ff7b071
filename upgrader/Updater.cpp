#include "upgrader/Updater.h"

#include "platform/InstanceLock.h"
#include "platform/PrivateFiles.h"
#include "platform/ProgramFiles.h"
#include "update/CabinetReader.h"
#include "update/PackageSignature.h"
#include "update/StagingLayout.h"
#include "update/TrustedKey.h"
#include "update/UpgradeNames.h"
#include "upgrader/ClientStart.h"
#include "upgrader/InvokingUser.h"
#include "upgrader/PackageInstall.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

namespace {

// The name of the client's single-instance lock.
const QString kClientLockName = QStringLiteral("quorvane_client.exe");

constexpr int kPollMs = 100;

QString Name(const char* name)
{
    return QString::fromLatin1(name);
}

bool WriteReadyLine()
{
    const QByteArray line = QByteArray(UpgradeName::kReadyLine) + '\n';
    for (;;) {
        const ssize_t written = write(STDOUT_FILENO, line.constData(), size_t(line.size()));
        if (written == line.size())
            return true;
        if (written < 0 && errno == EINTR)
            continue;
        return false;
    }
}

// Removes the updater's work folder (its copy of the package, the unpacked files, the files it
// replaced) when the run ends.
struct WorkFolder
{
    QString path;
    ~WorkFolder()
    {
        if (!path.isEmpty())
            RemoveFolderTree(path);
    }
};

} // namespace

// The client's single-instance lock, taken by the updater once the client has ended, so that no
// client starts while its files are being replaced.
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
        fd_ = open(userLockFile_.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
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

TUpdater::TUpdater(QString appDir)
    : appDir_(std::move(appDir)), key_(TrustedUpdateKey()), ready_(WriteReadyLine)
{
}

void TUpdater::Say(const QString& line) const
{
    if (progress_) {
        progress_(line);
        return;
    }
    std::fputs(qPrintable(line + QLatin1Char('\n')), stderr);
    std::fflush(stderr);
}

int TUpdater::Owner() const
{
    return invokingUid_ >= 0 ? invokingUid_ : int(CurrentUserId());
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
    // The client only ever hands over its own program; any other name is not its request.
    if (request.dstFileName != Name(UpgradeName::kClientExe)) {
        Say(QStringLiteral("Refused: \"%1\" is not the client's program").arg(request.dstFileName));
        return Result::BadRequest;
    }
    const StagingLayout staging = StagingLayout::OfProgram(request.fileName);
    if (staging.folder.isEmpty()) {
        Say(QStringLiteral("Refused: \"%1\" is not a staged program").arg(request.fileName));
        return Result::BadRequest;
    }

    // Everything the updater installs comes from its own copy of the package, in a folder of
    // its own inside the application folder (the same file system, so files move in one step),
    // laid out as a staging is.
    WorkFolder work{MakePrivateFolder(appDir_, QStringLiteral(".quorvane-update-"))};
    if (work.path.isEmpty()) {
        Say(QStringLiteral("Cannot write in %1").arg(appDir_));
        RemoveStaging(staging.folder);
        return Result::InstallFailed;
    }
    QString version;
    const Result prepared = Prepare(staging, StagingLayout{work.path}, &version);
    // Used up either way: a staging that cannot be installed would bring every start of the
    // client back here.
    RemoveStaging(staging.folder);
    if (prepared != Result::Done)
        return prepared;
    if (!ready_()) {
        Say(QStringLiteral("The client no longer waits; nothing was replaced"));
        return Result::NobodyWaiting;
    }
    return InstallAndStart(StagingLayout{work.path}, version);
}

TUpdater::Result TUpdater::Prepare(const StagingLayout& staging, const StagingLayout& work, QString* version)
{
    // Each read checks the file and the folder it lies in: the staging and its "files".
    const uint owner = uint(Owner());
    const PrivateFile copied = ReadPrivateFile(staging.Package(), owner, work.Package());
    const PrivateFile signature = ReadPrivateFile(staging.Signature(), owner, {}, kMaxSignatureBytes);
    const PrivateFile staged = ReadPrivateFile(staging.Program(), owner);
    for (const PrivateFile* file : {&copied, &signature, &staged}) {
        if (!file->error.isEmpty()) {
            Say(QStringLiteral("Refused: %1").arg(file->error));
            return Result::Refused;
        }
    }
    const SignatureVerdict verdict = VerifyPackageSignature(work.Package(), signature.content, key_);
    if (!verdict.Ok()) {
        Say(QStringLiteral("Refused: %1").arg(verdict.error));
        return Result::Refused;
    }
    *version = verdict.version;

    const QString files = work.Unpacked();
    TCabinetReader reader;
    if (!QDir().mkdir(files) || !reader.Extract(work.Package(), [&files](const QString& name) {
            return files + QLatin1Char('/') + name;
        })) {
        Say(QStringLiteral("Refused: the package does not unpack: %1").arg(reader.ErrorString()));
        return Result::Refused;
    }
    // The program the client staged and checked is the one in the signed package.
    const PrivateFile inPackage = ReadPrivateFile(work.Program(), CurrentUserId());
    if (!inPackage.error.isEmpty() || inPackage.sha256 != staged.sha256) {
        Say(QStringLiteral("Refused: the staged program is not the one in the package"));
        return Result::Refused;
    }
    return Result::Done;
}

TUpdater::Result TUpdater::InstallAndStart(const StagingLayout& work, const QString& version)
{
    TClientLock lock(invokingUid_);
    if (!WaitForClientToEnd(lock)) {
        Say(QStringLiteral("The client did not end within %1 s; nothing was replaced")
                .arg(waitLimitMs_ / 1000));
        return Result::ClientStillRunning;
    }
    TPackageInstall install(appDir_, work.Unpacked(), work.folder + QStringLiteral("/replaced"));
    QString error;
    if (!install.Install(&error)) {
        Say(QStringLiteral("Not installed: %1").arg(error));
        lock.Release();
        StartOldClient();
        return Result::InstallFailed;
    }
    Say(QStringLiteral("Installed version %1: %2")
            .arg(version, install.InstalledNames().join(QLatin1Char(' '))));
    lock.Release();

    const QString program = appDir_ + QLatin1Char('/') + NativeProgramFileName(Name(UpgradeName::kClientExe));
    TStartedClient client = StartClient(program, invokingUid_, true);
    int exitCode = 0;
    if (client.pid > 0 && WaitForClient(client, startConfirmMs_, &exitCode) == ClientOutcome::Started)
        return Result::Done;

    Say(QStringLiteral("The new client failed to start (exit code %1); the old version is put back")
            .arg(exitCode));
    install.RollBack();
    RecordRollBack(version);
    StartOldClient();
    return Result::RolledBack;
}

void TUpdater::RemoveStaging(const QString& staging) const
{
    if (invokingUid_ < 0)
        RemoveFolderTree(staging);
    else
        RemoveFolderAsUser(staging, invokingUid_);
}

void TUpdater::RecordRollBack(const QString& version) const
{
    // Beside the programs, so that no client of this installation offers the version again.
    const QString file = appDir_ + QLatin1Char('/') + Name(UpgradeName::kRolledBackFile);
    const QString part = file + QStringLiteral(".part");
    QFile::remove(part);
    QFile out(part);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly) || out.write(version.toLatin1() + '\n') < 0 ||
        !out.flush()) {
        Say(QStringLiteral("Cannot record the rolled-back version: %1").arg(out.errorString()));
        return;
    }
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                       QFileDevice::ReadOther);
    out.close();
    if (rename(QFile::encodeName(part).constData(), QFile::encodeName(file).constData()) != 0)
        Say(QStringLiteral("Cannot record the rolled-back version"));
}

void TUpdater::StartOldClient() const
{
    const QString program = appDir_ + QLatin1Char('/') + NativeProgramFileName(Name(UpgradeName::kClientExe));
    if (!QFileInfo(program).isFile() || StartClient(program, invokingUid_, false).pid <= 0)
        Say(QStringLiteral("Could not start %1").arg(program));
}
