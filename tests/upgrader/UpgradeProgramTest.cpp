#include "tests/support/Minisign.h"
#include "tests/support/TempProfile.h"
#include "tests/upgrader/StagedPackage.h"
#include "update/TrustedKey.h"
#include "update/Upgrade.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kWaitMs = 30000;
const QString kVersion = QStringLiteral("99.00.201205281430");

// The real updater program, run from an application folder of its own, with a stand-in client
// that holds the single-instance lock, client scripts that tell which of them was started, and a
// package staged and signed with the key built into the updater.
class UpgradeProgramTest : public ::testing::Test
{
protected:
    UpgradeProgramTest()
    {
        QDir().mkpath(AppDir());
        QDir().mkpath(Markers());
        QFile::copy(QStringLiteral(UPGRADE_PROGRAM), AppDir() + QStringLiteral("/upgrade"));
        chmod(QFile::encodeName(AppDir() + QStringLiteral("/upgrade")).constData(), 0755);
        TempProfile::WriteFile(Installed(), ClientScript("old"));
        chmod(QFile::encodeName(Installed()).constData(), 0755);
        TempProfile::WriteFile(AppDir() + QStringLiteral("/readme.txt"), "old readme");
        before_ = Snapshot();
    }

    ~UpgradeProgramTest() override
    {
        for (QProcess* process : {&holder_, &updater_}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished();
            }
        }
    }

    void SetUp() override
    {
        if (TrustedUpdateKey().isEmpty() || DemoSecretKey().isEmpty())
            GTEST_SKIP()
                << "this build has no demo update key (configure with -DQUORVANE_DEMO_UPDATE_KEY=ON)";
    }

    QString AppDir() const { return profile_.Root() + QStringLiteral("/app"); }
    QString StagingParent() const { return profile_.CacheHome() + QStringLiteral("/quorvane"); }
    QString Installed() const { return AppDir() + QStringLiteral("/quorvane_client"); }
    QString Markers() const { return profile_.Root() + QStringLiteral("/markers"); }
    QString Marker(const char* which) const { return Markers() + QLatin1Char('/') + QLatin1String(which); }

    // Writes "<which> <user id>" to its marker file, then runs `then`.
    QByteArray ClientScript(const char* which, const QByteArray& then = {}) const
    {
        const QByteArray marker = QFile::encodeName(Marker(which));
        return QByteArray("#!/bin/sh\necho ") + which + " $(id -u) > '" + marker + ".part' && mv '" + marker +
               ".part' '" + marker + "'\n" + then + "\n";
    }

    // Stages a package with the new client (running `then` after it writes its marker), a new
    // readme and a file the old version did not have.
    QString Stage(const QByteArray& then = {}, const QString& secretKey = DemoSecretKey())
    {
        return StagePackage(StagingParent(),
                            {{QStringLiteral("quorvane_client.exe"), ClientScript("new", then)},
                             {QStringLiteral("readme.txt"), "new readme"},
                             {QStringLiteral("docs/extra.txt"), "extra"}},
                            kVersion, secretKey);
    }

    static QString CommandLine(const QString& program)
    {
        return program + QStringLiteral(" quorvane_client.exe");
    }

    // Every file of the application folder with its bytes and mode.
    QMap<QString, QByteArray> Snapshot() const
    {
        QMap<QString, QByteArray> files;
        for (const QFileInfo& info :
             QDir(AppDir()).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
            // The updater's own work folder, while it works.
            if (info.fileName().startsWith(QStringLiteral(".quorvane-update-")))
                continue;
            files[info.fileName()] =
                Read(info.filePath()) + "|" + QByteArray::number(Mode(info.filePath()), 8);
        }
        return files;
    }

    void HoldTheLock()
    {
        holder_.start(QStringLiteral(LOCK_HOLDER), {});
        ASSERT_TRUE(holder_.waitForStarted(kWaitMs));
        ASSERT_TRUE(ReadLine(holder_) == "locked");
    }

    void EndTheClient()
    {
        holder_.write("\n");
        holder_.closeWriteChannel();
        ASSERT_TRUE(holder_.waitForFinished(kWaitMs));
    }

    void StartUpdater(const QStringList& arguments)
    {
        updater_.start(AppDir() + QStringLiteral("/upgrade"), arguments);
        ASSERT_TRUE(updater_.waitForStarted(kWaitMs));
    }

    int UpdaterExitCode()
    {
        EXPECT_TRUE(updater_.waitForFinished(kWaitMs));
        return updater_.exitStatus() == QProcess::NormalExit ? updater_.exitCode() : -1;
    }

    static QByteArray ReadLine(QProcess& process)
    {
        const QDeadlineTimer deadline(kWaitMs);
        while (!process.canReadLine()) {
            if (deadline.hasExpired() || !process.waitForReadyRead(int(deadline.remainingTime())))
                return {};
        }
        return process.readLine().trimmed();
    }

    // What a marker says ("new 0"), or empty when it did not appear in time.
    QByteArray Started(const char* which, int waitMs = kWaitMs)
    {
        const QDeadlineTimer deadline(waitMs);
        while (!QFileInfo::exists(Marker(which)) && !deadline.hasExpired())
            QThread::msleep(10);
        return Read(Marker(which)).trimmed();
    }

    QStringList LeftInTheApplicationFolder() const
    {
        return QDir(AppDir()).entryList({QStringLiteral(".quorvane-update-*")},
                                        QDir::AllEntries | QDir::Hidden);
    }

    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static mode_t Mode(const QString& path)
    {
        struct stat info
        {
        };
        stat(QFile::encodeName(path).constData(), &info);
        return info.st_mode & 07777;
    }

    TempProfile profile_;
    QProcess holder_;
    QProcess updater_;
    QMap<QString, QByteArray> before_;
};

