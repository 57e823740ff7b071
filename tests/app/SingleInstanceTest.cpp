#include "config/ConfigStore.h"
#include "tests/app/ClientProcess.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempProfile.h"
#include "tests/support/TrayHost.h"

#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <optional>

namespace quorvane {

namespace {

qint64 storedHandle(const TempProfile& profile)
{
    const QString ini = TempProfile::readFile(profile.configFile());
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("handle=(-?\\d+)")).match(ini);
    return match.hasMatch() ? match.captured(1).toLongLong() : 0;
}

void setStoredHandle(const TempProfile& profile, const QString& value)
{
    QString ini = TempProfile::readFile(profile.configFile());
    ini.replace(QRegularExpression(QStringLiteral("handle=-?\\d+")), QStringLiteral("handle=") + value);
    TempProfile::writeFile(profile.configFile(), ini.toLatin1());
}

// Clicks at a point of a window, as a person would.
void clickAt(qint64 windowId, int x, int y)
{
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(windowId),
                       QString::number(x), QString::number(y), QStringLiteral("click"), QStringLiteral("1")});
}

class SingleInstanceTest : public ::testing::Test
{
protected:
    SingleInstanceTest()
    {
        // A tray for the window to hide to: without one it would only be minimised.
        EXPECT_TRUE(m_trayHost.start()) << m_trayHost.error().toStdString();
        // The application server signs the saved login in and has no notification waiting.
        m_server.reply("/quorvane2/users/userLogin",
                       "<responsed><code>0</code><token>t1</token><role>1</role></responsed>");
        m_server.reply("/quorvane2/information/getInformationList", "<responsed><code>0</code></responsed>");
        m_server.reply("/res/download/quorvane_version.txt", "01.00.201205281429", 200, "text/plain");
        TempProfile::writeFile(m_profile.configFile(), ("[Common]\napp_root=" + m_server.url() +
                                                        "\ndown_url=" + m_server.url() + "/res/download\n")
                                                           .toLatin1());
        ConfigStore().saveConfigInfo(
            {QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"), true, true, 0});
    }

    // Starts the client, which signs in on its own and shows its main window, then hides the
    // window to the tray with its minimise button. Gives the hidden window's id.
    qint64 startSignedInClientAndHideIt()
    {
        m_first.emplace(m_profile);
        m_first->start();
        qint64 handle = 0;
        EXPECT_TRUE(waitUntil(
            [&] { return mapState(handle = storedHandle(m_profile)) == QStringLiteral("IsViewable"); },
            60000));
        clickAt(handle, 912 + 14, 8 + 8); // the minimise button of the title bar
        EXPECT_TRUE(waitUntil([&] { return mapState(handle) == QStringLiteral("IsUnMapped"); }, 10000));
        return handle;
    }

    // Runs a second client to its end and checks that it ended as it should.
    void runSecondClient()
    {
        ClientProcess second(m_profile);
        second.start();
        ASSERT_TRUE(second.waitForExit(30000));
        EXPECT_TRUE(second.endedNormally());
        EXPECT_EQ(second.exitCode(), 0);
    }

    ~SingleInstanceTest() override
    {
        m_first.reset();
        m_trayHost.stop();
    }

    TrayHost m_trayHost;
    LoopbackServer m_server;
    TempProfile m_profile;
    std::optional<ClientProcess> m_first;
};

TEST_F(SingleInstanceTest, SecondStartShowsTheHiddenClientAndEnds)
{
    const qint64 handle = startSignedInClientAndHideIt();
    // The first run switched autostart on for this executable.
    EXPECT_TRUE(TempProfile::readFile(m_profile.autostartFile())
                    .contains(QStringLiteral("Exec=") + QStringLiteral(QUORVANE_CLIENT_EXE)));
    const int signIns = m_server.targets().filter(QStringLiteral("userLogin")).size();

    runSecondClient();

    EXPECT_TRUE(waitUntil([&] { return mapState(handle) == QStringLiteral("IsViewable"); }, 10000));
    EXPECT_EQ(storedHandle(m_profile), handle); // the second start wrote nothing
    EXPECT_EQ(m_server.targets().filter(QStringLiteral("userLogin")).size(), signIns); // nor signed in
}

TEST_F(SingleInstanceTest, StaleOrMissingHandleHasNoEffect)
{
    const qint64 handle = startSignedInClientAndHideIt();
    for (const char* stored : {"-1", "12345", "0"}) {
        setStoredHandle(m_profile, QString::fromLatin1(stored));
        runSecondClient();
        EXPECT_EQ(mapState(handle), QStringLiteral("IsUnMapped")) << stored;
    }
}

TEST_F(SingleInstanceTest, ClientStartsAgainAfterTheFirstHasEnded)
{
    const qint64 old = startSignedInClientAndHideIt();
    m_first.reset(); // ends the first client, and with it the lock
    // The next start runs as the first instance: it creates its own main window.
    m_first.emplace(m_profile);
    m_first->start();
    EXPECT_TRUE(
        waitUntil([&] { return storedHandle(m_profile) > 0 && storedHandle(m_profile) != old; }, 60000));
}

} // namespace

} // namespace quorvane
