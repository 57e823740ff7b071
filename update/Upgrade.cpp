#include "update/Upgrade.h"

#include "config/SelvorConfig.h"
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

namespace {

const QString kFailureValue = QStringLiteral("0");

QString UnpackFailedText()
{
    return QStringLiteral("解压升级包失败!");
}

QString NeedsAdministratorText()
{
    return QStringLiteral("安装新版本需要管理员权限，本次没有升级。\n请让管理员安装新版本，或稍后再试。");
}

QString UpdaterFailedText()
{
    return QStringLiteral("新版本没有安装成功，请稍后再试。");
}

QString Name(const char* name)
{
    return QString::fromLatin1(name);
}

QString DownloadUrl(const char* file)
{
    return TSelvorConfig().GetDownUrl() + QLatin1Char('/') + Name(file);
}

} // namespace

void LogUpdate(const QString& line)
{
    qWarning().noquote() << "Update:" << line;
    WriteDebugLog(ToAnsi(QStringLiteral("Update: ") + line));
}

TUpgrade::TUpgrade() : appDir_(::AppDir()), key_(TrustedUpdateKey()) {}

THttpLimits TUpgrade::VersionLimits()
{
    THttpLimits limits;
    limits.connectTimeoutMs = 10000;
    limits.totalTimeoutMs = 30000;
    limits.maxBodyBytes = 1024 * 1024;
    return limits;
}

THttpLimits TUpgrade::PackageLimits()
{
    THttpLimits limits;
    limits.connectTimeoutMs = 10000;
    limits.totalTimeoutMs = 0;
    limits.maxBodyBytes = 0;
    // Far above any package the client ships; a package that never ends does not fill the disk.
    limits.maxFileBytes = qint64(1024) * 1024 * 1024;
    limits.lowSpeedBytesPerSec = 1024;
    limits.lowSpeedSeconds = 60;
    return limits;
}

QString TUpgrade::FetchVersion(THttpClient& http) const
{
    const QString url = TSelvorConfig().GetDownUrl() + QStringLiteral("/quorvane") +
                        QStringLiteral("_version.txt?v=") + CLIENT_VERSION;
    try {
        const QByteArray body = http.Get(url);
        const QString text = FromAnsi(body);
        // A body that is no text in the code page (saved as UTF-16, binary data) names no
        // version: its first bytes would otherwise compare as newer than any.
        if (body.contains('\0') || text.contains(QChar::ReplacementCharacter))
            return kFailureValue;
        return text;
    } catch (const TFailure&) {
        return kFailureValue;
    }
}

QString TUpgrade::FetchVersionDesc(THttpClient& http) const
{
    const QString url =
        TSelvorConfig().GetDownUrl() + QStringLiteral("/quorvane") + QStringLiteral("_version_desc.txt");
    try {
        return FromAnsi(http.Get(url));
    } catch (const TFailure&) {
        return kFailureValue;
    }
}

bool TUpgrade::IsNewerVersion(const QString& version)
{
    return IsNewerThanClient(version);
}

bool TUpgrade::CheckAndDownload(THttpClient& http) const
{
    const QString version = FetchVersion(http);
    if (!IsNewerVersion(version))
        return false;
    THttpClient packageHttp(PackageLimits());
    return StageUpgrade(http, packageHttp, version);
}

bool TUpgrade::DownloadUpgrade(THttpClient& http, const QString& version) const
{
    return StageUpgrade(http, http, version);
}

