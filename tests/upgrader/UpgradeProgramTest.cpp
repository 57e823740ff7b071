#include "tests/support/Minisign.h"
#include "tests/support/TempProfile.h"
#include "tests/upgrader/StagedPackage.h"
#include "update/SelfUpdate.h"
#include "update/TrustedKey.h"

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

namespace quorvane {

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
        QDir().mkpath(appDir());
        QDir().mkpath(markers());
        QFile::copy(QStringLiteral(UPGRADE_PROGRAM), appDir() + QStringLiteral("/upgrade"));
        chmod(QFile::encodeName(appDir() + QStringLiteral("/upgrade")).constData(), 0755);
        TempProfile::writeFile(installed(), clientScript("old"));
        chmod(QFile::encodeName(installed()).constData(), 0755);
        TempProfile::writeFile(appDir() + QStringLiteral("/readme.txt"), "old readme");
        m_before = snapshot();
    }

    ~UpgradeProgramTest() override
    {
        for (QProcess* process : {&m_holder, &m_updater}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished();
            }
        }
    }

    void SetUp() override
    {
        if (trustedUpdateKey().isEmpty() || demoSecretKey().isEmpty())
            GTEST_SKIP()
                << "this build has no demo update key (configure with -DQUORVANE_DEMO_UPDATE_KEY=ON)";
    }

    QString appDir() const { return m_profile.root() + QStringLiteral("/app"); }
    QString stagingParent() const { return m_profile.cacheHome() + QStringLiteral("/quorvane"); }
    QString installed() const { return appDir() + QStringLiteral("/quorvane_client"); }
    QString markers() const { return m_profile.root() + QStringLiteral("/markers"); }
    QString marker(const char* which) const { return markers() + QLatin1Char('/') + QLatin1String(which); }

    // Writes "<which> <user id>" to its marker file, then runs `then`.
    QByteArray clientScript(const char* which, const QByteArray& then = {}) const
    {
        const QByteArray marker = QFile::encodeName(this->marker(which));
        return QByteArray("#!/bin/sh\necho ") + which + " $(id -u) > '" + marker + ".part' && mv '" + marker +
               ".part' '" + marker + "'\n" + then + "\n";
    }

    // Stages a package with the new client (running `then` after it writes its marker), a new
    // readme and a file the old version did not have.
    QString stage(const QByteArray& then = {}, const QString& secretKey = demoSecretKey())
    {
        return stagePackage(stagingParent(),
                            {{QStringLiteral("quorvane_client.exe"), clientScript("new", then)},
                             {QStringLiteral("readme.txt"), "new readme"},
                             {QStringLiteral("docs/extra.txt"), "extra"}},
                            kVersion, secretKey);
    }

    static QString commandLine(const QString& program)
    {
        return program + QStringLiteral(" quorvane_client.exe");
    }

    // Every file of the application folder with its bytes and mode.
    QMap<QString, QByteArray> snapshot() const
    {
        QMap<QString, QByteArray> files;
        for (const QFileInfo& info :
             QDir(appDir()).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
            // The updater's own work folder, while it works.
            if (info.fileName().startsWith(QStringLiteral(".quorvane-update-")))
                continue;
            files[info.fileName()] =
                read(info.filePath()) + "|" + QByteArray::number(mode(info.filePath()), 8);
        }
        return files;
    }

    void holdTheLock()
    {
        m_holder.start(QStringLiteral(LOCK_HOLDER), {});
        ASSERT_TRUE(m_holder.waitForStarted(kWaitMs));
        ASSERT_TRUE(readLine(m_holder) == "locked");
    }

    void endTheClient()
    {
        m_holder.write("\n");
        m_holder.closeWriteChannel();
        ASSERT_TRUE(m_holder.waitForFinished(kWaitMs));
    }

    void startUpdater(const QStringList& arguments)
    {
        m_updater.start(appDir() + QStringLiteral("/upgrade"), arguments);
        ASSERT_TRUE(m_updater.waitForStarted(kWaitMs));
    }

    int updaterExitCode()
    {
        EXPECT_TRUE(m_updater.waitForFinished(kWaitMs));
        return m_updater.exitStatus() == QProcess::NormalExit ? m_updater.exitCode() : -1;
    }

    static QByteArray readLine(QProcess& process)
    {
        const QDeadlineTimer deadline(kWaitMs);
        while (!process.canReadLine()) {
            if (deadline.hasExpired() || !process.waitForReadyRead(int(deadline.remainingTime())))
                return {};
        }
        return process.readLine().trimmed();
    }

    // What a marker says ("new 0"), or empty when it did not appear in time.
    QByteArray started(const char* which, int waitMs = kWaitMs)
    {
        const QDeadlineTimer deadline(waitMs);
        while (!QFileInfo::exists(marker(which)) && !deadline.hasExpired())
            QThread::msleep(10);
        return read(marker(which)).trimmed();
    }

    QStringList leftInTheApplicationFolder() const
    {
        return QDir(appDir()).entryList({QStringLiteral(".quorvane-update-*")},
                                        QDir::AllEntries | QDir::Hidden);
    }

    static QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static mode_t mode(const QString& path)
    {
        struct stat info
        {
        };
        stat(QFile::encodeName(path).constData(), &info);
        return info.st_mode & 07777;
    }

    TempProfile m_profile;
    QProcess m_holder;
    QProcess m_updater;
    QMap<QString, QByteArray> m_before;
};

