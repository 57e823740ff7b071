#include "update/SelfUpdate.h"

#include "config/ConfigStore.h"
#include "config/Util.h"
#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"
#include "platform/PrivateFiles.h"
#include "platform/PrivateProfile.h"
#include "platform/Shell.h"
#include "platform/SystemPaths.h"
#include "platform/TempFiles.h"
#include "server/ClientVersion.h"
#include "server/HttpClient.h"
#include "update/CabinetReader.h"
#include "update/PackageSignature.h"
#include "update/StagingLayout.h"
#include "update/TrustedKey.h"
#include "update/UpgradeNames.h"
#include "update/VersionCompare.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace quorvane {

namespace {

const QString kFailureValue = QStringLiteral("0");

QString unpackFailedText()
{
    return QStringLiteral("解压升级包失败!");
}

QString needsAdministratorText()
{
    return QStringLiteral("安装新版本需要管理员权限，本次没有升级。\n请让管理员安装新版本，或稍后再试。");
}

QString updaterFailedText()
{
    return QStringLiteral("新版本没有安装成功，请稍后再试。");
}

QString name(const char* name)
{
    return QString::fromLatin1(name);
}

QString downloadUrl(const char* file)
{
    return ConfigStore().getDownUrl() + QLatin1Char('/') + name(file);
}

} // namespace

void logUpdate(const QString& line)
{
    qWarning().noquote() << "Update:" << line;
    writeDebugLog(toAnsi(QStringLiteral("Update: ") + line));
}

SelfUpdate::SelfUpdate() : m_appDir(quorvane::appDir()), m_key(trustedUpdateKey()) {}

HttpLimits SelfUpdate::versionLimits()
{
    HttpLimits limits;
    limits.connectTimeoutMs = 10000;
    limits.totalTimeoutMs = 30000;
    limits.maxBodyBytes = 1024 * 1024;
    return limits;
}

HttpLimits SelfUpdate::packageLimits()
{
    HttpLimits limits;
    limits.connectTimeoutMs = 10000;
    limits.totalTimeoutMs = 0;
    limits.maxBodyBytes = 0;
    // Far above any package the client ships; a package that never ends does not fill the disk.
    limits.maxFileBytes = qint64(1024) * 1024 * 1024;
    limits.lowSpeedBytesPerSec = 1024;
    limits.lowSpeedSeconds = 60;
    return limits;
}

QString SelfUpdate::fetchVersion(HttpClient& http) const
{
    const QString url = ConfigStore().getDownUrl() + QStringLiteral("/quorvane") +
                        QStringLiteral("_version.txt?v=") + CLIENT_VERSION;
    try {
        const QByteArray body = http.get(url);
        const QString text = fromAnsi(body);
        // A body that is no text in the code page (saved as UTF-16, binary data) names no
        // version: its first bytes would otherwise compare as newer than any.
        if (body.contains('\0') || text.contains(QChar::ReplacementCharacter))
            return kFailureValue;
        return text;
    } catch (const Failure&) {
        return kFailureValue;
    }
}

QString SelfUpdate::fetchVersionDesc(HttpClient& http) const
{
    const QString url =
        ConfigStore().getDownUrl() + QStringLiteral("/quorvane") + QStringLiteral("_version_desc.txt");
    try {
        return fromAnsi(http.get(url));
    } catch (const Failure&) {
        return kFailureValue;
    }
}

bool SelfUpdate::isNewerVersion(const QString& version)
{
    return isNewerThanClient(version);
}

bool SelfUpdate::checkAndDownload(HttpClient& http) const
{
    const QString version = fetchVersion(http);
    if (!isNewerVersion(version))
        return false;
    HttpClient packageHttp(packageLimits());
    return stageUpgrade(http, packageHttp, version);
}

bool SelfUpdate::downloadUpgrade(HttpClient& http, const QString& version) const
{
    return stageUpgrade(http, http, version);
}