bool TUpgrade::StageUpgrade(THttpClient& http, THttpClient& packageHttp, const QString& version) const
{
    const QString shortVersion = version.left(18);
    if (WasRolledBack(version)) {
        LogUpdate(QStringLiteral("version %1 failed to start before and was taken back; not offered again")
                      .arg(shortVersion));
        return false;
    }
    if (key_.isEmpty()) {
        LogUpdate(QStringLiteral("version %1 is published, but this build has no update key: the client "
                                 "does not update itself")
                      .arg(shortVersion));
        return false;
    }
    const QString parent = StagingParent();
    const QString parentError = EnsurePrivateFolder(parent);
    if (!parentError.isEmpty()) {
        LogUpdate(QStringLiteral("no private folder for the package: %1").arg(parentError));
        return false;
    }
    const QString staging = MakePrivateFolder(parent, Name(UpgradeName::kStagingPrefix));
    if (staging.isEmpty()) {
        LogUpdate(QStringLiteral("cannot create a staging folder in %1").arg(parent));
        return false;
    }
    const QString error = StageIn(StagingLayout{staging}, http, packageHttp, version);
    if (!error.isEmpty()) {
        RemoveFolderTree(staging);
        LogUpdate(QStringLiteral("version %1 not staged: %2").arg(shortVersion, error));
        return false;
    }
    // Earlier stagings are of no use any more: the record names this one only.
    const QDir stagings(parent);
    for (const QString& name : stagings.entryList({Name(UpgradeName::kStagingPrefix) + QLatin1Char('*')},
                                                  QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (stagings.filePath(name) != staging)
            RemoveFolderTree(stagings.filePath(name));
    }
    return true;
}

// Downloads, checks and unpacks into `staging` and writes the hand-over record; the reason of
// a failure, or empty.
QString TUpgrade::StageIn(const StagingLayout& staging, THttpClient& http, THttpClient& packageHttp,
                          const QString& version) const
{
    QByteArray signature;
    try {
        signature = http.Get(DownloadUrl(UpgradeName::kSignature));
    } catch (const TFailure& failure) {
        return QStringLiteral("no signature: %1").arg(failure.Message());
    }
    if (signature.size() > kMaxSignatureBytes)
        return QStringLiteral("the signature file is too large");

    const QString package = staging.Package();
    try {
        packageHttp.GetToFile(DownloadUrl(UpgradeName::kPackage), package);
    } catch (const TFailure& failure) {
        return QStringLiteral("package not downloaded: %1").arg(failure.Message());
    }
    QFile::setPermissions(package, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    // Not a byte is unpacked before the signature holds.
    const SignatureVerdict verdict = VerifyPackageSignature(package, signature, key_, abort_);
    if (!verdict.Ok())
        return verdict.error;
    if (verdict.version != version.left(18))
        return QStringLiteral("the package is signed for version %1, the server announces %2")
            .arg(verdict.version, version.left(18));
    QFile out(staging.Signature());
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly) || out.write(signature) != signature.size())
        return QStringLiteral("cannot keep the signature: %1").arg(out.errorString());
    out.close();
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    const QString unpacked = staging.Unpacked();
    if (!QDir().mkdir(unpacked))
        return QStringLiteral("cannot create %1").arg(unpacked);
    TCabinetReader reader;
    reader.SetAbortFlag(abort_);
    const bool extracted = reader.Extract(
        package, [&unpacked](const QString& name) { return unpacked + QLatin1Char('/') + name; });
    if (!extracted) {
        if (unpackFailed_ && !(abort_ && *abort_))
            unpackFailed_(UnpackFailedText());
        return QStringLiteral("package not unpacked: %1").arg(reader.ErrorString());
    }
    if (!QFileInfo(staging.Program()).isFile())
        return QStringLiteral("the package holds no %1").arg(Name(UpgradeName::kClientExe));
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

    const PrivateFile program = ReadPrivateFile(staging.Program(), CurrentUserId());
    if (!program.error.isEmpty())
        return program.error;
    try {
        WriteUpgradeInfo({staging.Program(), Name(UpgradeName::kClientExe), version,
                          QString::number(program.size), QString::fromLatin1(program.sha256.toHex())});
    } catch (const TFailure& failure) {
        return QStringLiteral("not handed over: %1").arg(failure.Message());
    }
    return {};
}

// The staging a record names, when it is one of ours below the staging parent.
StagingLayout TUpgrade::OwnStagingOf(const QString& program) const
{
    const StagingLayout staging = StagingLayout::OfProgram(program);
    if (staging.folder.isEmpty() ||
        QFileInfo(staging.folder).absolutePath() != QDir::cleanPath(StagingParent()))
        return {};
    return staging;
}

bool TUpgrade::WasRolledBack(const QString& version) const
{
    const QString rolledBack = RolledBackVersion();
    // A newer version than the one taken back is offered normally.
    return !rolledBack.isEmpty() && version.left(18) <= rolledBack;
}

QString TUpgrade::RolledBackVersion() const
{
    QFile file(appDir_ + QLatin1Char('/') + Name(UpgradeName::kRolledBackFile));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.read(64)).trimmed().left(18);
}

QString TUpgrade::CheckStaged(const UpgradeInfo& info) const
{
    if (info.dstFileName != Name(UpgradeName::kClientExe))
        return QStringLiteral("the record names \"%1\" as the program").arg(info.dstFileName);
    const StagingLayout staging = OwnStagingOf(info.fileName);
    if (staging.folder.isEmpty())
        return QStringLiteral("%1 is not a staged program").arg(info.fileName);
    const uint me = CurrentUserId();
    for (const QString& folder : {staging.folder, staging.Unpacked()}) {
        const QString error = CheckPrivateFolder(folder, me);
        if (!error.isEmpty())
            return error;
    }
    const PrivateFile staged = ReadPrivateFile(info.fileName, me);
    if (!staged.error.isEmpty())
        return staged.error;
    if (QString::number(staged.size) != info.fileSize ||
        QString::fromLatin1(staged.sha256.toHex()) != info.fileSha256.toLower())
        return QStringLiteral("%1 changed after it was staged").arg(info.fileName);
    for (const QString& path : {staging.Package(), staging.Signature()}) {
        const QFileInfo file(path);
        if (!file.isFile() || file.isSymLink() || file.ownerId() != me)
            return QStringLiteral("%1 is missing or not the user's").arg(path);
    }
    return {};
}

