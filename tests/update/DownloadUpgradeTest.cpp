#include "server/HttpClient.h"
#include "tests/update/UpgradeFixture.h"

#include <QDir>
#include <QFile>

namespace {

const QString kVersion = QStringLiteral("99.00.201205281430");
const QString kUnpackFailed = QStringLiteral("解压升级包失败!");

using DownloadUpgradeTest = UpgradeFixture;

TEST_F(DownloadUpgradeTest, ExecutableOnlyGoesToTheTemporaryFolder)
{
    ServePackage(GcabPackage({{QStringLiteral("quorvane_client.exe"), "new client"}}));
    THttpClient http;
    upgrade_.DownloadUpgrade(http, kVersion);
    EXPECT_EQ(ReadBytes(TempExe()), QByteArray("new client"));
    EXPECT_EQ(Tree(AppDir()), QStringList());
    EXPECT_EQ(upgrade_.ReadUpgradeInfo().versionNo, kVersion);
    EXPECT_EQ(PackageFilesLeft(), QStringList());
    EXPECT_TRUE(reported_.isEmpty());
}

TEST_F(DownloadUpgradeTest, OtherFilesGoToTheApplicationFolder)
{
    TempProfile::WriteFile(AppDir() + QStringLiteral("/readme.txt"), "old readme");
    ServePackage(GcabPackage({{QStringLiteral("readme.txt"), "new readme"},
                              {QStringLiteral("quorvane_client.exe"), "new client"},
                              {QStringLiteral("skin/main/bg.bmp"), "BM"}}));
    THttpClient http;
    upgrade_.DownloadUpgrade(http, kVersion);
    EXPECT_EQ(ReadBytes(TempExe()), QByteArray("new client"));
    EXPECT_EQ(Tree(AppDir()), (QStringList{QStringLiteral("readme.txt"), QStringLiteral("skin"),
                                           QStringLiteral("skin/main"), QStringLiteral("skin/main/bg.bmp")}));
    EXPECT_EQ(ReadBytes(AppDir() + QStringLiteral("/readme.txt")), QByteArray("new readme"));
    EXPECT_EQ(upgrade_.ReadUpgradeInfo().fileName, TempExe());
    EXPECT_EQ(PackageFilesLeft(), QStringList());
}

// Only the exact name is the executable; in other letter case it is an ordinary file.
TEST_F(DownloadUpgradeTest, ExecutableInOtherLetterCaseIsAnOrdinaryFile)
{
    ServePackage(GcabPackage({{QStringLiteral("Quorvane_Client.exe"), "new client"}}));
    THttpClient http;
    upgrade_.DownloadUpgrade(http, kVersion);
    EXPECT_FALSE(QFile::exists(TempExe()));
    EXPECT_EQ(ReadBytes(AppDir() + QStringLiteral("/Quorvane_Client.exe")), QByteArray("new client"));
    EXPECT_EQ(PackageFilesLeft(), QStringList());
}

// Each of these packages fails as a whole: the user is told, nothing is handed over, nothing is
// written, and the package file is gone.
TEST_F(DownloadUpgradeTest, PackagesThatDoNotUnpack)
{
    const QString outside = profile_.Root() + QStringLiteral("/outside");
    QDir().mkpath(outside);
    QFile::link(outside, AppDir() + QStringLiteral("/plugins"));
    const QByteArray good = GcabPackage({{QStringLiteral("readme.txt"), QByteArray(20000, 'r')},
                                         {QStringLiteral("quorvane_client.exe"), QByteArray(90000, 'x')}});
    const struct
    {
        const char* what;
        QByteArray package;
    } cases[] = {
        {"absolute name", BuildCabinet({{"quorvane_client.exe", "x"}, {"/tmp/quorvane_evil", "evil"}})},
        {"parent folder", BuildCabinet({{"quorvane_client.exe", "x"}, {"..\\outside\\evil.so", "evil"}})},
        {"drive letter", BuildCabinet({{"quorvane_client.exe", "x"}, {"C:\\evil.so", "evil"}})},
        {"through a link", BuildCabinet({{"quorvane_client.exe", "x"}, {"plugins\\evil.so", "evil"}})},
        {"target too long", BuildCabinet({{"quorvane_client.exe", "x"}, {QByteArray(250, 'n'), "long"}})},
        {"truncated", good.left(good.size() / 2)},
        {"not a cabinet", "<html><body>Moved</body></html>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reported_.clear();
        ServePackage(c.package);
        THttpClient http;
        upgrade_.DownloadUpgrade(http, kVersion);
        EXPECT_EQ(reported_, QStringList{kUnpackFailed});
        EXPECT_FALSE(QFile::exists(UpgradeFile()));
        EXPECT_FALSE(QFile::exists(TempExe()));
        EXPECT_EQ(Tree(AppDir()), QStringList{QStringLiteral("plugins")});
        EXPECT_EQ(Tree(outside), QStringList());
        EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/quorvane_evil")));
        EXPECT_EQ(PackageFilesLeft(), QStringList());
    }
}

TEST_F(DownloadUpgradeTest, FailedDownloadsLeaveNothingAndTellNobody)
{
    const std::string half(50000, 'x');
    server_.Get("/res/download/quorvane_upgrade.cab",
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
    THttpClient http;
    upgrade_.DownloadUpgrade(http, kVersion);
    ServePackage("gone", 404);
    upgrade_.DownloadUpgrade(http, kVersion);
    EXPECT_EQ(server_.Targets().size(), 2);
    EXPECT_TRUE(reported_.isEmpty());
    EXPECT_FALSE(QFile::exists(UpgradeFile()));
    EXPECT_EQ(PackageFilesLeft(), QStringList());
}

TEST_F(DownloadUpgradeTest, ANewerPackageReplacesTheWholeRecord)
{
    THttpClient http;
    ServePackage(GcabPackage({{QStringLiteral("quorvane_client.exe"), "first"}}));
    upgrade_.DownloadUpgrade(http, QStringLiteral("98.00.201205281430"));
    upgrade_.WriteUpgradeInfo(QStringLiteral("/elsewhere/old.exe"), QStringLiteral("old.exe"),
                              QStringLiteral("98.00.201205281430"));
    ServePackage(GcabPackage({{QStringLiteral("quorvane_client.exe"), "second"}}));
    upgrade_.DownloadUpgrade(http, kVersion);
    const UpgradeInfo info = upgrade_.ReadUpgradeInfo();
    EXPECT_EQ(info.fileName, TempExe());
    EXPECT_EQ(info.dstFileName, QStringLiteral("quorvane_client.exe"));
    EXPECT_EQ(info.versionNo, kVersion);
    EXPECT_EQ(ReadBytes(TempExe()), QByteArray("second"));
}

} // namespace
