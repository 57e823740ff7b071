#include "config/SelvorConfig.h"
#include "config/ServerDefaults.h"
#include "platform/SystemPaths.h"
#include "tests/support/TempProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

class SelvorConfigTest : public ::testing::Test
{
protected:
    QString Ini() const
    {
        return QString::fromLatin1(TempProfile::ReadFile(profile.ConfigFile()).toLatin1());
    }
    void WriteIni(const QByteArray& content) const { TempProfile::WriteFile(profile.ConfigFile(), content); }

    TempProfile profile;
    TSelvorConfig config;
};

TEST_F(SelvorConfigTest, FreshProfileGivesEveryDefault)
{
    EXPECT_EQ(config.GetAppUrl(), QString::fromLatin1(kDefaultAppRoot) + QStringLiteral("/quorvane2"));
    EXPECT_EQ(config.GetDownUrl(), QString::fromLatin1(kDefaultDownRoot) + QStringLiteral("/res/download"));
    const SelvorConfigInfo info = config.LoadConfigInfo();
    EXPECT_EQ(info.UserName, QString());
    EXPECT_EQ(info.Password, QString());
    EXPECT_TRUE(info.RememberPass);
    EXPECT_TRUE(info.AutoLogin);
    EXPECT_EQ(info.UserType, 0);
    EXPECT_FALSE(config.CanAutoLogin(info));
    EXPECT_FALSE(config.GetAutoLogin());
    EXPECT_FALSE(config.GetCloseOnExit());
    EXPECT_EQ(config.GetMainHandle(), -1);
    EXPECT_EQ(config.GetUserType(), 0);
    EXPECT_FALSE(QFile::exists(profile.ConfigFile())); // reading writes nothing
    EXPECT_EQ(config.GetConfigDir(), profile.DataHome() + QStringLiteral("/quorvane"));
}

TEST_F(SelvorConfigTest, SavedLoginRoundTripsWithTheScrambledPassword)
{
    config.SaveConfigInfo({QStringLiteral("a@b.cn"), QStringLiteral("密码"), false, true, 1});
    EXPECT_EQ(Ini(),
              QStringLiteral(
                  "[Common]\nuname=a@b.cn\npasswd=B1E9A9D3\nrember_pass=0\nauto_login=1\nuser_type=1\n"));
    const SelvorConfigInfo info = config.LoadConfigInfo();
    EXPECT_EQ(info.UserName, QStringLiteral("a@b.cn"));
    EXPECT_EQ(info.Password, QStringLiteral("密码"));
    EXPECT_FALSE(info.RememberPass);
    EXPECT_TRUE(info.AutoLogin);
    EXPECT_EQ(info.UserType, 1);
}

TEST_F(SelvorConfigTest, SaveAccountKeepsBothFlags)
{
    config.SaveConfigInfo({QStringLiteral("old"), QStringLiteral("p"), false, false, 1});
    config.SaveAccount(QStringLiteral("new@x.cn"), QStringLiteral("q"), 0);
    const SelvorConfigInfo info = config.LoadConfigInfo();
    EXPECT_EQ(info.UserName, QStringLiteral("new@x.cn"));
    EXPECT_EQ(info.Password, QStringLiteral("q"));
    EXPECT_FALSE(info.RememberPass);
    EXPECT_FALSE(info.AutoLogin);
    EXPECT_EQ(info.UserType, 0);
}

TEST_F(SelvorConfigTest, PasswordEdgeCases)
{
    const struct
    {
        const char* name;
        QByteArray stored;
        QString password;
    } cases[] = {
        {"empty", "", ""},
        {"odd digit lost", "1357087", "abc"},
        {"lower case", "135708", "abc"},
        {"non-hex pair", "13zz08", "a5k"},
    };
    for (const auto& c : cases) {
        WriteIni("[Common]\nuname=u\npasswd=" + c.stored + "\n");
        EXPECT_EQ(config.LoadConfigInfo().Password, c.password) << c.name;
    }
    // A character outside code page 936 is stored as "?" and reads back as "?".
    config.SaveAccount(QStringLiteral("u"), QStringLiteral("aกb"), 0);
    EXPECT_EQ(config.LoadConfigInfo().Password, QStringLiteral("a?b"));
}

