// The download server misbehaves on purpose. A version file that cannot be read is no newer
// version and nobody is told; a package that does not arrive is dropped silently; a package that
// arrives but does not unpack is reported. Nothing is handed over, nothing is written to the
// application folder or the configuration, and no package file stays behind.
#include "tests/hostile/HostileFixture.h"

#include "server/HttpClient.h"
#include "tests/support/CabinetWriter.h"
#include "tests/support/Minisign.h"
#include "tests/support/TestUpdateKeys.h"
#include "update/Upgrade.h"

#include <QFile>
#include <QStringConverter>

#include <functional>

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
        upgrade.SetApplicationDir(AppDir());
        upgrade.SetTrustedKey(TestPublicKey());
        upgrade.SetUnpackFailureReport([this](const QString& message) { reported << message; });
    }

    // The version files' limits with a short total time.
    static THttpLimits VersionLimits()
    {
        THttpLimits limits = TUpgrade::VersionLimits();
        limits.totalTimeoutMs = 500;
        return limits;
    }

    // The package's limits, with a stall found after one second and a size limit of 1 MiB.
    static THttpLimits PackageLimits()
    {
        THttpLimits limits = TUpgrade::PackageLimits();
        limits.lowSpeedBytesPerSec = 1000;
        limits.lowSpeedSeconds = 1;
        limits.maxFileBytes = 1024 * 1024;
        return limits;
    }

    // Serves a signature that holds for `package` as version kNewer.
    void ServeSignatureFor(const QByteArray& package)
    {
        const QString file = profile.Root() + QStringLiteral("/signed.cab");
        QFile::remove(file + QStringLiteral(".minisig"));
        TempProfile::WriteFile(file, package);
        ASSERT_TRUE(SignWithMinisign(file, QStringLiteral("version:") + kNewer, TestSecretKey()));
        server.Reply(kSignature, TempProfile::ReadFile(file + QStringLiteral(".minisig")).toStdString(), 200,
                     "text/plain");
    }

    TUpgrade upgrade;
    QStringList reported;
};

TEST_F(DownloadServerTest, VersionFilesThatCannotBeReadAreNoNewerVersion)
{
    const QByteArray utf16 = QStringEncoder(QStringConverter::Utf16LE)(kNewer);
    const struct
    {
        const char* what;
        std::function<void()> serve;
    } cases[] = {
        {"a version file of 10 MiB", [&] { ServeHuge(kVersionFile, 10 * 1024 * 1024, '9'); }},
        {"a version file that never ends", [&] { ServeEndless(kVersionFile, 64 * 1024, 0); }},
        {"a version file that stalls half way", [&] { ServeStallingHalfWay(kVersionFile, 36, 9); }},
        {"a redirect loop", [&] { ServeRedirect(kVersionFile, server.Url().toStdString() + kVersionFile); }},
        {"a redirect to a file: URL", [&] { ServeRedirect(kVersionFile, "file:///etc/hostname"); }},
        {"a version file in UTF-16",
         [&] { server.Reply(kVersionFile, utf16.toStdString(), 200, "text/plain"); }},
    };
    server.Reply(kPackage, BuildCabinet({{"quorvane_client.exe", "new client"}}).toStdString(), 200,
                 "application/vnd.ms-cab-compressed");
    const auto before = Snapshot();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.serve();
        server.ClearRequests();
        THttpClient http(VersionLimits());
        EXPECT_FALSE(TUpgrade::IsNewerVersion(upgrade.FetchVersion(http)));
        EXPECT_FALSE(upgrade.CheckAndDownload(http));
        EXPECT_EQ(server.Targets().filter(QStringLiteral("upgrade.cab")), QStringList());
        EXPECT_TRUE(reported.isEmpty());
        EXPECT_EQ(Snapshot(), before);
        EXPECT_EQ(PackageFilesLeft(), QStringList());
    }
}

TEST_F(DownloadServerTest, DescriptionThatCannotBeReadIsShownAsZero)
{
    for (const auto& serve : std::initializer_list<std::function<void()>>{
             [&] { ServeHuge(kDescriptionFile, 10 * 1024 * 1024, 'd'); },
             [&] { ServeStallingHalfWay(kDescriptionFile, 100, 50); }}) {
        serve();
        THttpClient http(VersionLimits());
        EXPECT_EQ(upgrade.FetchVersionDesc(http), QStringLiteral("0"));
    }
}

TEST_F(DownloadServerTest, PackagesThatDoNotArriveAreDroppedSilently)
{
    const struct
    {
        const char* what;
        std::function<void()> serve;
    } cases[] = {
        {"a package that stalls half way", [&] { ServeStallingHalfWay(kPackage, 4000, 2000); }},
        {"a package that never ends", [&] { ServeEndless(kPackage, 64 * 1024, 0); }},
        {"a package of 100 MiB", [&] { ServeHuge(kPackage, 100 * 1024 * 1024, 'p'); }},
        {"a redirect loop", [&] { ServeRedirect(kPackage, server.Url().toStdString() + kPackage); }},
        {"a redirect to a file: URL", [&] { ServeRedirect(kPackage, "file:///etc/hostname"); }},
    };
    ServeSignatureFor("a package that never arrives whole");
    const auto before = Snapshot();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.serve();
        server.ClearRequests();
        THttpClient http(PackageLimits());
        EXPECT_FALSE(upgrade.DownloadUpgrade(http, kNewer));
        EXPECT_EQ(server.Targets(),
                  (QStringList{QString::fromStdString(kSignature), QString::fromStdString(kPackage)}));
        EXPECT_TRUE(reported.isEmpty());
        EXPECT_EQ(Snapshot(), before);
        EXPECT_EQ(PackageFilesLeft(), QStringList());
        EXPECT_FALSE(upgrade.ApplyPendingUpgrade());
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
         BuildCabinet({{"quorvane_client.exe", "new client"}, {outsideName, "evil"}})},
        {"a package that continues in another cabinet",
         [] {
             QByteArray cabinet = BuildCabinet({{"quorvane_client.exe", "new client"}});
             cabinet[30] = 0x02; // continues in a next cabinet, whose name follows
             return cabinet;
         }()},
    };
    const auto before = Snapshot();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reported.clear();
        server.Reply(kPackage, c.package.toStdString(), 200, "application/vnd.ms-cab-compressed");
        ServeSignatureFor(c.package);
        THttpClient http(PackageLimits());
        EXPECT_FALSE(upgrade.DownloadUpgrade(http, kNewer));
        EXPECT_EQ(reported, QStringList{QStringLiteral("解压升级包失败!")});
        EXPECT_EQ(Snapshot(), before);
        EXPECT_EQ(PackageFilesLeft(), QStringList());
        EXPECT_FALSE(QFile::exists(profile.Root() + QStringLiteral("/outside.txt")));
    }
}

} // namespace
