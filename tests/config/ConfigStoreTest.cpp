#include "config/ConfigStore.h"
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

namespace quorvane {

namespace {

class ConfigStoreTest : public ::testing::Test
{
protected:
    QString ini() const
    {
        return QString::fromLatin1(TempProfile::readFile(m_profile.configFile()).toLatin1());
    }
    void writeIni(const QByteArray& content) const
    {
        TempProfile::writeFile(m_profile.configFile(), content);
    }

    TempProfile m_profile;
    ConfigStore m_config;
};

TEST_F(ConfigStoreTest, FreshProfileGivesEveryDefault)
{
    EXPECT_EQ(m_config.getAppUrl(), QString::fromLatin1(kDefaultAppRoot) + QStringLiteral("/quorvane2"));
    EXPECT_EQ(m_config.getDownUrl(), QString::fromLatin1(kDefaultDownRoot) + QStringLiteral("/res/download"));
    const SavedLogin info = m_config.loadConfigInfo();
    EXPECT_EQ(info.userName, QString());
    EXPECT_EQ(info.password, QString());
    EXPECT_TRUE(info.rememberPass);
    EXPECT_TRUE(info.autoLogin);
    EXPECT_EQ(info.userType, 0);
    EXPECT_FALSE(m_config.canAutoLogin(info));
    EXPECT_FALSE(m_config.getAutoLogin());
    EXPECT_FALSE(m_config.getCloseOnExit());
    EXPECT_EQ(m_config.getMainHandle(), -1);
    EXPECT_EQ(m_config.getUserType(), 0);
    EXPECT_FALSE(QFile::exists(m_profile.configFile())); // reading writes nothing
    EXPECT_EQ(m_config.getConfigDir(), m_profile.dataHome() + QStringLiteral("/quorvane"));
}

TEST_F(ConfigStoreTest, SavedLoginRoundTripsWithTheScrambledPassword)
{
    m_config.saveConfigInfo({QStringLiteral("a@b.cn"), QStringLiteral("密码"), false, true, 1});
    EXPECT_EQ(ini(),
              QStringLiteral(
                  "[Common]\nuname=a@b.cn\npasswd=B1E9A9D3\nrember_pass=0\nauto_login=1\nuser_type=1\n"));
    const SavedLogin info = m_config.loadConfigInfo();
    EXPECT_EQ(info.userName, QStringLiteral("a@b.cn"));
    EXPECT_EQ(info.password, QStringLiteral("密码"));
    EXPECT_FALSE(info.rememberPass);
    EXPECT_TRUE(info.autoLogin);
    EXPECT_EQ(info.userType, 1);
}

TEST_F(ConfigStoreTest, SaveAccountKeepsBothFlags)
{
    m_config.saveConfigInfo({QStringLiteral("old"), QStringLiteral("p"), false, false, 1});
    m_config.saveAccount(QStringLiteral("new@x.cn"), QStringLiteral("q"), 0);
    const SavedLogin info = m_config.loadConfigInfo();
    EXPECT_EQ(info.userName, QStringLiteral("new@x.cn"));
    EXPECT_EQ(info.password, QStringLiteral("q"));
    EXPECT_FALSE(info.rememberPass);
    EXPECT_FALSE(info.autoLogin);
    EXPECT_EQ(info.userType, 0);
}

TEST_F(ConfigStoreTest, PasswordEdgeCases)
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
        writeIni("[Common]\nuname=u\npasswd=" + c.stored + "\n");
        EXPECT_EQ(m_config.loadConfigInfo().password, c.password) << c.name;
    }
    // A character outside code page 936 is stored as "?" and reads back as "?".
    m_config.saveAccount(QStringLiteral("u"), QStringLiteral("aกb"), 0);
    EXPECT_EQ(m_config.loadConfigInfo().password, QStringLiteral("a?b"));
}

TEST_F(ConfigStoreTest, CanAutoLoginNeedsNamePasswordAndBothFlags)
{
    const struct
    {
        SavedLogin info;
        bool expected;
    } cases[] = {
        {{"u", "p", true, true, 0}, true},   {{"", "p", true, true, 0}, false},
        {{"u", "", true, true, 0}, false},   {{"u", "p", false, true, 0}, false},
        {{"u", "p", true, false, 1}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_config.canAutoLogin(c.info), c.expected) << c.info.userName.toStdString();
}

TEST_F(ConfigStoreTest, FlagsAndHandle)
{
    writeIni("[Common]\nauto_login=abc\nclose_on_exit=2\nhandle=x\n");
    EXPECT_FALSE(m_config.getAutoLogin());  // not a number: the default
    EXPECT_TRUE(m_config.getCloseOnExit()); // any value other than 0
    EXPECT_EQ(m_config.getMainHandle(), -1);
    m_config.setAutoLogin(true);
    m_config.setCloseOnExit(false);
    m_config.setMainHandle(31457287);
    EXPECT_TRUE(m_config.getAutoLogin());
    EXPECT_FALSE(m_config.getCloseOnExit());
    EXPECT_EQ(m_config.getMainHandle(), 31457287);
}

TEST_F(ConfigStoreTest, ServerAddressesAreReadOncePerRun)
{
    writeIni("[Common]\napp_root=http://127.0.0.1:1\ncontext_root=/ctx\ndown_url=http://127.0.0.1:2/d\n");
    EXPECT_EQ(m_config.getAppUrl(), QStringLiteral("http://127.0.0.1:1/ctx"));
    EXPECT_EQ(m_config.getDownUrl(), QStringLiteral("http://127.0.0.1:2/d"));
    writeIni("[Common]\napp_root=http://elsewhere\n");
    EXPECT_EQ(m_config.getAppUrl(), QStringLiteral("http://127.0.0.1:1/ctx"));
    EXPECT_EQ(ConfigStore().getDownUrl(), QStringLiteral("http://127.0.0.1:2/d"));
}

TEST_F(ConfigStoreTest, TwoThreadsAskingFirstGetTheSameAddress)
{
    writeIni("[Common]\napp_root=http://127.0.0.1:9\n");
    QString first;
    QString second;
    std::thread a([&] { first = ConfigStore().getAppUrl(); });
    std::thread b([&] { second = ConfigStore().getAppUrl() + ConfigStore().getDownUrl(); });
    a.join();
    b.join();
    EXPECT_EQ(first, QStringLiteral("http://127.0.0.1:9/quorvane2"));
    EXPECT_TRUE(second.startsWith(first));
}

TEST_F(ConfigStoreTest, AValueWrittenByOneProcessIsReadByAnother)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ConfigStore().saveAccount(QStringLiteral("from-child"), QStringLiteral("pw"), 1);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const SavedLogin info = m_config.loadConfigInfo();
    EXPECT_EQ(info.userName, QStringLiteral("from-child"));
    EXPECT_EQ(info.password, QStringLiteral("pw"));
    EXPECT_EQ(info.userType, 1);
}

