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

namespace quorvane {

namespace {

// The name of the client's single-instance lock.
const QString kClientLockName = QStringLiteral("quorvane_client.exe");

constexpr int kPollMs = 100;

QString name(const char* name)
{
    return QString::fromLatin1(name);
}

bool writeReadyLine()
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
            removeFolderTree(path);
    }
};

} // namespace

// The client's single-instance lock, taken by the updater once the client has ended, so that no
// client starts while its files are being replaced.
class ClientLock final
{
public:
    explicit ClientLock(int invokingUid)
    {
        if (invokingUid < 0)
            m_instance = std::make_unique<InstanceLock>(kClientLockName);
        else
            m_userLockFile = QFile::encodeName(clientLockFileOf(invokingUid, kClientLockName));
    }

    ~ClientLock() { release(); }

    // False while a client holds the lock.
    bool tryAcquire()
    {
        if (m_instance)
            return m_instance->acquire();
        // Root opens the user's lock without creating it: no lock file means no client.
        m_fd = open(m_userLockFile.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0)
            return true;
        if (flock(m_fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        close(m_fd);
        m_fd = -1;
        return false;
    }

    void release()
    {
        if (m_instance)
            m_instance->release();
        if (m_fd >= 0) {
            close(m_fd);
            m_fd = -1;
        }
    }

private:
    std::unique_ptr<InstanceLock> m_instance;
    QByteArray m_userLockFile;
    int m_fd = -1;
};

Updater::Updater(QString appDir)
    : m_appDir(std::move(appDir)), m_key(trustedUpdateKey()), m_ready(writeReadyLine)
{
}

void Updater::say(const QString& line) const
{
    if (m_progress) {
        m_progress(line);
        return;
    }
    std::fputs(qPrintable(line + QLatin1Char('\n')), stderr);
    std::fflush(stderr);
}

int Updater::ownerUid() const
{
    return m_invokingUid >= 0 ? m_invokingUid : int(currentUserId());
}

bool Updater::waitForClientToEnd(ClientLock& lock)
{
    const QDeadlineTimer deadline(m_waitLimitMs);
    bool told = false;
    while (!lock.tryAcquire()) {
        if (deadline.hasExpired())
            return false;
        if (!told) {
            say(QStringLiteral("Waiting for the client to end"));
            told = true;
        }
        QThread::msleep(kPollMs);
    }
    return true;
}

Updater::Result Updater::run(const UpdateRequest& request)
{
    // The client only ever hands over its own program; any other name is not its request.
    if (request.dstFileName != name(UpgradeName::kClientExe)) {
        say(QStringLiteral("Refused: \"%1\" is not the client's program").arg(request.dstFileName));
        return Result::BadRequest;
    }
    const StagingLayout staging = StagingLayout::ofProgram(request.fileName);
    if (staging.folder.isEmpty()) {
        say(QStringLiteral("Refused: \"%1\" is not a staged program").arg(request.fileName));
        return Result::BadRequest;
    }

    // Everything the updater installs comes from its own copy of the package, in a folder of
    // its own inside the application folder (the same file system, so files move in one step),
    // laid out as a staging is.
    WorkFolder work{makePrivateFolder(m_appDir, QStringLiteral(".quorvane-update-"))};
    if (work.path.isEmpty()) {
        say(QStringLiteral("Cannot write in %1").arg(m_appDir));
        removeStaging(staging.folder);
        return Result::InstallFailed;
    }
    QString version;
    const Result prepared = prepare(staging, StagingLayout{work.path}, &version);
    // Used up either way: a staging that cannot be installed would bring every start of the
    // client back here.
    removeStaging(staging.folder);
    if (prepared != Result::Done)
        return prepared;
    if (!m_ready()) {
        say(QStringLiteral("The client no longer waits; nothing was replaced"));
        return Result::NobodyWaiting;
    }
    return installAndStart(StagingLayout{work.path}, version);
}

Updater::Result Updater::prepare(const StagingLayout& staging, const StagingLayout& work, QString* version)
{
    // Each read checks the file and the folder it lies in: the staging and its "files".
    const uint owner = uint(ownerUid());
    const PrivateFile copied = readPrivateFile(staging.package(), owner, work.package());
    const PrivateFile signature = readPrivateFile(staging.signature(), owner, {}, kMaxSignatureBytes);
    const PrivateFile staged = readPrivateFile(staging.program(), owner);
    for (const PrivateFile* file : {&copied, &signature, &staged}) {
        if (!file->error.isEmpty()) {
            say(QStringLiteral("Refused: %1").arg(file->error));
            return Result::Refused;
        }
    }
    const SignatureVerdict verdict = verifyPackageSignature(work.package(), signature.content, m_key);
    if (!verdict.ok()) {
        say(QStringLiteral("Refused: %1").arg(verdict.error));
        return Result::Refused;
    }
    *version = verdict.version;

    const QString files = work.unpacked();
    CabinetReader reader;
    if (!QDir().mkdir(files) || !reader.extract(work.package(), [&files](const QString& name) {
            return files + QLatin1Char('/') + name;
        })) {
        say(QStringLiteral("Refused: the package does not unpack: %1").arg(reader.errorString()));
        return Result::Refused;
    }
    // The program the client staged and checked is the one in the signed package.
    const PrivateFile inPackage = readPrivateFile(work.program(), currentUserId());
    if (!inPackage.error.isEmpty() || inPackage.sha256 != staged.sha256) {
        say(QStringLiteral("Refused: the staged program is not the one in the package"));
        return Result::Refused;
    }
    return Result::Done;
}

Updater::Result Updater::installAndStart(const StagingLayout& work, const QString& version)
{
    ClientLock lock(m_invokingUid);
    if (!waitForClientToEnd(lock)) {
        say(QStringLiteral("The client did not end within %1 s; nothing was replaced")
                .arg(m_waitLimitMs / 1000));
        return Result::ClientStillRunning;
    }
    PackageInstall install(m_appDir, work.unpacked(), work.folder + QStringLiteral("/replaced"));
    QString error;
    if (!install.install(&error)) {
        say(QStringLiteral("Not installed: %1").arg(error));
        lock.release();
        startOldClient();
        return Result::InstallFailed;
    }
    say(QStringLiteral("Installed version %1: %2")
            .arg(version, install.installedNames().join(QLatin1Char(' '))));
    lock.release();

    const QString program =
        m_appDir + QLatin1Char('/') + nativeProgramFileName(name(UpgradeName::kClientExe));
    StartedClient client = startClient(program, m_invokingUid, true);
    int exitCode = 0;
    if (client.pid > 0 && waitForClient(client, m_startConfirmMs, &exitCode) == ClientOutcome::Started)
        return Result::Done;

    say(QStringLiteral("The new client failed to start (exit code %1); the old version is put back")
            .arg(exitCode));
    install.rollBack();
    recordRollBack(version);
    startOldClient();
    return Result::RolledBack;
}

void Updater::removeStaging(const QString& staging) const
{
    if (m_invokingUid < 0)
        removeFolderTree(staging);
    else
        removeFolderAsUser(staging, m_invokingUid);
}

void Updater::recordRollBack(const QString& version) const
{
    // Beside the programs, so that no client of this installation offers the version again.
    const QString file = m_appDir + QLatin1Char('/') + name(UpgradeName::kRolledBackFile);
    const QString part = file + QStringLiteral(".part");
    QFile::remove(part);
    QFile out(part);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly) || out.write(version.toLatin1() + '\n') < 0 ||
        !out.flush()) {
        say(QStringLiteral("Cannot record the rolled-back version: %1").arg(out.errorString()));
        return;
    }
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                       QFileDevice::ReadOther);
    out.close();
    if (rename(QFile::encodeName(part).constData(), QFile::encodeName(file).constData()) != 0)
        say(QStringLiteral("Cannot record the rolled-back version"));
}

void Updater::startOldClient() const
{
    const QString program =
        m_appDir + QLatin1Char('/') + nativeProgramFileName(name(UpgradeName::kClientExe));
    if (!QFileInfo(program).isFile() || startClient(program, m_invokingUid, false).pid <= 0)
        say(QStringLiteral("Could not start %1").arg(program));
}

} // namespace quorvane
