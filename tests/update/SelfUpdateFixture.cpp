#include "tests/update/SelfUpdateFixture.h"

#include "server/HttpClient.h"
#include "tests/support/Minisign.h"
#include "tests/support/TestUpdateKeys.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace quorvane {

UpgradeFixture::UpgradeFixture()
{
    QDir().mkpath(appDir());
    TempProfile::writeFile(m_profile.configFile(), "[Common]\ndown_url=" + downloadRoot().toUtf8() + "\n");
    m_upgrade.setApplicationDir(appDir());
    m_upgrade.setTrustedKey(trustedPublicKey());
    m_upgrade.setUnpackFailureReport([this](const QString& message) { m_reported << message; });
    m_upgrade.setNoticeReport([this](const QString& message) { m_notices << message; });
}

QString UpgradeFixture::trustedSecretKey()
{
    return testSecretKey();
}

QString UpgradeFixture::trustedPublicKey()
{
    return testPublicKey();
}

QString UpgradeFixture::otherSecretKey()
{
    return otherTestSecretKey();
}

QStringList UpgradeFixture::stagings() const
{
    return QDir(stagingParent()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
}

void UpgradeFixture::serveVersion(const QByteArray& body, int status)
{
    m_server.reply("/res/download/quorvane_version.txt", body.toStdString(), status, "text/plain");
}

void UpgradeFixture::servePackage(const QByteArray& cabinet, int status)
{
    m_server.reply("/res/download/quorvane_upgrade.cab", cabinet.toStdString(), status,
                   "application/vnd.ms-cab-compressed");
}

void UpgradeFixture::serveSignature(const QByteArray& signature, int status)
{
    m_server.reply("/res/download/quorvane_upgrade.cab.minisig", signature.toStdString(), status,
                   "text/plain");
}

QByteArray UpgradeFixture::sign(const QByteArray& data, const QString& trustedComment,
                                const QString& secretKey)
{
    const QString file = m_profile.root() + QStringLiteral("/to-sign.cab");
    QFile::remove(file + QStringLiteral(".minisig"));
    TempProfile::writeFile(file, data);
    EXPECT_TRUE(signWithMinisign(file, trustedComment, secretKey.isEmpty() ? trustedSecretKey() : secretKey));
    return readBytes(file + QStringLiteral(".minisig"));
}

QByteArray UpgradeFixture::serveSignedPackage(const QByteArray& cabinet, const QString& version,
                                              const QString& secretKey)
{
    const QByteArray signature = sign(cabinet, QStringLiteral("version:") + version.left(18), secretKey);
    servePackage(cabinet);
    serveSignature(signature);
    return signature;
}

QByteArray UpgradeFixture::gcabPackage(const QList<QPair<QString, QByteArray>>& files)
{
    const QString source = m_profile.root() + QStringLiteral("/package-source");
    QDir(source).removeRecursively();
    QStringList names;
    for (const auto& [name, data] : files) {
        TempProfile::writeFile(source + QLatin1Char('/') + name, data);
        names << name;
    }
    const QString cabinet = m_profile.root() + QStringLiteral("/package.cab");
    EXPECT_TRUE(makeCabinetWithGcab(cabinet, source, names, true));
    return readBytes(cabinet);
}

void UpgradeFixture::stageProgram(const QByteArray& program, const QString& version)
{
    serveSignedPackage(gcabPackage({{QStringLiteral("quorvane_client.exe"), program}}), version);
    HttpClient http;
    ASSERT_TRUE(m_upgrade.downloadUpgrade(http, version));
}

QString UpgradeFixture::debugLog() const
{
    return QString::fromUtf8(readBytes(m_profile.dataHome() + QStringLiteral("/quorvane/debug.txt")));
}

bool waitForFile(const QString& path, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!QFileInfo::exists(path)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

void writeExecutable(const QString& path, const QByteArray& content)
{
    TempProfile::writeFile(path, content);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                    QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                    QFileDevice::ExeOther);
}

} // namespace quorvane
