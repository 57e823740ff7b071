#include "tests/support/TempProfile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kWaitMs = 30000;

// The real updater program, run from an application folder of its own, with a stand-in client
// that holds the single-instance lock and client scripts that tell which of them was started.
class UpgradeProgramTest : public ::testing::Test
{
protected:
    UpgradeProgramTest()
    {
        QDir().mkpath(AppDir());
        QDir().mkpath(TempDir());
        QFile::copy(QStringLiteral(UPGRADE_PROGRAM), AppDir() + QStringLiteral("/upgrade"));
        chmod(QFile::encodeName(AppDir() + QStringLiteral("/upgrade")).constData(), 0755);
        TempProfile::WriteFile(Installed(), ClientScript("old"));
        chmod(QFile::encodeName(Installed()).constData(), 0755);
        // Unpacked from the package without execute permission.
        TempProfile::WriteFile(NewClient(), ClientScript("new"));
        chmod(QFile::encodeName(NewClient()).constData(), 0644);
    }

    ~UpgradeProgramTest() override
    {
        if (holder_.state() != QProcess::NotRunning) {
            holder_.kill();
            holder_.waitForFinished();
        }
    }

    QString AppDir() const { return profile_.Root() + QStringLiteral("/app"); }
    QString TempDir() const { return profile_.Root() + QStringLiteral("/my temp"); }
    QString Installed() const { return AppDir() + QStringLiteral("/quorvane_client"); }
    QString NewClient() const { return TempDir() + QStringLiteral("/quorvane_client.exe"); }
    QString Marker() const { return profile_.Root() + QStringLiteral("/started.txt"); }
    QString CommandLine() const { return NewClient() + QStringLiteral(" quorvane_client.exe"); }

    // Writes "<which> <user id>" to the marker file.
    QByteArray ClientScript(const char* which) const
    {
        const QByteArray marker = QFile::encodeName(Marker());
        return QByteArray("#!/bin/sh\necho ") + which + " $(id -u) > '" + marker + ".part' && mv '" + marker +
               ".part' '" + marker + "'\n";
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

    // Which client was started and by whom: "old 0", "new 1000", or empty when none was in time.
    QByteArray StartedClient()
    {
        const QDeadlineTimer deadline(kWaitMs);
        while (!QFileInfo::exists(Marker()) && !deadline.hasExpired())
            QThread::msleep(10);
        QFile file(Marker());
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
    }

    QByteArray StartedClientName() { return StartedClient().split(' ').first(); }

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
};

TEST_F(UpgradeProgramTest, WaitsForTheClientThenReplacesItAndStartsTheNewOne)
{
    HoldTheLock();
    StartUpdater({CommandLine()});
    ASSERT_EQ(ReadLine(updater_), "Waiting for the client to end");
    EXPECT_EQ(Read(Installed()), ClientScript("old")); // untouched while the client runs

    EndTheClient();
    EXPECT_EQ(UpdaterExitCode(), 0);
    EXPECT_EQ(Read(Installed()), ClientScript("new"));
    EXPECT_EQ(Mode(Installed()), mode_t(0755));
    EXPECT_FALSE(QFile::exists(NewClient()));
    EXPECT_EQ(StartedClientName(), "new");
    EXPECT_EQ(QDir(AppDir()).entryList(QDir::Files | QDir::Hidden).size(), 2); // upgrade, client
}

TEST_F(UpgradeProgramTest, TakesTheTwoNamesAsSeparateArgumentsToo)
{
    StartUpdater({NewClient(), QStringLiteral("quorvane_client.exe")});
    EXPECT_EQ(UpdaterExitCode(), 0);
    EXPECT_EQ(Read(Installed()), ClientScript("new"));
    EXPECT_EQ(StartedClientName(), "new");
}

TEST_F(UpgradeProgramTest, AFailedCopyLeavesTheOldClientWholeAndStartsIt)
{
    // A folder where the new executable should be: it cannot be read as a file.
    QFile::remove(NewClient());
    QDir().mkpath(NewClient());
    StartUpdater({CommandLine()});
    EXPECT_EQ(UpdaterExitCode(), 4);
    EXPECT_EQ(Read(Installed()), ClientScript("old"));
    EXPECT_EQ(Mode(Installed()), mode_t(0755));
    EXPECT_EQ(QDir(AppDir()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    EXPECT_EQ(StartedClientName(), "old");
}

TEST_F(UpgradeProgramTest, RefusesAMalformedCommandLine)
{
    StartUpdater({});
    EXPECT_EQ(UpdaterExitCode(), 1);
    StartUpdater({QStringLiteral("no-destination")});
    EXPECT_EQ(UpdaterExitCode(), 1);
    EXPECT_EQ(Read(Installed()), ClientScript("old"));
}

// Started through pkexec, the updater runs as root for the user named in PKEXEC_UID: it takes only
// a file of that user, keeps the old file's owner, and starts the client as that user.
TEST_F(UpgradeProgramTest, ThroughPkexecItActsForTheUserWhoAsked)
{
    const passwd* nobody = getpwnam("nobody");
    if (geteuid() != 0 || !nobody)
        GTEST_SKIP() << "needs root and the user nobody";
    const uid_t user = nobody->pw_uid;
    // The user must reach the new file, the marker folder and the client.
    chmod(QFile::encodeName(profile_.Root()).constData(), 0777);
    chmod(QFile::encodeName(TempDir()).constData(), 0777);
    ASSERT_EQ(chown(QFile::encodeName(Installed()).constData(), 0, 0), 0);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PKEXEC_UID"), QString::number(user));
    updater_.setProcessEnvironment(environment);

    // A file that is not the user's is not installed.
    StartUpdater({CommandLine()});
    EXPECT_EQ(UpdaterExitCode(), 4);
    EXPECT_EQ(Read(Installed()), ClientScript("old"));
    EXPECT_EQ(StartedClient(), "old " + QByteArray::number(user));
    QFile::remove(Marker());

    TempProfile::WriteFile(NewClient(), ClientScript("new"));
    ASSERT_EQ(chown(QFile::encodeName(NewClient()).constData(), user, nobody->pw_gid), 0);
    StartUpdater({CommandLine()});
    EXPECT_EQ(UpdaterExitCode(), 0);
    EXPECT_EQ(Read(Installed()), ClientScript("new"));
    struct stat info
    {
    };
    stat(QFile::encodeName(Installed()).constData(), &info);
    EXPECT_EQ(info.st_uid, uid_t(0));
    EXPECT_EQ(info.st_mode & 07777, mode_t(0755));
    EXPECT_FALSE(QFile::exists(NewClient())); // removed with the user's rights
    EXPECT_EQ(StartedClient(), "new " + QByteArray::number(user));
}

} // namespace
