#include "tests/e2e/EndToEndTest.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>

#include "tests/support/Minisign.h"

namespace quorvane {

namespace {

// Newer than the client's own version, in the same shape.
const QString kNewVersion = QStringLiteral("01.00.201212101200");
const QString kNewVersionDescription = QStringLiteral("新版本：更快的房价提醒");
// A file the package adds to the application folder, and what it holds.
const QString kNotesFile = QStringLiteral("e2e-release-notes.txt");
const QByteArray kNotes = "quorvane " + kNewVersion.toLatin1() + " release notes\n";

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

bool copyProgram(const QString& from, const QString& to, const QByteArray& trailer = {})
{
    QFile source(from);
    QFile target(to);
    if (!source.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly))
        return false;
    const bool written =
        target.write(source.readAll()) == source.size() && target.write(trailer) == trailer.size();
    target.close();
    return written &&
           target.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                 QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                 QFileDevice::ExeOther);
}

// A newer version is published with a package made from the built client: the same program
// with a few bytes appended (so the replaced file can be told from the old one) and a further
// file for the application folder. The client runs from an application folder of the test's
// own, so the build tree is never touched.
class UpdateTest : public EndToEndTest
{
protected:
    QStringList serverOptions() override
    {
        m_appDir = m_profile->root() + QStringLiteral("/app");
        const QString packageDir = m_profile->root() + QStringLiteral("/package");
        QDir().mkpath(m_appDir);
        QDir().mkpath(packageDir);
        if (!copyProgram(QStringLiteral(QUORVANE_CLIENT_EXE),
                         m_appDir + QStringLiteral("/quorvane_client")) ||
            !copyProgram(QStringLiteral(QUORVANE_UPGRADE_EXE), m_appDir + QStringLiteral("/upgrade")) ||
            !copyProgram(QStringLiteral(QUORVANE_CLIENT_EXE),
                         packageDir + QStringLiteral("/quorvane_client.exe"),
                         "\nquorvane e2e build " + kNewVersion.toLatin1() + "\n")) {
            ADD_FAILURE() << "cannot copy the programs";
            return {};
        }
        TempProfile::writeFile(packageDir + QLatin1Char('/') + kNotesFile, kNotes);
        m_newProgramHash = fileHash(packageDir + QStringLiteral("/quorvane_client.exe"));

        const QString package = m_profile->root() + QStringLiteral("/quorvane_upgrade.cab");
        QProcess gcab;
        gcab.setWorkingDirectory(packageDir);
        gcab.start(QStringLiteral("gcab"),
                   {QStringLiteral("-c"), package, QStringLiteral("quorvane_client.exe"), kNotesFile});
        if (!gcab.waitForFinished(60000) || gcab.exitCode() != 0) {
            ADD_FAILURE() << "gcab failed: " << gcab.readAllStandardError().toStdString();
            return {};
        }
        // Signed with the demo key the programs under test trust; the demo server publishes
        // the signature beside the package.
        if (!signWithMinisign(package, QStringLiteral("version:") + kNewVersion, demoSecretKey())) {
            ADD_FAILURE() << "minisign failed";
            return {};
        }
        if (tampered()) {
            QFile file(package);
            file.open(QIODevice::Append);
            file.write("tampered on the way");
        }
        return {QStringLiteral("--version"),      kNewVersion,
                QStringLiteral("--version-desc"), kNewVersionDescription,
                QStringLiteral("--package"),      package};
    }

    void SetUp() override
    {
        if (demoSecretKey().isEmpty())
            GTEST_SKIP()
                << "this build has no demo update key (configure with -DQUORVANE_DEMO_UPDATE_KEY=ON)";
        EndToEndTest::SetUp();
    }

    // Whether the published package is changed after it was signed.
    virtual bool tampered() const { return false; }

    QString appProgram() const { return m_appDir + QStringLiteral("/quorvane_client"); }
    QString stagingParent() const { return m_profile->cacheHome() + QStringLiteral("/quorvane"); }