TEST_F(UpgradeProgramTest, WaitsForTheClientThenInstallsThePackageAndStartsTheNewOne)
{
    const QString program = Stage();
    ASSERT_FALSE(program.isEmpty());
    HoldTheLock();
    StartUpdater({CommandLine(program)});
    // Checked and ready before the client ends; nothing is touched while it runs.
    ASSERT_EQ(ReadLine(updater_), "ready");
    EXPECT_EQ(Snapshot(), before_);

    EndTheClient();
    EXPECT_EQ(UpdaterExitCode(), 0) << updater_.readAllStandardError().toStdString();
    EXPECT_EQ(Read(Installed()), ClientScript("new"));
    EXPECT_EQ(Mode(Installed()), mode_t(0755));
    EXPECT_EQ(Read(AppDir() + QStringLiteral("/readme.txt")), QByteArray("new readme"));
    EXPECT_EQ(Read(AppDir() + QStringLiteral("/docs/extra.txt")), QByteArray("extra"));
    EXPECT_FALSE(QFileInfo::exists(StagingOf(program)));
    EXPECT_EQ(LeftInTheApplicationFolder(), QStringList());
    EXPECT_EQ(Started("new"), "new " + QByteArray::number(getuid()));
}

TEST_F(UpgradeProgramTest, TakesTheTwoNamesAsSeparateArgumentsToo)
{
    const QString program = Stage();
    StartUpdater({program, QStringLiteral("quorvane_client.exe")});
    EXPECT_EQ(UpdaterExitCode(), 0);
    EXPECT_EQ(Read(Installed()), ClientScript("new"));
    EXPECT_EQ(Started("new").split(' ').first(), "new");
}

// A new client that fails before it is up brings the old version back, byte for byte, and the
// old client is started; the version is written down so that it is not offered again.
TEST_F(UpgradeProgramTest, RollsBackWhenTheNewClientFailsBeforeItIsUp)
{
    for (const QByteArray& failure : {QByteArray("exit 1"), QByteArray("kill -SEGV $$")}) {
        SCOPED_TRACE(failure.toStdString());
        QFile::remove(Marker("old"));
        QFile::remove(AppDir() + QStringLiteral("/upgrade-rolled-back.txt"));
        const QString program = Stage(failure);
        StartUpdater({CommandLine(program)});
        EXPECT_EQ(UpdaterExitCode(), 6) << updater_.readAllStandardError().toStdString();
        EXPECT_EQ(Started("new").split(' ').first(), "new");
        EXPECT_EQ(Started("old").split(' ').first(), "old");
        QMap<QString, QByteArray> after = Snapshot();
        EXPECT_EQ(after.take(QStringLiteral("upgrade-rolled-back.txt")), kVersion.toLatin1() + "\n|644");
        EXPECT_EQ(after, before_);

        TUpgrade upgrade;
        upgrade.SetApplicationDir(AppDir());
        EXPECT_EQ(upgrade.RolledBackVersion(), kVersion);
    }
}

// Once the new client has reported its first window, it stays, whatever it does later.
TEST_F(UpgradeProgramTest, AReportedStartIsKept)
{
    const QString program = Stage("echo started >&3\nexit 1");
    StartUpdater({CommandLine(program)});
    EXPECT_EQ(UpdaterExitCode(), 0) << updater_.readAllStandardError().toStdString();
    EXPECT_EQ(Read(Installed()), ClientScript("new", "echo started >&3\nexit 1"));
    EXPECT_FALSE(QFileInfo::exists(Marker("old")));
}