TEST_F(UpgradeProgramTest, WaitsForTheClientThenInstallsThePackageAndStartsTheNewOne)
{
    const QString program = stage();
    ASSERT_FALSE(program.isEmpty());
    holdTheLock();
    startUpdater({commandLine(program)});
    // Checked and ready before the client ends; nothing is touched while it runs.
    ASSERT_EQ(readLine(m_updater), "ready");
    EXPECT_EQ(snapshot(), m_before);

    endTheClient();
    EXPECT_EQ(updaterExitCode(), 0) << m_updater.readAllStandardError().toStdString();
    EXPECT_EQ(read(installed()), clientScript("new"));
    EXPECT_EQ(mode(installed()), mode_t(0755));
    EXPECT_EQ(read(appDir() + QStringLiteral("/readme.txt")), QByteArray("new readme"));
    EXPECT_EQ(read(appDir() + QStringLiteral("/docs/extra.txt")), QByteArray("extra"));
    EXPECT_FALSE(QFileInfo::exists(stagingOf(program)));
    EXPECT_EQ(leftInTheApplicationFolder(), QStringList());
    EXPECT_EQ(started("new"), "new " + QByteArray::number(getuid()));
}

TEST_F(UpgradeProgramTest, TakesTheTwoNamesAsSeparateArgumentsToo)
{
    const QString program = stage();
    startUpdater({program, QStringLiteral("quorvane_client.exe")});
    EXPECT_EQ(updaterExitCode(), 0);
    EXPECT_EQ(read(installed()), clientScript("new"));
    EXPECT_EQ(started("new").split(' ').first(), "new");
}

// A new client that fails before it is up brings the old version back, byte for byte, and the
// old client is started; the version is written down so that it is not offered again.
TEST_F(UpgradeProgramTest, RollsBackWhenTheNewClientFailsBeforeItIsUp)
{
    for (const QByteArray& failure : {QByteArray("exit 1"), QByteArray("kill -SEGV $$")}) {
        SCOPED_TRACE(failure.toStdString());
        QFile::remove(marker("old"));
        QFile::remove(appDir() + QStringLiteral("/upgrade-rolled-back.txt"));
        const QString program = stage(failure);
        startUpdater({commandLine(program)});
        EXPECT_EQ(updaterExitCode(), 6) << m_updater.readAllStandardError().toStdString();
        EXPECT_EQ(started("new").split(' ').first(), "new");
        EXPECT_EQ(started("old").split(' ').first(), "old");
        QMap<QString, QByteArray> after = snapshot();
        EXPECT_EQ(after.take(QStringLiteral("upgrade-rolled-back.txt")), kVersion.toLatin1() + "\n|644");
        EXPECT_EQ(after, m_before);

        SelfUpdate upgrade;
        upgrade.setApplicationDir(appDir());
        EXPECT_EQ(upgrade.rolledBackVersion(), kVersion);
    }
}

// Once the new client has reported its first window, it stays, whatever it does later.
TEST_F(UpgradeProgramTest, AReportedStartIsKept)
{
    const QString program = stage("echo started >&3\nexit 1");
    startUpdater({commandLine(program)});
    EXPECT_EQ(updaterExitCode(), 0) << m_updater.readAllStandardError().toStdString();
    EXPECT_EQ(read(installed()), clientScript("new", "echo started >&3\nexit 1"));
    EXPECT_FALSE(QFileInfo::exists(marker("old")));
}