TEST_F(SelvorConfigTest, CanAutoLoginNeedsNamePasswordAndBothFlags)
{
    const struct
    {
        SelvorConfigInfo info;
        bool expected;
    } cases[] = {
        {{"u", "p", true, true, 0}, true},   {{"", "p", true, true, 0}, false},
        {{"u", "", true, true, 0}, false},   {{"u", "p", false, true, 0}, false},
        {{"u", "p", true, false, 1}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(config.CanAutoLogin(c.info), c.expected) << c.info.UserName.toStdString();
}

TEST_F(SelvorConfigTest, FlagsAndHandle)
{
    WriteIni("[Common]\nauto_login=abc\nclose_on_exit=2\nhandle=x\n");
    EXPECT_FALSE(config.GetAutoLogin());  // not a number: the default
    EXPECT_TRUE(config.GetCloseOnExit()); // any value other than 0
    EXPECT_EQ(config.GetMainHandle(), -1);
    config.SetAutoLogin(true);
    config.SetCloseOnExit(false);
    config.SetMainHandle(31457287);
    EXPECT_TRUE(config.GetAutoLogin());
    EXPECT_FALSE(config.GetCloseOnExit());
    EXPECT_EQ(config.GetMainHandle(), 31457287);
}

TEST_F(SelvorConfigTest, ServerAddressesAreReadOncePerRun)
{
    WriteIni("[Common]\napp_root=http://127.0.0.1:1\ncontext_root=/ctx\ndown_url=http://127.0.0.1:2/d\n");
    EXPECT_EQ(config.GetAppUrl(), QStringLiteral("http://127.0.0.1:1/ctx"));
    EXPECT_EQ(config.GetDownUrl(), QStringLiteral("http://127.0.0.1:2/d"));
    WriteIni("[Common]\napp_root=http://elsewhere\n");
    EXPECT_EQ(config.GetAppUrl(), QStringLiteral("http://127.0.0.1:1/ctx"));
    EXPECT_EQ(TSelvorConfig().GetDownUrl(), QStringLiteral("http://127.0.0.1:2/d"));
}

TEST_F(SelvorConfigTest, TwoThreadsAskingFirstGetTheSameAddress)
{
    WriteIni("[Common]\napp_root=http://127.0.0.1:9\n");
    QString first;
    QString second;
    std::thread a([&] { first = TSelvorConfig().GetAppUrl(); });
    std::thread b([&] { second = TSelvorConfig().GetAppUrl() + TSelvorConfig().GetDownUrl(); });
    a.join();
    b.join();
    EXPECT_EQ(first, QStringLiteral("http://127.0.0.1:9/quorvane2"));
    EXPECT_TRUE(second.startsWith(first));
}

TEST_F(SelvorConfigTest, AValueWrittenByOneProcessIsReadByAnother)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TSelvorConfig().SaveAccount(QStringLiteral("from-child"), QStringLiteral("pw"), 1);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const SelvorConfigInfo info = config.LoadConfigInfo();
    EXPECT_EQ(info.UserName, QStringLiteral("from-child"));
    EXPECT_EQ(info.Password, QStringLiteral("pw"));
    EXPECT_EQ(info.UserType, 1);
}

TEST_F(SelvorConfigTest, RefusedWriteReachesTheCaller)
{
    QFile::remove(profile.ConfigFile());
    ASSERT_TRUE(QDir().mkpath(profile.ConfigFile())); // a folder in the file's place
    EXPECT_THROW(config.SetCloseOnExit(true), std::exception);
}

class AutostartTest : public SelvorConfigTest
{
protected:
    QString Entry() const { return TempProfile::ReadFile(profile.AutostartFile()); }
    void WriteEntry(const QString& exec) const
    {
        TempProfile::WriteFile(profile.AutostartFile(),
                               ("[Desktop Entry]\nType=Application\nExec=" + exec + "\n").toUtf8());
    }
};

TEST_F(AutostartTest, OnAndOff)
{
    EXPECT_FALSE(config.IsAutoRun());
    EXPECT_TRUE(config.SetAutoRun(true));
    EXPECT_TRUE(config.IsAutoRun());
    EXPECT_TRUE(Entry().contains(QStringLiteral("Exec=") + ExecutablePath() + QLatin1Char('\n')));
    EXPECT_TRUE(config.SetAutoRun(false));
    EXPECT_FALSE(config.IsAutoRun());
    EXPECT_FALSE(QFile::exists(profile.AutostartFile()));
    EXPECT_TRUE(config.SetAutoRun(false)); // removing a missing entry is no failure
}

TEST_F(AutostartTest, OnlyTheExactPathCounts)
{
    const QString path = ExecutablePath();
    const struct
    {
        const char* name;
        QString exec;
    } absent[] = {
        {"other program", QStringLiteral("/usr/bin/other")},
        {"other letter case", path.toUpper()},
        {"quoted", QLatin1Char('"') + path + QLatin1Char('"')},
        {"with an argument", path + QStringLiteral(" --x")},
        {"empty", QString()},
    };
    for (const auto& c : absent) {
        WriteEntry(c.exec);
        EXPECT_FALSE(config.IsAutoRun()) << c.name;
    }
    WriteEntry(path);
    EXPECT_TRUE(config.IsAutoRun());
}

TEST_F(AutostartTest, RefusedEntryReportsFalse)
{
    // A file where the autostart folder should be.
    TempProfile::WriteFile(profile.ConfigHome() + QStringLiteral("/autostart"), "x");
    EXPECT_FALSE(config.SetAutoRun(true));
}

TEST_F(AutostartTest, FirstRunSwitchesAutostartOnOnce)
{
    config.CheckFirstRun();
    EXPECT_TRUE(config.IsAutoRun());
    EXPECT_TRUE(Ini().contains(QStringLiteral("firstRun=0")));

    // Switched off in the settings, it stays off at the next start.
    config.SetAutoRun(false);
    config.CheckFirstRun();
    EXPECT_FALSE(config.IsAutoRun());
}

TEST_F(AutostartTest, FirstRunIsTriedAgainWhenTheEntryWasRefused)
{
    TempProfile::WriteFile(profile.ConfigHome() + QStringLiteral("/autostart"), "x");
    config.CheckFirstRun();
    EXPECT_FALSE(Ini().contains(QStringLiteral("firstRun")));
    QFile::remove(profile.ConfigHome() + QStringLiteral("/autostart"));
    config.CheckFirstRun();
    EXPECT_TRUE(config.IsAutoRun());
    EXPECT_TRUE(Ini().contains(QStringLiteral("firstRun=0")));
}

} // namespace