bool SelfUpdate::stageUpgrade(HttpClient& http, HttpClient& packageHttp, const QString& version) const
{
    const QString shortVersion = version.left(18);
    if (wasRolledBack(version)) {
        logUpdate(QStringLiteral("version %1 failed to start before and was taken back; not offered again")
                      .arg(shortVersion));
        return false;
    }
    if (m_key.isEmpty()) {
        logUpdate(QStringLiteral("version %1 is published, but this build has no update key: the client "
                                 "does not update itself")
                      .arg(shortVersion));
        return false;
    }
    const QString parent = stagingParent();
    const QString parentError = ensurePrivateFolder(parent);
    if (!parentError.isEmpty()) {
        logUpdate(QStringLiteral("no private folder for the package: %1").arg(parentError));
        return false;
    }
    const QString staging = makePrivateFolder(parent, name(UpgradeName::kStagingPrefix));
    if (staging.isEmpty()) {
        logUpdate(QStringLiteral("cannot create a staging folder in %1").arg(parent));
        return false;
    }
    const QString error = stageIn(StagingLayout{staging}, http, packageHttp, version);
    if (!error.isEmpty()) {
        removeFolderTree(staging);
        logUpdate(QStringLiteral("version %1 not staged: %2").arg(shortVersion, error));
        return false;
    }
    // Earlier stagings are of no use any more: the record names this one only.
    const QDir stagings(parent);
    for (const QString& name : stagings.entryList({name(UpgradeName::kStagingPrefix) + QLatin1Char('*')},
                                                  QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (stagings.filePath(name) != staging)
            removeFolderTree(stagings.filePath(name));
    }
    return true;
}

// Downloads, checks and unpacks into `staging` and writes the hand-over record; the reason of
// a failure, or empty.
QString SelfUpdate::stageIn(const StagingLayout& staging, HttpClient& http, HttpClient& packageHttp,
                            const QString& version) const
{
    QByteArray signature;
    try {
        signature = http.get(downloadUrl(UpgradeName::kSignature));
    } catch (const Failure& failure) {
        return QStringLiteral("no signature: %1").arg(failure.message());
    }
    if (signature.size() > kMaxSignatureBytes)
        return QStringLiteral("the signature file is too large");

    const QString package = staging.package();
    try {
        packageHttp.getToFile(downloadUrl(UpgradeName::kPackage), package);
    } catch (const Failure& failure) {
        return QStringLiteral("package not downloaded: %1").arg(failure.message());
    }
    QFile::setPermissions(package, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    // Not a byte is unpacked before the signature holds.
    const SignatureVerdict verdict = verifyPackageSignature(package, signature, m_key, m_abort);
    if (!verdict.ok())
        return verdict.error;
    if (verdict.version != version.left(18))
        return QStringLiteral("the package is signed for version %1, the server announces %2")
            .arg(verdict.version, version.left(18));
    QFile out(staging.signature());
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly) || out.write(signature) != signature.size())
        return QStringLiteral("cannot keep the signature: %1").arg(out.errorString());
    out.close();
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    const QString unpacked = staging.unpacked();
    if (!QDir().mkdir(unpacked))
        return QStringLiteral("cannot create %1").arg(unpacked);
    CabinetReader reader;
    reader.setAbortFlag(m_abort);
    const bool extracted = reader.extract(
        package, [&unpacked](const QString& name) { return unpacked + QLatin1Char('/') + name; });
    if (!extracted) {
        if (m_unpackFailed && !(m_abort && *m_abort))
            m_unpackFailed(unpackFailedText());
        return QStringLiteral("package not unpacked: %1").arg(reader.errorString());
    }
    if (!QFileInfo(staging.program()).isFile())
        return QStringLiteral("the package holds no %1").arg(name(UpgradeName::kClientExe));
    // Whatever the user's umask allowed, nobody but the user may change a staged file: the
    // updater refuses the staging otherwise.
    QDirIterator entries(unpacked, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        QFile::setPermissions(path, QFile::permissions(path) &
                                        ~(QFileDevice::WriteGroup | QFileDevice::WriteOther));
    }
    QFile::setPermissions(unpacked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    const PrivateFile program = readPrivateFile(staging.program(), currentUserId());
    if (!program.error.isEmpty())
        return program.error;
    try {
        writeUpgradeInfo({staging.program(), name(UpgradeName::kClientExe), version,
                          QString::number(program.size), QString::fromLatin1(program.sha256.toHex())});
    } catch (const Failure& failure) {
        return QStringLiteral("not handed over: %1").arg(failure.message());
    }
    return {};
}

// The staging a record names, when it is one of ours below the staging parent.
StagingLayout SelfUpdate::ownStagingOf(const QString& program) const
{
    const StagingLayout staging = StagingLayout::ofProgram(program);
    if (staging.folder.isEmpty() ||
        QFileInfo(staging.folder).absolutePath() != QDir::cleanPath(stagingParent()))
        return {};
    return staging;
}

bool SelfUpdate::wasRolledBack(const QString& version) const
{
    const QString rolledBack = rolledBackVersion();
    // A newer version than the one taken back is offered normally.
    return !rolledBack.isEmpty() && version.left(18) <= rolledBack;
}

QString SelfUpdate::rolledBackVersion() const
{
    QFile file(m_appDir + QLatin1Char('/') + name(UpgradeName::kRolledBackFile));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.read(64)).trimmed().left(18);
}