// The updater trusts nothing the client staged: a package or staging that fails a check is never
// installed; the updater does not say "ready", touches nothing and removes the staging.
TEST_F(UpgradeProgramTest, RefusesWhatFailsItsChecks)
{
    QTemporaryDir keys;
    ASSERT_TRUE(makeMinisignKeyPair(keys.path()));
    const QString otherKey = keys.path() + QStringLiteral("/minisign.key");
    const struct
    {
        const char* what;
        std::function<QString()> stage; // answers the request's fileName
        QString destination;
        int exitCode;
    } cases[] = {
        {"signed by another key", [&] { return stage({}, otherKey); }, QStringLiteral("quorvane_client.exe"),
         5},
        {"package changed after signing",
         [&] {
             const QString program = stage();
             QFile cabinet(stagingOf(program) + QStringLiteral("/quorvane_upgrade.cab"));
             cabinet.open(QIODevice::Append);
             cabinet.write("x");
             return program;
         },
         QStringLiteral("quorvane_client.exe"), 5},
        {"staged program is not the package's",
         [&] {
             const QString program = stage();
             TempProfile::writeFile(program, "#!/bin/sh\necho evil\n");
             return program;
         },
         QStringLiteral("quorvane_client.exe"), 5},
        {"staged program writable by others",
         [&] {
             const QString program = stage();
             chmod(QFile::encodeName(program).constData(), 0777);
             return program;
         },
         QStringLiteral("quorvane_client.exe"), 5},
        {"staging folder open to others",
         [&] {
             const QString program = stage();
             chmod(QFile::encodeName(stagingOf(program)).constData(), 0777);
             return program;
         },
         QStringLiteral("quorvane_client.exe"), 5},
        {"signature is a FIFO",
         [&] {
             const QString program = stage();
             const QByteArray signature =
                 QFile::encodeName(stagingOf(program) + QStringLiteral("/quorvane_upgrade.cab.minisig"));
             unlink(signature.constData());
             mkfifo(signature.constData(), 0600);
             return program;
         },
         QStringLiteral("quorvane_client.exe"), 5},
        {"another destination name", [&] { return stage(); }, QStringLiteral("upgrade"), 2},
        {"a file outside a staging",
         [&] {
             const QString file = m_profile.tempDir() + QStringLiteral("/quorvane_client.exe");
             TempProfile::writeFile(file, "#!/bin/sh\n");
             return file;
         },
         QStringLiteral("quorvane_client.exe"), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString program = c.stage();
        ASSERT_FALSE(program.isEmpty());
        startUpdater({program + QLatin1Char(' ') + c.destination});
        EXPECT_EQ(updaterExitCode(), c.exitCode) << m_updater.readAllStandardError().toStdString();
        EXPECT_EQ(m_updater.readAllStandardOutput(), QByteArray());
        EXPECT_EQ(snapshot(), m_before);
        EXPECT_EQ(leftInTheApplicationFolder(), QStringList());
        EXPECT_FALSE(QFileInfo::exists(marker("new")));
        EXPECT_FALSE(QFileInfo::exists(marker("old")));
        if (c.exitCode == 5) {
            EXPECT_FALSE(QFileInfo::exists(stagingOf(program)));
        }
        QDir(stagingParent()).removeRecursively();
    }
}

TEST_F(UpgradeProgramTest, RefusesAMalformedCommandLine)
{
    startUpdater({});
    EXPECT_EQ(updaterExitCode(), 1);
    startUpdater({QStringLiteral("no-destination")});
    EXPECT_EQ(updaterExitCode(), 1);
    EXPECT_EQ(snapshot(), m_before);
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
    chmod(QFile::encodeName(m_profile.root()).constData(), 0755);
    chmod(QFile::encodeName(m_profile.cacheHome()).constData(), 0755);
    chmod(QFile::encodeName(markers()).constData(), 0777);
    chmod(QFile::encodeName(appDir()).constData(), 0755);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PKEXEC_UID"), QString::number(user));
    m_updater.setProcessEnvironment(environment);

    // A staging that is not the user's is not installed.
    QString program = stage();
    startUpdater({commandLine(program)});
    EXPECT_EQ(updaterExitCode(), 5);
    EXPECT_EQ(snapshot(), m_before);
    QDir(stagingParent()).removeRecursively();

    program = stage();
    QProcess::execute(
        QStringLiteral("chown"),
        {QStringLiteral("-R"), QStringLiteral("%1:%2").arg(user).arg(nobody->pw_gid), stagingParent()});
    startUpdater({commandLine(program)});
    EXPECT_EQ(updaterExitCode(), 0) << m_updater.readAllStandardError().toStdString();
    EXPECT_EQ(read(installed()), clientScript("new"));
    struct stat info
    {
    };
    stat(QFile::encodeName(installed()).constData(), &info);
    EXPECT_EQ(info.st_uid, uid_t(0));
    EXPECT_EQ(info.st_mode & 07777, mode_t(0755));
    EXPECT_FALSE(QFileInfo::exists(stagingOf(program))); // removed with the user's rights
    EXPECT_EQ(started("new"), "new " + QByteArray::number(user));
}

} // namespace

} // namespace quorvane