TEST_F(ConfigStoreTest, RefusedWriteReachesTheCaller)
{
    QFile::remove(m_profile.configFile());
    ASSERT_TRUE(QDir().mkpath(m_profile.configFile())); // a folder in the file's place
    EXPECT_THROW(m_config.setCloseOnExit(true), std::exception);
}

class AutostartTest : public ConfigStoreTest
{
protected:
    QString entry() const { return TempProfile::readFile(m_profile.autostartFile()); }
    void writeEntry(const QString& exec) const
    {
        TempProfile::writeFile(m_profile.autostartFile(),
                               ("[Desktop Entry]\nType=Application\nExec=" + exec + "\n").toUtf8());
    }
};

TEST_F(AutostartTest, OnAndOff)
{
    EXPECT_FALSE(m_config.isAutoRun());
    EXPECT_TRUE(m_config.setAutoRun(true));
    EXPECT_TRUE(m_config.isAutoRun());
    EXPECT_TRUE(entry().contains(QStringLiteral("Exec=") + executablePath() + QLatin1Char('\n')));
    EXPECT_TRUE(m_config.setAutoRun(false));
    EXPECT_FALSE(m_config.isAutoRun());
    EXPECT_FALSE(QFile::exists(m_profile.autostartFile()));
    EXPECT_TRUE(m_config.setAutoRun(false)); // removing a missing entry is no failure
}

TEST_F(AutostartTest, OnlyTheExactPathCounts)
{
    const QString path = executablePath();
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
        writeEntry(c.exec);
        EXPECT_FALSE(m_config.isAutoRun()) << c.name;
    }
    writeEntry(path);
    EXPECT_TRUE(m_config.isAutoRun());
}

// A desktop's settings switch an entry off without removing it; switching autostart on again
// writes an entry that is on.
TEST_F(AutostartTest, AnEntryTheDesktopSwitchedOffReadsAsOff)
{
    const QString path = executablePath();
    const struct
    {
        const char* name;
        QByteArray lines;
        bool on;
    } cases[] = {
        {"hidden", "Hidden=true\n", false},
        {"disabled for GNOME", "X-GNOME-Autostart-enabled=false\n", false},
        {"enabled for GNOME", "X-GNOME-Autostart-enabled=true\n", true},
        {"not hidden", "Hidden=false\n", true},
        {"hidden in another group", "[Desktop Action x]\nHidden=true\n", true},
    };
    for (const auto& c : cases) {
        TempProfile::writeFile(m_profile.autostartFile(),
                               "[Desktop Entry]\nType=Application\nExec=" + path.toUtf8() + "\n" + c.lines);
        EXPECT_EQ(m_config.isAutoRun(), c.on) << c.name;
        if (!c.on) {
            EXPECT_TRUE(m_config.setAutoRun(true)) << c.name;
            EXPECT_TRUE(m_config.isAutoRun()) << c.name;
        }
    }
}

TEST_F(AutostartTest, RefusedEntryReportsFalse)
{
    // A file where the autostart folder should be.
    TempProfile::writeFile(m_profile.configHome() + QStringLiteral("/autostart"), "x");
    EXPECT_FALSE(m_config.setAutoRun(true));
}

TEST_F(AutostartTest, FirstRunSwitchesAutostartOnOnce)
{
    m_config.checkFirstRun();
    EXPECT_TRUE(m_config.isAutoRun());
    EXPECT_TRUE(ini().contains(QStringLiteral("firstRun=0")));

    // Switched off in the settings, it stays off at the next start.
    m_config.setAutoRun(false);
    m_config.checkFirstRun();
    EXPECT_FALSE(m_config.isAutoRun());
}

TEST_F(AutostartTest, FirstRunIsTriedAgainWhenTheEntryWasRefused)
{
    TempProfile::writeFile(m_profile.configHome() + QStringLiteral("/autostart"), "x");
    m_config.checkFirstRun();
    EXPECT_FALSE(ini().contains(QStringLiteral("firstRun")));
    QFile::remove(m_profile.configHome() + QStringLiteral("/autostart"));
    m_config.checkFirstRun();
    EXPECT_TRUE(m_config.isAutoRun());
    EXPECT_TRUE(ini().contains(QStringLiteral("firstRun=0")));
}

} // namespace

} // namespace quorvane