QString SelfUpdate::checkStaged(const UpgradeInfo& info) const
{
    if (info.dstFileName != name(UpgradeName::kClientExe))
        return QStringLiteral("the record names \"%1\" as the program").arg(info.dstFileName);
    const StagingLayout staging = ownStagingOf(info.fileName);
    if (staging.folder.isEmpty())
        return QStringLiteral("%1 is not a staged program").arg(info.fileName);
    const uint me = currentUserId();
    for (const QString& folder : {staging.folder, staging.unpacked()}) {
        const QString error = checkPrivateFolder(folder, me);
        if (!error.isEmpty())
            return error;
    }
    const PrivateFile staged = readPrivateFile(info.fileName, me);
    if (!staged.error.isEmpty())
        return staged.error;
    if (QString::number(staged.size) != info.fileSize ||
        QString::fromLatin1(staged.sha256.toHex()) != info.fileSha256.toLower())
        return QStringLiteral("%1 changed after it was staged").arg(info.fileName);
    for (const QString& path : {staging.package(), staging.signature()}) {
        const QFileInfo file(path);
        if (!file.isFile() || file.isSymLink() || file.ownerId() != me)
            return QStringLiteral("%1 is missing or not the user's").arg(path);
    }
    return {};
}

bool SelfUpdate::applyPendingUpgrade() const
{
    const UpgradeInfo info = readUpgradeInfo();
    if (info.fileName.isEmpty() && info.versionNo.isEmpty())
        return false;
    const QString version = info.versionNo.left(18);
    if (!isNewerVersion(info.versionNo) || wasRolledBack(info.versionNo)) {
        dropPendingUpgrade();
        return false;
    }
    if (m_key.isEmpty()) {
        logUpdate(QStringLiteral("version %1 is pending, but this build has no update key").arg(version));
        dropPendingUpgrade();
        return false;
    }
    const QString stagedError = checkStaged(info);
    if (!stagedError.isEmpty()) {
        logUpdate(QStringLiteral("version %1 not installed: %2").arg(version, stagedError));
        dropPendingUpgrade();
        return false;
    }

    const bool elevated = !canWriteDir(m_appDir);
    const QString updater = m_appDir + QLatin1Char('/') + name(UpgradeName::kUpdater);
    int exitCode = 0;
    const ProgramStart start = startProgramAndWaitForReady(
        updater, {updaterCommandLine(info)}, elevated, kUpdaterReadyTimeoutMs,
        [this] { return m_abort && *m_abort; }, &exitCode);
    switch (start) {
    case ProgramStart::Ready:
        return true;
    case ProgramStart::ElevationRefused:
        logUpdate(QStringLiteral("version %1 not installed: no administrator rights (exit code %2)")
                      .arg(version)
                      .arg(exitCode));
        tell(needsAdministratorText());
        break;
    case ProgramStart::Failed:
        logUpdate(QStringLiteral("version %1 not installed: the updater failed (exit code %2)")
                      .arg(version)
                      .arg(exitCode));
        tell(updaterFailedText());
        break;
    case ProgramStart::TimedOut:
        logUpdate(QStringLiteral("version %1 not installed: the updater did not answer").arg(version));
        tell(updaterFailedText());
        break;
    case ProgramStart::Cancelled:
        logUpdate(QStringLiteral("version %1 not installed: the client is ending").arg(version));
        break;
    }
    // A later check offers the version again; no start is held up by this record meanwhile.
    dropPendingUpgrade();
    return false;
}