bool TUpgrade::ApplyPendingUpgrade() const
{
    const UpgradeInfo info = ReadUpgradeInfo();
    if (info.fileName.isEmpty() && info.versionNo.isEmpty())
        return false;
    const QString version = info.versionNo.left(18);
    if (!IsNewerVersion(info.versionNo) || WasRolledBack(info.versionNo)) {
        DropPendingUpgrade();
        return false;
    }
    if (key_.isEmpty()) {
        LogUpdate(QStringLiteral("version %1 is pending, but this build has no update key").arg(version));
        DropPendingUpgrade();
        return false;
    }
    const QString stagedError = CheckStaged(info);
    if (!stagedError.isEmpty()) {
        LogUpdate(QStringLiteral("version %1 not installed: %2").arg(version, stagedError));
        DropPendingUpgrade();
        return false;
    }

    const bool elevated = !CanWriteDir(appDir_);
    const QString updater = appDir_ + QLatin1Char('/') + Name(UpgradeName::kUpdater);
    int exitCode = 0;
    const ProgramStart start = StartProgramAndWaitForReady(
        updater, {UpdaterCommandLine(info)}, elevated, kUpdaterReadyTimeoutMs,
        [this] { return abort_ && *abort_; }, &exitCode);
    switch (start) {
    case ProgramStart::Ready:
        return true;
    case ProgramStart::ElevationRefused:
        LogUpdate(QStringLiteral("version %1 not installed: no administrator rights (exit code %2)")
                      .arg(version)
                      .arg(exitCode));
        Tell(NeedsAdministratorText());
        break;
    case ProgramStart::Failed:
        LogUpdate(QStringLiteral("version %1 not installed: the updater failed (exit code %2)")
                      .arg(version)
                      .arg(exitCode));
        Tell(UpdaterFailedText());
        break;
    case ProgramStart::TimedOut:
        LogUpdate(QStringLiteral("version %1 not installed: the updater did not answer").arg(version));
        Tell(UpdaterFailedText());
        break;
    case ProgramStart::Cancelled:
        LogUpdate(QStringLiteral("version %1 not installed: the client is ending").arg(version));
        break;
    }
    // A later check offers the version again; no start is held up by this record meanwhile.
    DropPendingUpgrade();
    return false;
}

void TUpgrade::Tell(const QString& message) const
{
    if (notice_)
        notice_(message);
}

void TUpgrade::DropPendingUpgrade() const
{
    const UpgradeInfo info = ReadUpgradeInfo();
    // Only a staging folder of ours goes; a record may name anything.
    const StagingLayout staging = OwnStagingOf(info.fileName);
    if (!staging.folder.isEmpty() && CheckPrivateFolder(staging.folder, CurrentUserId()).isEmpty())
        RemoveFolderTree(staging.folder);
    try {
        WriteUpgradeInfo(UpgradeInfo{});
    } catch (const TFailure& failure) {
        LogUpdate(QStringLiteral("cannot drop the hand-over record: %1").arg(failure.Message()));
    }
}

QString TUpgrade::UpdaterCommandLine(const UpgradeInfo& info)
{
    return info.fileName + QLatin1Char(' ') + info.dstFileName;
}

QString TUpgrade::StagingParent() const
{
    return CacheDir() + QLatin1Char('/') + Name(UpgradeName::kCacheFolder);
}

QString TUpgrade::GetUpgradeDir() const
{
    const QString base = LocalAppDataDir();
    if (base.isEmpty())
        return {};
    const QString dir = base + QStringLiteral("/quorvane");
    QDir().mkpath(dir);
    return dir;
}

QString TUpgrade::GetUpgradeFile() const
{
    return GetUpgradeDir() + QLatin1Char('/') + Name(UpgradeName::kInfoFile);
}

bool TUpgrade::CanWriteDir(const QString& folder) const
{
    // A "test.tmp" that is not ours stays as it is: the probe is made under a name of its own.
    const QString probe = CreateUniqueTempFile(folder, QStringLiteral("test.tmp."));
    if (probe.isEmpty())
        return false;
    QFile::remove(probe);
    return true;
}

void TUpgrade::WriteUpgradeInfo(const UpgradeInfo& info) const
{
    const QString file = GetUpgradeFile();
    const QString section = Name(UpgradeName::kSection);
    WriteProfileString(file, section, Name(UpgradeName::kFileName), info.fileName);
    WriteProfileString(file, section, Name(UpgradeName::kDstFileName), info.dstFileName);
    WriteProfileString(file, section, Name(UpgradeName::kVersionNo), info.versionNo);
    WriteProfileString(file, section, Name(UpgradeName::kFileSize), info.fileSize);
    WriteProfileString(file, section, Name(UpgradeName::kFileSha256), info.fileSha256);
}

UpgradeInfo TUpgrade::ReadUpgradeInfo() const
{
    const QString file = GetUpgradeFile();
    const QString section = Name(UpgradeName::kSection);
    const auto read = [&](const char* key) { return ReadProfileString(file, section, Name(key), QString()); };
    UpgradeInfo info;
    info.fileName = read(UpgradeName::kFileName);
    info.dstFileName = read(UpgradeName::kDstFileName);
    info.versionNo = read(UpgradeName::kVersionNo);
    info.fileSize = read(UpgradeName::kFileSize);
    info.fileSha256 = read(UpgradeName::kFileSha256);
    return info;
}