// The updater trusts nothing the client staged: a package or staging that fails a check is never
// installed; the updater does not say "ready", touches nothing and removes the staging.
TEST_F(UpgradeProgramTest, RefusesWhatFailsItsChecks)
{
    QTemporaryDir keys;
    ASSERT_TRUE(MakeMinisignKeyPair(keys.path()));
    const QString otherKey = keys.path() + QStringLiteral("/minisign.key");
    const struct
    {
        const char* what;
        std::function<QString()> stage; // answers the request's fileName
        QString destination;
        int exitCode;
    } cases[] = {
        {"signed by another key", [&] { return Stage({}, otherKey); }, QStringLiteral("quorvane_client.exe"),
         5},
        {"package changed after signing",
         [&] {
             const QString program = Stage();
             QFile cabinet(StagingOf(program) + QStringLiteral("/quorvane_upgrade.cab"));
             cabinet.open(QIODevice::Append);
             cabinet.write("x");
             return program;
         },
         QStringLiteral("quorvane_client.exe"), 5},
        {"staged program is not the package's",
         [&] {
             const QString program = Stage();
             TempProfile::WriteFile(program, "#!/bin/sh\necho evil\n");
             return program;
         },
         QStringLiteral("quorvane_client.exe"), 5},
        {"staged program writable by others",
         [&] {
             const QString program = Stage();
             chmod(QFile::encodeName(program).constData(), 0777);
             return program;
         },
         QStringLiteral("quorvane_client.exe"), 5},
        {"staging folder open to others",
         [&] {
             const QString program = Stage();
             chmod(QFile::encodeName(StagingOf(program)).constData(), 0777);
             return program;
         },
         QStringLiteral("quorvane_client.exe"), 5},
        {"signature is a FIFO",
         [&] {
             const QString program = Stage();
             const QByteArray signature =
                 QFile::encodeName(StagingOf(program) + QStringLiteral("/quorvane_upgrade.cab.minisig"));
             unlink(signature.constData());
             mkfifo(signature.constData(), 0600);
             return program;
         },
         QStringLiteral("quorvane_client.exe"), 5},
        {"another destination name", [&] { return Stage(); }, QStringLiteral("upgrade"), 2},
        {"a file outside a staging",
         [&] {
             const QString file = profile_.TempDir() + QStringLiteral("/quorvane_client.exe");
             TempProfile::WriteFile(file, "#!/bin/sh\n");
             return file;
         },
         QStringLiteral("quorvane_client.exe"), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString program = c.stage();
        ASSERT_FALSE(program.isEmpty());
        StartUpdater({program + QLatin1Char(' ') + c.destination});
        EXPECT_EQ(UpdaterExitCode(), c.exitCode) << updater_.readAllStandardError().toStdString();
        EXPECT_EQ(updater_.readAllStandardOutput(), QByteArray());
        EXPECT_EQ(Snapshot(), before_);
        EXPECT_EQ(LeftInTheApplicationFolder(), QStringList());
        EXPECT_FALSE(QFileInfo::exists(Marker("new")));
        EXPECT_FALSE(QFileInfo::exists(Marker("old")));
        if (c.exitCode == 5) {
            EXPECT_FALSE(QFileInfo::exists(StagingOf(program)));
        }
        QDir(StagingParent()).removeRecursively();
    }
}

TEST_F(UpgradeProgramTest, RefusesAMalformedCommandLine)
{
    StartUpdater({});
    EXPECT_EQ(UpdaterExitCode(), 1);
    StartUpdater({QStringLiteral("no-destination")});
    EXPECT_EQ(UpdaterExitCode(), 1);
    EXPECT_EQ(Snapshot(), before_);
}

// Started through pkexec, the updater runs as root for the user named in PKEXEC_UID: it takes
// only a staging of that user's, installs files owned by root, and starts the client as that user.
TEST_F(UpgradeProgramTest, ThroughPkexecItActsForTheUserWhoAsked)
{
    const passwd* nobody = getpwnam("nobody");
    if (geteuid() != 0 || !nobody)
        GTEST_SKIP() << "needs root and the user nobody";
    const uid_t user = nobody->pw_uid;
    // The user must reach the staging, the marker folder and the client.
    chmod(QFile::encodeName(profile_.Root()).constData(), 0755);
    chmod(QFile::encodeName(profile_.CacheHome()).constData(), 0755);
    chmod(QFile::encodeName(Markers()).constData(), 0777);
    chmod(QFile::encodeName(AppDir()).constData(), 0755);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PKEXEC_UID"), QString::number(user));
    updater_.setProcessEnvironment(environment);

    // A staging that is not the user's is not installed.
    QString program = Stage();
    StartUpdater({CommandLine(program)});
    EXPECT_EQ(UpdaterExitCode(), 5);
    EXPECT_EQ(Snapshot(), before_);
    QDir(StagingParent()).removeRecursively();

    program = Stage();
    QProcess::execute(
        QStringLiteral("chown"),
        {QStringLiteral("-R"), QStringLiteral("%1:%2").arg(user).arg(nobody->pw_gid), StagingParent()});
    StartUpdater({CommandLine(program)});
    EXPECT_EQ(UpdaterExitCode(), 0) << updater_.readAllStandardError().toStdString();
    EXPECT_EQ(Read(Installed()), ClientScript("new"));
    struct stat info
    {
    };
    stat(QFile::encodeName(Installed()).constData(), &info);
    EXPECT_EQ(info.st_uid, uid_t(0));
    EXPECT_EQ(info.st_mode & 07777, mode_t(0755));
    EXPECT_FALSE(QFileInfo::exists(StagingOf(program))); // removed with the user's rights
    EXPECT_EQ(Started("new"), "new " + QByteArray::number(user));
}

} // namespace
