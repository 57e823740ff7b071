#include "tests/update/UpgradeFixture.h"

#include "server/HttpClient.h"
#include "tests/support/Minisign.h"
#include "tests/support/TestUpdateKeys.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QThread>

UpgradeFixture::UpgradeFixture()
{
    QDir().mkpath(AppDir());
    TempProfile::WriteFile(profile_.ConfigFile(), "[Common]\ndown_url=" + DownloadRoot().toUtf8() + "\n");
    upgrade_.SetApplicationDir(AppDir());
    upgrade_.SetTrustedKey(TrustedPublicKey());
    upgrade_.SetUnpackFailureReport([this](const QString& message) { reported_ << message; });
    upgrade_.SetNoticeReport([this](const QString& message) { notices_ << message; });
}

QString UpgradeFixture::TrustedSecretKey()
{
    return TestSecretKey();
}

QString UpgradeFixture::TrustedPublicKey()
{
    return TestPublicKey();
}

QString UpgradeFixture::OtherSecretKey()
{
    return OtherTestSecretKey();
}

QStringList UpgradeFixture::Stagings() const
{
    return QDir(StagingParent()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
}

void UpgradeFixture::ServeVersion(const QByteArray& body, int status)
{
    server_.Reply("/res/download/quorvane_version.txt", body.toStdString(), status, "text/plain");
}

void UpgradeFixture::ServePackage(const QByteArray& cabinet, int status)
{
    server_.Reply("/res/download/quorvane_upgrade.cab", cabinet.toStdString(), status,
                  "application/vnd.ms-cab-compressed");
}

void UpgradeFixture::ServeSignature(const QByteArray& signature, int status)
{
    server_.Reply("/res/download/quorvane_upgrade.cab.minisig", signature.toStdString(), status,
                  "text/plain");
}

QByteArray UpgradeFixture::Sign(const QByteArray& data, const QString& trustedComment,
                                const QString& secretKey)
{
    const QString file = profile_.Root() + QStringLiteral("/to-sign.cab");
    QFile::remove(file + QStringLiteral(".minisig"));
    TempProfile::WriteFile(file, data);
    EXPECT_TRUE(SignWithMinisign(file, trustedComment, secretKey.isEmpty() ? TrustedSecretKey() : secretKey));
    return ReadBytes(file + QStringLiteral(".minisig"));
}

QByteArray UpgradeFixture::ServeSignedPackage(const QByteArray& cabinet, const QString& version,
                                              const QString& secretKey)
{
    const QByteArray signature = Sign(cabinet, QStringLiteral("version:") + version.left(18), secretKey);
    ServePackage(cabinet);
    ServeSignature(signature);
    return signature;
}

QByteArray UpgradeFixture::GcabPackage(const QList<QPair<QString, QByteArray>>& files)
{
    const QString source = profile_.Root() + QStringLiteral("/package-source");
    QDir(source).removeRecursively();
    QStringList names;
    for (const auto& [name, data] : files) {
        TempProfile::WriteFile(source + QLatin1Char('/') + name, data);
        names << name;
    }
    const QString cabinet = profile_.Root() + QStringLiteral("/package.cab");
    EXPECT_TRUE(MakeCabinetWithGcab(cabinet, source, names, true));
    return ReadBytes(cabinet);
}

void UpgradeFixture::StageProgram(const QByteArray& program, const QString& version)
{
    ServeSignedPackage(GcabPackage({{QStringLiteral("quorvane_client.exe"), program}}), version);
    THttpClient http;
    ASSERT_TRUE(upgrade_.DownloadUpgrade(http, version));
}

QString UpgradeFixture::DebugLog() const
{
    return QString::fromUtf8(ReadBytes(profile_.DataHome() + QStringLiteral("/quorvane/debug.txt")));
}

QStringList Tree(const QString& dir)
{
    QStringList entries;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(dir).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WaitForFile(const QString& path, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!QFileInfo::exists(path)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

void WriteExecutable(const QString& path, const QByteArray& content)
{
    TempProfile::WriteFile(path, content);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                    QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                    QFileDevice::ExeOther);
}