void SelfUpdate::tell(const QString& message) const
{
    if (m_notice)
        m_notice(message);
}

void SelfUpdate::dropPendingUpgrade() const
{
    const UpgradeInfo info = readUpgradeInfo();
    // Only a staging folder of ours goes; a record may name anything.
    const StagingLayout staging = ownStagingOf(info.fileName);
    if (!staging.folder.isEmpty() && checkPrivateFolder(staging.folder, currentUserId()).isEmpty())
        removeFolderTree(staging.folder);
    try {
        writeUpgradeInfo(UpgradeInfo{});
    } catch (const Failure& failure) {
        logUpdate(QStringLiteral("cannot drop the hand-over record: %1").arg(failure.message()));
    }
}

QString SelfUpdate::updaterCommandLine(const UpgradeInfo& info)
{
    return info.fileName + QLatin1Char(' ') + info.dstFileName;
}

QString SelfUpdate::stagingParent() const
{
    return cacheDir() + QLatin1Char('/') + name(UpgradeName::kCacheFolder);
}

QString SelfUpdate::getUpgradeDir() const
{
    // The client's data folder, which holds quorvane.ini as well: created private when missing.
    return ConfigStore().getConfigDir();
}

QString SelfUpdate::getUpgradeFile() const
{
    return getUpgradeDir() + QLatin1Char('/') + name(UpgradeName::kInfoFile);
}

bool SelfUpdate::canWriteDir(const QString& folder) const
{
    // A "test.tmp" that is not ours stays as it is: the probe is made under a name of its own.
    const QString probe = createUniqueTempFile(folder, QStringLiteral("test.tmp."));
    if (probe.isEmpty())
        return false;
    QFile::remove(probe);
    return true;
}

void SelfUpdate::writeUpgradeInfo(const UpgradeInfo& info) const
{
    const QString file = getUpgradeFile();
    const QString section = name(UpgradeName::kSection);
    writeProfileString(file, section, name(UpgradeName::kFileName), info.fileName);
    writeProfileString(file, section, name(UpgradeName::kDstFileName), info.dstFileName);
    writeProfileString(file, section, name(UpgradeName::kVersionNo), info.versionNo);
    writeProfileString(file, section, name(UpgradeName::kFileSize), info.fileSize);
    writeProfileString(file, section, name(UpgradeName::kFileSha256), info.fileSha256);
}

UpgradeInfo SelfUpdate::readUpgradeInfo() const
{
    const QString file = getUpgradeFile();
    const QString section = name(UpgradeName::kSection);
    const auto read = [&](const char* key) { return readProfileString(file, section, name(key), QString()); };
    UpgradeInfo info;
    info.fileName = read(UpgradeName::kFileName);
    info.dstFileName = read(UpgradeName::kDstFileName);
    info.versionNo = read(UpgradeName::kVersionNo);
    info.fileSize = read(UpgradeName::kFileSize);
    info.fileSha256 = read(UpgradeName::kFileSha256);
    return info;
}

} // namespace quorvane
