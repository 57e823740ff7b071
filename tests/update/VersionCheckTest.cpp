#include "config/ConfigStore.h"
#include "platform/AnsiCodePage.h"
#include "server/ClientVersion.h"
#include "server/HttpClient.h"
#include "tests/update/SelfUpdateFixture.h"

namespace quorvane {

namespace {

const QString kOwnVersion = QStringLiteral("01.00.201205281429");

TEST(VersionComparison, IsNewerVersion)
{
    if (CLIENT_VERSION != kOwnVersion)
        GTEST_SKIP() << "this build calls itself " << CLIENT_VERSION.toStdString();
    const struct
    {
        QString version;
        bool newer;
    } cases[] = {
        {kOwnVersion, false},
        {kOwnVersion + QStringLiteral("\n"), false},
        {kOwnVersion + QStringLiteral("\r\n"), false},
        {kOwnVersion + QStringLiteral("9 and more text"), false}, // only 18 bytes count
        {QStringLiteral("01.00.201205281430"), true},
        {QStringLiteral("01.00.201205281430\r\n"), true},
        {QStringLiteral("01.01.201201010000"), true},
        {QStringLiteral("02.00.000000000000"), true},
        {QStringLiteral("01.00.201205281428"), false},
        {QStringLiteral("00.99.999999999999"), false},
        {QStringLiteral("01.00.2012052814"), false}, // a proper prefix is smaller
        {QStringLiteral("1.1"), true},               // "1" sorts after "0" in the first byte
        {QStringLiteral(" 01.00.201205281430"), false},
        {QStringLiteral("!9"), false},
        {QStringLiteral("0"), false},
        {QString(), false},
        {QStringLiteral("升级"), true}, // bytes above 0x7f sort after the digits
    };
    for (const auto& c : cases)
        EXPECT_EQ(SelfUpdate::isNewerVersion(c.version), c.newer) << '"' << c.version.toStdString() << '"';
}

using VersionCheckTest = UpgradeFixture;

TEST_F(VersionCheckTest, FetchesBothVersionFilesAsAnsiText)
{
    serveVersion("01.00.201205281430\r\n");
    m_server.reply("/res/download/quorvane_version_desc.txt",
                   toAnsi(QStringLiteral("修复了登录问题\n")).toStdString(), 200, "text/plain");
    HttpClient http(SelfUpdate::versionLimits());
    EXPECT_EQ(m_upgrade.fetchVersion(http), QStringLiteral("01.00.201205281430\r\n")); // nothing trimmed
    EXPECT_EQ(m_upgrade.fetchVersionDesc(http), QStringLiteral("修复了登录问题\n"));
    EXPECT_EQ(m_server.targets(),
              (QStringList{QStringLiteral("/res/download/quorvane_version.txt?v=") + CLIENT_VERSION,
                           QStringLiteral("/res/download/quorvane_version_desc.txt")}));
}

// A version file in another encoding would compare newer by its first byte ("?" for the byte
// order mark of UTF-16, "9" before a NUL) and hand over whatever package came with it.
TEST_F(VersionCheckTest, VersionFileThatIsNoTextGivesZero)
{
    servePackage(gcabPackage({{QStringLiteral("quorvane_client.exe"), "new client"}}));
    const QByteArray utf16 = QByteArray("\xFF\xFE", 2) + QByteArray("9\0009\0.\0", 6);
    HttpClient http(SelfUpdate::versionLimits());
    for (const QByteArray& body : {utf16, utf16.mid(2), QByteArray("99.00\xFF\xFF.201205281430")}) {
        serveVersion(body);
        EXPECT_EQ(m_upgrade.fetchVersion(http), QStringLiteral("0"));
        EXPECT_FALSE(m_upgrade.checkAndDownload(http));
    }
    EXPECT_FALSE(QFile::exists(upgradeFile()));
    EXPECT_TRUE(m_reported.isEmpty());
}

TEST_F(VersionCheckTest, AnyFailureGivesZero)
{
    HttpClient http;
    // Nothing registered: 404.
    EXPECT_EQ(m_upgrade.fetchVersion(http), QStringLiteral("0"));
    EXPECT_EQ(m_upgrade.fetchVersionDesc(http), QStringLiteral("0"));
    serveVersion("01.00.201205281430", 500);
    EXPECT_EQ(m_upgrade.fetchVersion(http), QStringLiteral("0"));
    serveVersion("", 200);
    EXPECT_EQ(m_upgrade.fetchVersion(http), QString());
    EXPECT_FALSE(m_upgrade.checkAndDownload(http));

    // A server that is not there.
    TempProfile::writeFile(m_profile.configFile(), "[Common]\ndown_url=http://127.0.0.1:1/res/download\n");
    ConfigStore::forgetCachedAddresses();
    EXPECT_EQ(m_upgrade.fetchVersion(http), QStringLiteral("0"));
    EXPECT_FALSE(m_upgrade.checkAndDownload(http));
    EXPECT_TRUE(m_reported.isEmpty());
}

TEST_F(VersionCheckTest, CheckAndDownloadFetchesThePackageOnlyForANewerVersion)
{
    serveSignedPackage(gcabPackage({{QStringLiteral("quorvane_client.exe"), "new client"}}),
                       QStringLiteral("99.00.201205281430"));
    HttpClient http;

    serveVersion(CLIENT_VERSION.toLatin1() + "\n");
    EXPECT_FALSE(m_upgrade.checkAndDownload(http));
    EXPECT_EQ(m_server.targets().size(), 1); // no package request
    EXPECT_FALSE(QFile::exists(upgradeFile()));

    serveVersion("99.00.201205281430\n");
    EXPECT_TRUE(m_upgrade.checkAndDownload(http));
    EXPECT_EQ(m_server.targets().last(), QStringLiteral("/res/download/quorvane_upgrade.cab"));
    const UpgradeInfo info = m_upgrade.readUpgradeInfo();
    EXPECT_EQ(readBytes(info.fileName), QByteArray("new client"));
    EXPECT_EQ(info.dstFileName, QStringLiteral("quorvane_client.exe"));
    EXPECT_EQ(info.versionNo.left(18), QStringLiteral("99.00.201205281430"));
    EXPECT_TRUE(m_reported.isEmpty());
}

// The update is offered only when the package is there, signed and unpacked.
TEST_F(VersionCheckTest, ANewerVersionWhosePackageIsMissingIsNotOffered)
{
    serveVersion("99.00.201205281430");
    serveSignature("no");
    servePackage("not here", 404);
    HttpClient http;
    EXPECT_FALSE(m_upgrade.checkAndDownload(http));
    EXPECT_FALSE(QFile::exists(upgradeFile()));
    EXPECT_EQ(stagings(), QStringList());
    EXPECT_TRUE(m_reported.isEmpty()); // a failed download is not the user's concern
}

TEST(VersionLimits, PackageHasNoTotalLimitButAStallAndASizeLimit)
{
    const HttpLimits version = SelfUpdate::versionLimits();
    EXPECT_EQ(version.connectTimeoutMs, 10000);
    EXPECT_EQ(version.totalTimeoutMs, 30000);
    const HttpLimits package = SelfUpdate::packageLimits();
    EXPECT_EQ(package.connectTimeoutMs, 10000);
    EXPECT_EQ(package.totalTimeoutMs, 0);
    EXPECT_EQ(package.maxBodyBytes, 0);
    EXPECT_EQ(package.maxFileBytes, qint64(1024) * 1024 * 1024);
    EXPECT_EQ(package.lowSpeedBytesPerSec, 1024);
    EXPECT_EQ(package.lowSpeedSeconds, 60);
}

} // namespace

} // namespace quorvane
