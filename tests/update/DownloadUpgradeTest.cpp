#include "server/HttpClient.h"
#include "tests/update/SelfUpdateFixture.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

namespace {

const QString kVersion = QStringLiteral("99.00.201205281430");
const QString kUnpackFailed = QStringLiteral("解压升级包失败!");

mode_t modeOf(const QString& path)
{
    struct stat info
    {
    };
    lstat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 07777;
}

using DownloadUpgradeTest = UpgradeFixture;

// The whole package waits in a folder only the user may enter; the application folder stays
// untouched until the update is accepted.
TEST_F(DownloadUpgradeTest, StagesEveryFileInAPrivateFolderAndNothingInTheApplicationFolder)
{
    TempProfile::writeFile(appDir() + QStringLiteral("/readme.txt"), "old readme");
    const QByteArray package = gcabPackage({{QStringLiteral("readme.txt"), "new readme"},
                                            {QStringLiteral("quorvane_client.exe"), "new client"},
                                            {QStringLiteral("skin/main/bg.bmp"), "BM"}});
    const QByteArray signature = serveSignedPackage(package, kVersion);
    HttpClient http;
    ASSERT_TRUE(m_upgrade.downloadUpgrade(http, kVersion));

    EXPECT_EQ(tree(appDir()), QStringList{QStringLiteral("readme.txt")});
    EXPECT_EQ(readBytes(appDir() + QStringLiteral("/readme.txt")), QByteArray("old readme"));
    ASSERT_EQ(stagings().size(), 1);
    const QString staging = stagingParent() + QLatin1Char('/') + stagings().first();
    EXPECT_TRUE(stagings().first().startsWith(QStringLiteral("update-")));
    EXPECT_EQ(modeOf(stagingParent()), 0700u);
    EXPECT_EQ(modeOf(staging), 0700u);
    EXPECT_EQ(tree(staging),
              (QStringList{QStringLiteral("files"), QStringLiteral("files/quorvane_client.exe"),
                           QStringLiteral("files/readme.txt"), QStringLiteral("files/skin"),
                           QStringLiteral("files/skin/main"), QStringLiteral("files/skin/main/bg.bmp"),
                           QStringLiteral("quorvane_upgrade.cab"),
                           QStringLiteral("quorvane_upgrade.cab.minisig")}));
    EXPECT_EQ(readBytes(staging + QStringLiteral("/quorvane_upgrade.cab")), package);
    EXPECT_EQ(readBytes(staging + QStringLiteral("/quorvane_upgrade.cab.minisig")), signature);

    const UpgradeInfo info = m_upgrade.readUpgradeInfo();
    EXPECT_EQ(info.fileName, staging + QStringLiteral("/files/quorvane_client.exe"));
    EXPECT_EQ(info.dstFileName, QStringLiteral("quorvane_client.exe"));
    EXPECT_EQ(info.versionNo, kVersion);
    EXPECT_EQ(info.fileSize, QStringLiteral("10"));
    EXPECT_EQ(
        info.fileSha256,
        QString::fromLatin1(QCryptographicHash::hash("new client", QCryptographicHash::Sha256).toHex()));
    EXPECT_EQ(readBytes(info.fileName), QByteArray("new client"));
    EXPECT_TRUE(m_reported.isEmpty());
    EXPECT_EQ(m_server.targets(), (QStringList{QStringLiteral("/res/download/quorvane_upgrade.cab.minisig"),
                                               QStringLiteral("/res/download/quorvane_upgrade.cab")}));
}

// No package is unpacked, staged or offered unless the trusted key signed exactly these bytes for
// exactly this version, and that version is newer than the running client.
TEST_F(DownloadUpgradeTest, SignatureTable)
{
    const QByteArray package = gcabPackage({{QStringLiteral("quorvane_client.exe"), "new client"}});
    const QByteArray other = gcabPackage({{QStringLiteral("quorvane_client.exe"), "evil client"}});
    const QByteArray valid = sign(package, QStringLiteral("version:") + kVersion);
    const struct
    {
        const char* what;
        QByteArray signature;
        int signatureStatus;
        QString announced; // the version file's body
        const char* logged;
    } cases[] = {
        {"no signature file", "gone", 404, kVersion, "no signature"},
        {"empty signature file", "", 200, kVersion, ""},
        {"signed by another key", sign(package, QStringLiteral("version:") + kVersion, otherSecretKey()), 200,
         kVersion, ""},
        {"signature over other bytes", sign(other, QStringLiteral("version:") + kVersion), 200, kVersion, ""},
        {"trusted comment names another version", sign(package, QStringLiteral("version:98.00.201205281430")),
         200, kVersion, ""},
        {"an old signed package replayed as new", sign(package, QStringLiteral("version:01.00.201205281428")),
         200, QStringLiteral("01.00.201205281428"), ""},
        {"truncated signature", valid.left(valid.size() / 2), 200, kVersion, ""},
        {"garbled signature", QByteArray(valid).replace('A', 'B').replace('Q', 'A'), 200, kVersion, ""},
        {"trusted comment without a version", sign(package, QStringLiteral("release notes")), 200, kVersion,
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(m_profile.dataHome() + QStringLiteral("/quorvane/debug.txt"));
        servePackage(package);
        serveSignature(c.signature, c.signatureStatus);
        HttpClient http;
        EXPECT_FALSE(m_upgrade.downloadUpgrade(http, c.announced));
        EXPECT_FALSE(QFile::exists(upgradeFile()));
        EXPECT_EQ(stagings(), QStringList());
        EXPECT_EQ(tree(appDir()), QStringList());
        EXPECT_TRUE(m_reported.isEmpty());
        EXPECT_TRUE(debugLog().contains(QStringLiteral("Update: version"))) << debugLog().toStdString();
        EXPECT_TRUE(debugLog().contains(QString::fromUtf8(c.logged))) << debugLog().toStdString();
    }
    // The same package with its valid signature is staged.
    serveSignature(valid);
    HttpClient http;
    EXPECT_TRUE(m_upgrade.downloadUpgrade(http, kVersion));
}

// A build without a key asks the download server for nothing but the version.
TEST_F(DownloadUpgradeTest, WithoutAKeyNothingIsDownloaded)
{
    serveVersion(kVersion.toLatin1());
    serveSignedPackage(gcabPackage({{QStringLiteral("quorvane_client.exe"), "new client"}}), kVersion);
    m_upgrade.setTrustedKey(QString());
    HttpClient http;
    EXPECT_FALSE(m_upgrade.checkAndDownload(http));
    EXPECT_EQ(m_server.targets().size(), 1);
    EXPECT_TRUE(m_server.targets().first().startsWith(QStringLiteral("/res/download/quorvane_version.txt")));
    EXPECT_TRUE(debugLog().contains(QStringLiteral("no update key"))) << debugLog().toStdString();
    EXPECT_EQ(stagings(), QStringList());
}

// Each of these signed packages fails as a whole: the user is told, nothing is handed over,
// nothing is left, and the application folder is not touched.
TEST_F(DownloadUpgradeTest, PackagesThatDoNotUnpack)
{
    const QByteArray good = gcabPackage({{QStringLiteral("readme.txt"), QByteArray(20000, 'r')},
                                         {QStringLiteral("quorvane_client.exe"), QByteArray(90000, 'x')}});
    const struct
    {
        const char* what;
        QByteArray package;
        bool reported;
    } cases[] = {
        {"absolute name", buildCabinet({{"quorvane_client.exe", "x"}, {"/tmp/quorvane_evil", "evil"}}), true},
        {"parent folder", buildCabinet({{"quorvane_client.exe", "x"}, {"..\\outside\\evil.so", "evil"}}),
         true},
        {"drive letter", buildCabinet({{"quorvane_client.exe", "x"}, {"C:\\evil.so", "evil"}}), true},
        {"a name and a folder of that name",
         buildCabinet({{"quorvane_client.exe", "x"}, {"x", "1"}, {"x\\y", "2"}}), true},
        {"truncated", good.left(good.size() / 2), true},
        {"not a cabinet", "<html><body>Moved</body></html>", true},
        {"no program in it", buildCabinet({{"Quorvane_Client.exe", "x"}}), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_reported.clear();
        serveSignedPackage(c.package, kVersion);
        HttpClient http;
        EXPECT_FALSE(m_upgrade.downloadUpgrade(http, kVersion));
        EXPECT_EQ(m_reported, c.reported ? QStringList{kUnpackFailed} : QStringList());
        EXPECT_FALSE(QFile::exists(upgradeFile()));
        EXPECT_EQ(stagings(), QStringList());
        EXPECT_EQ(tree(appDir()), QStringList());
        EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/quorvane_evil")));
    }
}

TEST_F(DownloadUpgradeTest, FailedDownloadsLeaveNothingAndTellNobody)
{
    const std::string half(50000, 'x');
    serveSignature(sign(QByteArray(100000, 'x'), QStringLiteral("version:") + kVersion));
    m_server.get("/res/download/quorvane_upgrade.cab",
                 [&half](const httplib::Request&, httplib::Response& response) {
                     // Announces more than it sends, then drops the connection.
                     response.set_content_provider(half.size() * 2, "application/vnd.ms-cab-compressed",
                                                   [&half](size_t offset, size_t, httplib::DataSink& sink) {
                                                       if (offset > 0)
                                                           return false;
                                                       sink.write(half.data(), half.size());
                                                       return true;
                                                   });
                 });
    HttpClient http;
    EXPECT_FALSE(m_upgrade.downloadUpgrade(http, kVersion));
    servePackage("gone", 404);
    EXPECT_FALSE(m_upgrade.downloadUpgrade(http, kVersion));
    EXPECT_TRUE(m_reported.isEmpty());
    EXPECT_FALSE(QFile::exists(upgradeFile()));
    EXPECT_EQ(stagings(), QStringList());
}

TEST_F(DownloadUpgradeTest, ANewerPackageReplacesTheWholeRecordAndTheOldStaging)
{
    stageProgram("first", QStringLiteral("98.00.201205281430"));
    const QString first = stagedProgram();
    stageProgram("second", kVersion);
    const UpgradeInfo info = m_upgrade.readUpgradeInfo();
    EXPECT_NE(info.fileName, first);
    EXPECT_EQ(info.versionNo, kVersion);
    EXPECT_EQ(readBytes(info.fileName), QByteArray("second"));
    EXPECT_EQ(stagings().size(), 1);
}

// The unpacked program once sat at a fixed name in the shared temporary folder, where another
// user could plant a file of theirs; nothing of the client goes there any more.
TEST_F(DownloadUpgradeTest, AFilePlantedInTheTemporaryFolderHasNoEffect)
{
    const QString planted = m_profile.tempDir() + QStringLiteral("/quorvane_client.exe");
    TempProfile::writeFile(planted, "planted");
    chmod(QFile::encodeName(planted).constData(), 0777);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(QFile::encodeName(planted).constData(), 12345, 12345), 0);
    }
    stageProgram("new client", kVersion);
    EXPECT_EQ(readBytes(planted), QByteArray("planted"));
    EXPECT_TRUE(stagedProgram().startsWith(stagingParent() + QLatin1Char('/')));
    EXPECT_EQ(readBytes(stagedProgram()), QByteArray("new client"));
    EXPECT_EQ(modeOf(stagedProgram()) & 0022u, 0u);
}

// A staging folder whose parent belongs to someone else, or is a link, is not used.
TEST_F(DownloadUpgradeTest, AStagingParentThatIsNotTheUsersIsRefused)
{
    const QString elsewhere = m_profile.root() + QStringLiteral("/elsewhere");
    QDir().mkpath(elsewhere);
    ASSERT_TRUE(QFile::link(elsewhere, stagingParent()));
    serveSignedPackage(gcabPackage({{QStringLiteral("quorvane_client.exe"), "new client"}}), kVersion);
    HttpClient http;
    EXPECT_FALSE(m_upgrade.downloadUpgrade(http, kVersion));
    EXPECT_EQ(tree(elsewhere), QStringList());
    EXPECT_FALSE(QFile::exists(upgradeFile()));
}

TEST_F(DownloadUpgradeTest, AnAbortStopsTheStagingAndLeavesNothing)
{
    std::atomic<bool> abort = true;
    m_upgrade.setAbortFlag(&abort);
    serveSignedPackage(gcabPackage({{QStringLiteral("quorvane_client.exe"), QByteArray(300000, 'x')}}),
                       kVersion);
    HttpClient http;
    EXPECT_FALSE(m_upgrade.downloadUpgrade(http, kVersion));
    EXPECT_EQ(stagings(), QStringList());
    EXPECT_TRUE(m_reported.isEmpty()); // an ending client shows no box
}

} // namespace

} // namespace quorvane