    QString m_appDir;
    QByteArray m_newProgramHash;
};

} // namespace

// The download server publishes a newer, signed version: right after sign-in the client downloads,
// checks and stages it and offers it; the user accepts, the client ends, the updater checks the
// package again, puts its files in place and starts the new program, which signs in again.
TEST_F(UpdateTest, PublishedVersionIsDownloadedAcceptedInstalledAndStarted)
{
    saveLogin(kUser, kPassword);
    const QByteArray oldProgramHash = fileHash(appProgram());
    ClientProgram* client = startClient(appProgram());
    ASSERT_TRUE(waitForWindow(client->pid(), WindowSize::kMain)) << "no main window";

    // The offer comes once the package is checked and unpacked: everything waits in a private
    // staging folder, nothing of it is in the application folder yet, and the hand-over file
    // names the staged program with its size and hash.
    const std::optional<DesktopWindow> offer =
        waitForWindowOfType(client->pid(), QStringLiteral("DIALOG"), {});
    ASSERT_TRUE(offer) << "no update offer";
    EXPECT_EQ(Desktop::windowName(offer->id), QStringLiteral("Quorvane"));
    const QString unpacked = upgradeIniValue(QStringLiteral("fileName"));
    EXPECT_TRUE(unpacked.startsWith(stagingParent() + QStringLiteral("/update-"))) << unpacked.toStdString();
    EXPECT_EQ(upgradeIniValue(QStringLiteral("dstFileName")), QStringLiteral("quorvane_client.exe"));
    EXPECT_EQ(upgradeIniValue(QStringLiteral("versionNo")), kNewVersion);
    EXPECT_EQ(upgradeIniValue(QStringLiteral("fileSha256")).toLatin1(), m_newProgramHash);
    EXPECT_EQ(fileHash(unpacked), m_newProgramHash);
    EXPECT_FALSE(QFile::exists(m_appDir + QLatin1Char('/') + kNotesFile));
    const QList<LoggedRequest> versionChecks =
        m_server->requestsTo(QStringLiteral("/res/download/quorvane_version.txt"));
    ASSERT_EQ(versionChecks.size(), 1);
    EXPECT_EQ(versionChecks[0].query.value(QStringLiteral("v")),
              QStringLiteral(QUORVANE_CLIENT_VERSION_TEXT));
    EXPECT_EQ(m_server->requestsTo(QStringLiteral("/res/download/quorvane_upgrade.cab")).size(), 1);
    EXPECT_EQ(m_server->requestsTo(QStringLiteral("/res/download/quorvane_upgrade.cab.minisig")).size(), 1);
    EXPECT_EQ(waitForRequests(QStringLiteral("/res/download/quorvane_version_desc.txt")).size(), 1);

    // "Yes" is the offer's default button.
    Desktop::focus(offer->id);
    Desktop::key({QStringLiteral("Return")});
    ASSERT_TRUE(client->waitForExit(kActionTimeoutMs)) << "the client did not end for the update";
    EXPECT_EQ(client->exitCode(), 0);

    // The updater starts the program in the application folder again: a new process.
    QList<qint64> started;
    ASSERT_TRUE(waitFor([&] { return !(started = processesOf(appProgram())).isEmpty(); }, kStartTimeoutMs))
        << "the updater did not start the client again";
    const qint64 newPid = started.first();
    m_otherClients.append(started);
    EXPECT_NE(newPid, client->pid());
    EXPECT_EQ(fileHash(appProgram()), m_newProgramHash)
        << "the program in the application folder was not replaced";
    EXPECT_NE(fileHash(appProgram()), oldProgramHash);
    EXPECT_EQ(TempProfile::readFile(m_appDir + QLatin1Char('/') + kNotesFile).toLatin1(), kNotes);
    // The new program still calls itself the old version, so its own first check may stage the
    // package again, in a folder of a new name; the staging that was installed is gone.
    EXPECT_FALSE(QFile::exists(unpacked)) << "the updater left the staged program behind";
    EXPECT_TRUE(QFileInfo(appProgram()).isExecutable());
    // The updater removes its work folder once it has started the new program.
    EXPECT_TRUE(waitFor(
        [&] {
            return QDir(m_appDir)
                .entryList({QStringLiteral(".quorvane-update-*")}, QDir::AllEntries | QDir::Hidden)
                .isEmpty();
        },
        kActionTimeoutMs))
        << "the updater left its work folder behind";
    EXPECT_FALSE(QFile::exists(m_appDir + QStringLiteral("/test.tmp")));

    // The new program signs in with the saved login and shows its main window.
    const std::optional<DesktopWindow> main = waitForWindow(newPid, WindowSize::kMain);
    ASSERT_TRUE(main) << "the new program shows no main window";
    EXPECT_EQ(waitForRequests(QStringLiteral("/quorvane2/users/userLogin"), 2).size(), 2);
    EXPECT_EQ(iniValue(QStringLiteral("handle")), QString::number(main->id));

    // Built from the same sources, the new program still calls itself the old version, so the
    // server's version is offered again. Declining it keeps the client running; "退出" ends it.
    const std::optional<DesktopWindow> again = waitForWindowOfType(newPid, QStringLiteral("DIALOG"), {});
    ASSERT_TRUE(again) << "the new program made no offer";
    EXPECT_EQ(upgradeIniValue(QStringLiteral("versionNo")), kNewVersion);
    Desktop::focus(again->id);
    Desktop::key({QStringLiteral("Escape")});
    ASSERT_TRUE(waitFor([&] { return !Desktop::inspect(again->id).value_or(DesktopWindow{}).viewable; },
                        kActionTimeoutMs))
        << "Escape did not decline the offer";
    ASSERT_TRUE(processAlive(newPid));
    ASSERT_TRUE(chooseFromTrayMenu(newPid, {QStringLiteral("Up"), QStringLiteral("Return")}))
        << "no tray menu";
    EXPECT_TRUE(waitFor([&] { return !processAlive(newPid); }, kActionTimeoutMs))
        << "退出 did not end the new program";
}

