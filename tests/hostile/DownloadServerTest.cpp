// The download server misbehaves on purpose. A version file that cannot be read is no newer
// version and nobody is told; a package that does not arrive is dropped silently; a package that
// arrives but does not unpack is reported. Nothing is handed over, nothing is written to the
// application folder or the configuration, and no package file stays behind.
#include "tests/hostile/HostileFixture.h"

#include "server/HttpClient.h"
#include "tests/support/CabinetWriter.h"
#include "tests/support/Minisign.h"
#include "tests/support/TestUpdateKeys.h"
#include "update/SelfUpdate.h"

#include <QFile>
#include <QStringConverter>

#include <functional>

namespace quorvane {

namespace {

const std::string kVersionFile = "/down/quorvane_version.txt";
const std::string kDescriptionFile = "/down/quorvane_version_desc.txt";
const std::string kPackage = "/down/quorvane_upgrade.cab";
const std::string kSignature = "/down/quorvane_upgrade.cab.minisig";
const QString kNewer = QStringLiteral("99.00.201205281430");

class DownloadServerTest : public HostileFixture
{
protected:
    DownloadServerTest()
    {
        m_upgrade.setApplicationDir(appDir());
        m_upgrade.setTrustedKey(testPublicKey());
        m_upgrade.setUnpackFailureReport([this](const QString& message) { m_reported << message; });
    }

    // The version files' limits with a short total time.
    static HttpLimits versionLimits()
    {
        HttpLimits limits = SelfUpdate::versionLimits();
        limits.totalTimeoutMs = 500;
        return limits;
    }

    // The package's limits, with a stall found after one second and a size limit of 1 MiB.
    static HttpLimits packageLimits()
    {
        HttpLimits limits = SelfUpdate::packageLimits();
        limits.lowSpeedBytesPerSec = 1000;
        limits.lowSpeedSeconds = 1;
        limits.maxFileBytes = 1024 * 1024;
        return limits;
    }

    // Serves a signature that holds for `package` as version kNewer.
    void serveSignatureFor(const QByteArray& package)
    {
        const QString file = m_profile.root() + QStringLiteral("/signed.cab");
        QFile::remove(file + QStringLiteral(".minisig"));
        TempProfile::writeFile(file, package);
        ASSERT_TRUE(signWithMinisign(file, QStringLiteral("version:") + kNewer, testSecretKey()));
        m_server.reply(kSignature, TempProfile::readFile(file + QStringLiteral(".minisig")).toStdString(),
                       200, "text/plain");
    }

    SelfUpdate m_upgrade;
    QStringList m_reported;
};

TEST_F(DownloadServerTest, VersionFilesThatCannotBeReadAreNoNewerVersion)
{
    const QByteArray utf16 = QStringEncoder(QStringConverter::Utf16LE)(kNewer);
    const struct
    {
        const char* what;
        std::function<void()> serve;
    } cases[] = {
        {"a version file of 10 MiB", [&] { serveHuge(kVersionFile, 10 * 1024 * 1024, '9'); }},
        {"a version file that never ends", [&] { serveEndless(kVersionFile, 64 * 1024, 0); }},
        {"a version file that stalls half way", [&] { serveStallingHalfWay(kVersionFile, 36, 9); }},
        {"a redirect loop",
         [&] { serveRedirect(kVersionFile, m_server.url().toStdString() + kVersionFile); }},
        {"a redirect to a file: URL", [&] { serveRedirect(kVersionFile, "file:///etc/hostname"); }},
        {"a version file in UTF-16",
         [&] { m_server.reply(kVersionFile, utf16.toStdString(), 200, "text/plain"); }},
    };
    m_server.reply(kPackage, buildCabinet({{"quorvane_client.exe", "new client"}}).toStdString(), 200,
                   "application/vnd.ms-cab-compressed");
    const auto before = snapshot();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.serve();
        m_server.clearRequests();
        HttpClient http(versionLimits());
        EXPECT_FALSE(SelfUpdate::isNewerVersion(m_upgrade.fetchVersion(http)));
        EXPECT_FALSE(m_upgrade.checkAndDownload(http));
        EXPECT_EQ(m_server.targets().filter(QStringLiteral("upgrade.cab")), QStringList());
        EXPECT_TRUE(m_reported.isEmpty());
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(packageFilesLeft(), QStringList());
    }
}

TEST_F(DownloadServerTest, DescriptionThatCannotBeReadIsShownAsZero)
{
    for (const auto& serve : std::initializer_list<std::function<void()>>{
             [&] { serveHuge(kDescriptionFile, 10 * 1024 * 1024, 'd'); },
             [&] { serveStallingHalfWay(kDescriptionFile, 100, 50); }}) {
        serve();
        HttpClient http(versionLimits());
        EXPECT_EQ(m_upgrade.fetchVersionDesc(http), QStringLiteral("0"));
    }
}

TEST_F(DownloadServerTest, PackagesThatDoNotArriveAreDroppedSilently)
{
    const struct
    {
        const char* what;
        std::function<void()> serve;
    } cases[] = {
        {"a package that stalls half way", [&] { serveStallingHalfWay(kPackage, 4000, 2000); }},
        {"a package that never ends", [&] { serveEndless(kPackage, 64 * 1024, 0); }},
        {"a package of 100 MiB", [&] { serveHuge(kPackage, 100 * 1024 * 1024, 'p'); }},
        {"a redirect loop", [&] { serveRedirect(kPackage, m_server.url().toStdString() + kPackage); }},
        {"a redirect to a file: URL", [&] { serveRedirect(kPackage, "file:///etc/hostname"); }},
    };
    serveSignatureFor("a package that never arrives whole");
    const auto before = snapshot();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.serve();
        m_server.clearRequests();
        HttpClient http(packageLimits());
        EXPECT_FALSE(m_upgrade.downloadUpgrade(http, kNewer));
        EXPECT_EQ(m_server.targets(),
                  (QStringList{QString::fromStdString(kSignature), QString::fromStdString(kPackage)}));
        EXPECT_TRUE(m_reported.isEmpty());
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(packageFilesLeft(), QStringList());
        EXPECT_FALSE(m_upgrade.applyPendingUpgrade());
    }
}

TEST_F(DownloadServerTest, PackagesThatDoNotUnpackAreReportedOnce)
{
    const QByteArray outsideName = "..\\outside.txt";
    const struct
    {
        const char* what;
        QByteArray package;
    } cases[] = {
        {"an error page served as the package", "<html><body>502 Bad Gateway</body></html>"},
        {"a package that leaves the application folder",
         buildCabinet({{"quorvane_client.exe", "new client"}, {outsideName, "evil"}})},
        {"a package that continues in another cabinet",
         [] {
             QByteArray cabinet = buildCabinet({{"quorvane_client.exe", "new client"}});
             cabinet[30] = 0x02; // continues in a next cabinet, whose name follows
             return cabinet;
         }()},
    };
    const auto before = snapshot();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_reported.clear();
        m_server.reply(kPackage, c.package.toStdString(), 200, "application/vnd.ms-cab-compressed");
        serveSignatureFor(c.package);
        HttpClient http(packageLimits());
        EXPECT_FALSE(m_upgrade.downloadUpgrade(http, kNewer));
        EXPECT_EQ(m_reported, QStringList{QStringLiteral("解压升级包失败!")});
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(packageFilesLeft(), QStringList());
        EXPECT_FALSE(QFile::exists(m_profile.root() + QStringLiteral("/outside.txt")));
    }
}

} // namespace

} // namespace quorvane
