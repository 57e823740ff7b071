#include "config/SelvorConfig.h"
#include "tests/app/ClientProcess.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempProfile.h"

#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <optional>

namespace {

qint64 StoredHandle(const TempProfile& profile)
{
    const QString ini = TempProfile::ReadFile(profile.ConfigFile());
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("handle=(-?\\d+)")).match(ini);
    return match.hasMatch() ? match.captured(1).toLongLong() : 0;
}

void SetStoredHandle(const TempProfile& profile, const QString& value)
{
    QString ini = TempProfile::ReadFile(profile.ConfigFile());
    ini.replace(QRegularExpression(QStringLiteral("handle=-?\\d+")), QStringLiteral("handle=") + value);
    TempProfile::WriteFile(profile.ConfigFile(), ini.toLatin1());
}

// Clicks at a point of a window, as a person would.
void ClickAt(qint64 windowId, int x, int y)
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
        // The application server signs the saved login in and has no notification waiting.
        server.Reply("/quorvane2/users/userLogin",
                     "<responsed><code>0</code><token>t1</token><role>1</role></responsed>");
        server.Reply("/quorvane2/information/getInformationList", "<responsed><code>0</code></responsed>");
        server.Reply("/res/download/quorvane_version.txt", "01.00.201205281429", 200, "text/plain");
        TempProfile::WriteFile(profile.ConfigFile(), ("[Common]\napp_root=" + server.Url() +
                                                      "\ndown_url=" + server.Url() + "/res/download\n")
                                                         .toLatin1());
        TSelvorConfig().SaveConfigInfo(
            {QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"), true, true, 0});
    }

    // Starts the client, which signs in on its own and shows its main window, then hides the
    // window to the tray with its minimise button. Gives the hidden window's id.
    qint64 StartSignedInClientAndHideIt()
    {
        first.emplace(profile);
        first->Start();
        qint64 handle = 0;
        EXPECT_TRUE(WaitUntil(
            [&] { return MapState(handle = StoredHandle(profile)) == QStringLiteral("IsViewable"); }, 60000));
        ClickAt(handle, 912 + 14, 8 + 8); // the minimise button of the title bar
        EXPECT_TRUE(WaitUntil([&] { return MapState(handle) == QStringLiteral("IsUnMapped"); }, 10000));
        return handle;
    }

    // Runs a second client to its end and checks that it ended as it should.
    void RunSecondClient()
    {
        ClientProcess second(profile);
        second.Start();
        ASSERT_TRUE(second.WaitForExit(30000));
        EXPECT_TRUE(second.EndedNormally());
        EXPECT_EQ(second.ExitCode(), 0);
    }

    LoopbackServer server;
    TempProfile profile;
    std::optional<ClientProcess> first;
};

TEST_F(SingleInstanceTest, SecondStartShowsTheHiddenClientAndEnds)
{
    const qint64 handle = StartSignedInClientAndHideIt();
    // The first run switched autostart on for this executable.
    EXPECT_TRUE(TempProfile::ReadFile(profile.AutostartFile())
                    .contains(QStringLiteral("Exec=") + QStringLiteral(QUORVANE_CLIENT_EXE)));
    const int signIns = server.Targets().filter(QStringLiteral("userLogin")).size();

    RunSecondClient();

    EXPECT_TRUE(WaitUntil([&] { return MapState(handle) == QStringLiteral("IsViewable"); }, 10000));
    EXPECT_EQ(StoredHandle(profile), handle); // the second start wrote nothing
    EXPECT_EQ(server.Targets().filter(QStringLiteral("userLogin")).size(), signIns); // nor signed in
}

TEST_F(SingleInstanceTest, StaleOrMissingHandleHasNoEffect)
{
    const qint64 handle = StartSignedInClientAndHideIt();
    for (const char* stored : {"-1", "12345", "0"}) {
        SetStoredHandle(profile, QString::fromLatin1(stored));
        RunSecondClient();
        EXPECT_EQ(MapState(handle), QStringLiteral("IsUnMapped")) << stored;
    }
}

TEST_F(SingleInstanceTest, ClientStartsAgainAfterTheFirstHasEnded)
{
    const qint64 old = StartSignedInClientAndHideIt();
    first.reset(); // ends the first client, and with it the lock
    // The next start runs as the first instance: it creates its own main window.
    first.emplace(profile);
    first->Start();
    EXPECT_TRUE(WaitUntil([&] { return StoredHandle(profile) > 0 && StoredHandle(profile) != old; }, 60000));
}

} // namespace