namespace {

// The same publication, but the package was changed after it was signed (on the way, or on the
// server): the client never offers it, never writes it anywhere and keeps running.
class TamperedUpdateTest : public UpdateTest
{
protected:
    bool tampered() const override { return true; }
};

} // namespace

TEST_F(TamperedUpdateTest, ATamperedPackageIsRefusedAndNothingChanges)
{
    saveLogin(kUser, kPassword);
    const auto appFiles = [this] {
        QMap<QString, QByteArray> files;
        for (const QFileInfo& info : QDir(m_appDir).entryInfoList(QDir::Files | QDir::Hidden))
            files[info.fileName()] = fileHash(info.filePath());
        return files;
    };
    const QMap<QString, QByteArray> before = appFiles();
    ClientProgram* client = startClient(appProgram());
    ASSERT_TRUE(waitForWindow(client->pid(), WindowSize::kMain)) << "no main window";
    ASSERT_EQ(waitForRequests(QStringLiteral("/res/download/quorvane_upgrade.cab")).size(), 1);

    // The refusal is written down once the check has run; no offer comes.
    const QString debugLog = m_profile->dataHome() + QStringLiteral("/quorvane/debug.txt");
    ASSERT_TRUE(
        waitFor([&] { return TempProfile::readFile(debugLog).contains(QStringLiteral("Update: version")); },
                kActionTimeoutMs))
        << "no word of the refused package in the debug log";
    EXPECT_TRUE(TempProfile::readFile(debugLog).contains(kNewVersion));
    EXPECT_FALSE(waitForWindowOfType(client->pid(), QStringLiteral("DIALOG"), {}, 2000))
        << "a tampered package was offered";
    EXPECT_TRUE(upgradeIniValue(QStringLiteral("fileName")).isEmpty());
    EXPECT_TRUE(QDir(stagingParent()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_EQ(appFiles(), before);
    EXPECT_TRUE(processAlive(client->pid()));
}

} // namespace quorvane
