#include "update/Upgrade.h"

#include "config/SelvorConfig.h"
#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"
#include "platform/PrivateProfile.h"
#include "platform/Shell.h"
#include "platform/SystemPaths.h"
#include "platform/TempFiles.h"
#include "server/ClientVersion.h"
#include "server/HttpClient.h"
#include "update/CabinetReader.h"
#include "update/UpgradeNames.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Versions compare over the width of CLIENT_VERSION: "01.00.201205281429".
constexpr size_t kVersionBytes = 18;

const QString kFailureValue = QStringLiteral("0");

QString UnpackFailedText()
{
    return QStringLiteral("解压升级包失败!");
}

// Whether `target` stays below `folder` once the symbolic links among its existing folders
// are followed.
bool StaysInside(const QString& target, const QString& folder)
{
    const QString base = QFileInfo(folder).canonicalFilePath();
    if (base.isEmpty())
        return false;
    QString existing = QFileInfo(target).absolutePath();
    while (!QFileInfo::exists(existing)) {
        const QString parent = QFileInfo(existing).absolutePath();
        if (parent == existing)
            return false;
        existing = parent;
    }
    const QString real = QFileInfo(existing).canonicalFilePath();
    return real == base || real.startsWith(base + QLatin1Char('/'));
}

} // namespace

TUpgrade::TUpgrade() : appDir_(::AppDir()) {}

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
    if (version == kFailureValue || version.isEmpty())
        return false;
    const QByteArray candidate = ToAnsi(version);
    const QByteArray own = ToAnsi(CLIENT_VERSION);
    return std::strncmp(candidate.constData(), own.constData(), kVersionBytes) > 0;
}

bool TUpgrade::CheckAndDownload(THttpClient& http) const
{
    const QString version = FetchVersion(http);
    if (!IsNewerVersion(version))
        return false;
    THttpClient packageHttp(PackageLimits());
    DownloadUpgrade(packageHttp, version);
    return true;
}

void TUpgrade::DownloadUpgrade(THttpClient& http, const QString& version) const
{
    const QString url =
        TSelvorConfig().GetDownUrl() + QStringLiteral("/quorvane") + QStringLiteral("_upgrade.cab");
    const QString package = GetTempFile();
    if (package.isEmpty())
        throw TFailure(QStringLiteral("Cannot create the update package file in \"%1\"").arg(GetTempDir()));

    // The check runs again later; a failed download costs nothing but the wait.
    try {
        http.GetToFile(url, package);
    } catch (const TFailure& failure) {
        QFile::remove(package);
        qWarning().noquote() << "Update package not downloaded:" << failure.Message();
        return;
    }
    const bool unpacked = Unpack(package);
    QFile::remove(package);
    if (!unpacked) {
        if (unpackFailed_)
            unpackFailed_(UnpackFailedText());
        return;
    }
    try {
        WriteUpgradeInfo(GetTempDir() + QString::fromLatin1(UpgradeName::kClientExe),
                         QString::fromLatin1(UpgradeName::kClientExe), version);
    } catch (const TFailure& failure) {
        qWarning().noquote() << "Update not handed over:" << failure.Message();
    }
}

bool TUpgrade::Unpack(const QString& packageFile) const
{
    TCabinetReader reader;
    if (reader.Extract(packageFile, [this](const QString& name) { return CabinetCallback(name); }))
        return true;
    qWarning().noquote() << "Update package not unpacked:" << reader.ErrorString();
    return false;
}

QString TUpgrade::CabinetCallback(const QString& name) const
{
    if (name == QLatin1String(UpgradeName::kClientExe))
        return GetTempDir() + name;
    const QString target = appDir_ + QLatin1Char('/') + name;
    if (!StaysInside(target, appDir_))
        return {};
    return target;
}

bool TUpgrade::ApplyPendingUpgrade() const
{
    const UpgradeInfo info = ReadUpgradeInfo();
    if (!IsNewerVersion(info.versionNo))
        return false;
    // The temporary folder may have been cleaned since (or the updater already took the file);
    // ending the client for nothing would repeat at every start.
    if (!QFileInfo(info.fileName).isFile())
        return false;
    const bool elevated = !CanWriteDir(appDir_);
    const QString updater = appDir_ + QLatin1Char('/') + QLatin1String(UpgradeName::kUpdater);
    // An updater that did not start would otherwise end the client at every start.
    return StartProgram(updater, {UpdaterCommandLine(info)}, elevated);
}

QString TUpgrade::UpdaterCommandLine(const UpgradeInfo& info)
{
    return info.fileName + QLatin1Char(' ') + info.dstFileName;
}

QString TUpgrade::GetTempFile() const
{
    return CreateUniqueTempFile(TempDir(), QStringLiteral("quorvane"));
}

QString TUpgrade::GetTempDir() const
{
    return TempDir() + QLatin1Char('/');
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
    return GetUpgradeDir() + QLatin1Char('/') + QLatin1String(UpgradeName::kInfoFile);
}

bool TUpgrade::CanWriteDir(const QString& folder) const
{
    const QString probe = folder + QStringLiteral("/test.tmp");
    const int fd = open(QFile::encodeName(probe).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        close(fd);
        QFile::remove(probe);
        return true;
    }
    if (errno != EEXIST)
        return false;
    // A "test.tmp" that is not ours stays as it is; probe under a name of our own.
    const QString unique = CreateUniqueTempFile(folder, QStringLiteral("test.tmp."));
    if (unique.isEmpty())
        return false;
    QFile::remove(unique);
    return true;
}

void TUpgrade::WriteUpgradeInfo(const QString& fileName, const QString& dstFileName,
                                const QString& versionNo) const
{
    const QString file = GetUpgradeFile();
    const QString section = QLatin1String(UpgradeName::kSection);
    WriteProfileString(file, section, QLatin1String(UpgradeName::kFileName), fileName);
    WriteProfileString(file, section, QLatin1String(UpgradeName::kDstFileName), dstFileName);
    WriteProfileString(file, section, QLatin1String(UpgradeName::kVersionNo), versionNo);
}

UpgradeInfo TUpgrade::ReadUpgradeInfo() const
{
    const QString file = GetUpgradeFile();
    const QString section = QLatin1String(UpgradeName::kSection);
    UpgradeInfo info;
    info.fileName = ReadProfileString(file, section, QLatin1String(UpgradeName::kFileName), QString());
    info.dstFileName = ReadProfileString(file, section, QLatin1String(UpgradeName::kDstFileName), QString());
    info.versionNo = ReadProfileString(file, section, QLatin1String(UpgradeName::kVersionNo), QString());
    return info;
}
