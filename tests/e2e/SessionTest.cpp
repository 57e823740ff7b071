#include "config/ConfigStore.h"
#include "tests/e2e/EndToEndTest.h"
#include "tests/support/LoopbackServer.h"

#include <QFile>

namespace quorvane {

namespace {

using SessionTest = EndToEndTest;

// The tray menu of the signed-in client: "退出" is its last item.
const QStringList kExitFromMenu = {QStringLiteral("Up"), QStringLiteral("Return")};

} // namespace

// A person signs in through the login window, ends the client with "退出" in the tray menu and
// starts it again: the second start signs in on its own with the saved login.
TEST_F(SessionTest, LoginWindowSignsInAndTheNextStartSignsInAutomatically)
{
    ClientProgram* client = startClient();
    const std::optional<DesktopWindow> login = waitForWindow(client->pid(), WindowSize::kLogin);
    ASSERT_TRUE(login) << "no login window";
    EXPECT_EQ(Desktop::windowName(login->id), QStringLiteral("Quorvane"));
    EXPECT_FALSE(
        Desktop::shownWindowOfSize(client->pid(), WindowSize::kMain.width(), WindowSize::kMain.height()))
        << "the main window shows before sign-in";
    EXPECT_TRUE(waitForTrayIcon(client->pid())) << "no tray icon while the login window is open";
    EXPECT_TRUE(m_server->requestsTo(QStringLiteral("/quorvane2/users/userLogin")).isEmpty());

    signInThroughLoginWindow(*login, kUser, kPassword);
    const std::optional<DesktopWindow> main =
        waitForWindow(client->pid(), WindowSize::kMain, kActionTimeoutMs);
    ASSERT_TRUE(main) << "no main window after sign-in";
    EXPECT_TRUE(waitForWindowGone(client->pid(), WindowSize::kLogin)) << "the login window stays";

    // What the server received: the typed account, then the signed-in start page in the browser.
    const QList<LoggedRequest> logins = m_server->requestsTo(QStringLiteral("/quorvane2/users/userLogin"));
    ASSERT_EQ(logins.size(), 1);
    EXPECT_EQ(logins[0].query.value(QStringLiteral("userName")), kUser);
    EXPECT_EQ(logins[0].query.value(QStringLiteral("password")), kPassword);
    EXPECT_EQ(logins[0].query.value(QStringLiteral("format")), QStringLiteral("xml"));
    const QList<LoggedRequest> startPage = waitForRequests(QStringLiteral("/quorvane2/users/validateUser"));
    ASSERT_EQ(startPage.size(), 1);
    EXPECT_EQ(startPage[0].query.value(QStringLiteral("userName")), kUser);
    EXPECT_FALSE(startPage[0].query.value(QStringLiteral("token")).isEmpty());
    EXPECT_EQ(startPage[0].query.value(QStringLiteral("v")), QStringLiteral(QUORVANE_CLIENT_VERSION_TEXT));

    // What the files hold: the saved login (the password scrambled), the window handle of the
    // running client, the first-run step and its autostart entry.
    EXPECT_EQ(iniValue(QStringLiteral("uname")), kUser);
    EXPECT_NE(iniValue(QStringLiteral("passwd")), kPassword);
    EXPECT_FALSE(iniValue(QStringLiteral("passwd")).isEmpty());
    EXPECT_EQ(ConfigStore().loadConfigInfo().password, kPassword);
    EXPECT_EQ(iniValue(QStringLiteral("rember_pass")), QStringLiteral("1"));
    EXPECT_EQ(iniValue(QStringLiteral("auto_login")), QStringLiteral("1"));
    EXPECT_EQ(iniValue(QStringLiteral("user_type")), QStringLiteral("0"));
    EXPECT_EQ(iniValue(QStringLiteral("handle")), QString::number(main->id));
    EXPECT_EQ(iniValue(QStringLiteral("firstRun")), QStringLiteral("0"));
    EXPECT_TRUE(TempProfile::readFile(m_profile->autostartFile())
                    .contains(QStringLiteral("Exec=") + QStringLiteral(QUORVANE_CLIENT_EXE)));

    // "退出" in the tray menu ends the client.
    ASSERT_TRUE(chooseFromTrayMenu(client->pid(), kExitFromMenu)) << "no tray menu";
    ASSERT_TRUE(client->waitForExit(kActionTimeoutMs)) << "the client runs on after 退出";
    EXPECT_TRUE(client->endedNormally());
    EXPECT_EQ(client->exitCode(), 0);

    // The next start signs in with the saved login and never shows the login window.
    ClientProgram* next = startClient();
    bool loginShown = false;
    std::optional<DesktopWindow> nextMain;
    waitFor(
        [&] {
            loginShown = loginShown || Desktop::shownWindowOfSize(next->pid(), WindowSize::kLogin.width(),
                                                                  WindowSize::kLogin.height());
            nextMain = Desktop::shownWindowOfSize(next->pid(), WindowSize::kMain.width(),
                                                  WindowSize::kMain.height());
            return nextMain.has_value();
        },
        kStartTimeoutMs, 200);
    ASSERT_TRUE(nextMain) << "no main window at the next start";
    EXPECT_FALSE(loginShown) << "the login window showed although the login was saved";
    const QList<LoggedRequest> automatic =
        waitForRequests(QStringLiteral("/quorvane2/users/userLogin"), 2, kActionTimeoutMs);
    ASSERT_EQ(automatic.size(), 2);
    EXPECT_EQ(automatic[1].query.value(QStringLiteral("userName")), kUser);
    EXPECT_EQ(automatic[1].query.value(QStringLiteral("password")), kPassword);
    EXPECT_EQ(iniValue(QStringLiteral("handle")), QString::number(nextMain->id));
}

// A second start while the client hides in the tray brings the running client's main window
// forward and ends at once, without signing in.
TEST_F(SessionTest, SecondStartBringsTheHiddenWindowForward)
{
    saveLogin(kUser, kPassword);
    ClientProgram* client = startClient();
    const std::optional<DesktopWindow> main = waitForWindow(client->pid(), WindowSize::kMain);
    ASSERT_TRUE(main) << "no main window";

    clickMinimise(*main);
    ASSERT_TRUE(waitForWindowGone(client->pid(), WindowSize::kMain)) << "the minimise button does not hide";
    EXPECT_TRUE(waitForTrayIcon(client->pid())) << "the tray icon went with the window";

    ClientProgram* second = startClient();
    ASSERT_TRUE(second->waitForExit(kActionTimeoutMs)) << "the second start runs on";
    EXPECT_TRUE(second->endedNormally());
    EXPECT_EQ(second->exitCode(), 0);

    const std::optional<DesktopWindow> shown =
        waitForWindow(client->pid(), WindowSize::kMain, kActionTimeoutMs);
    ASSERT_TRUE(shown) << "the hidden main window was not brought forward";
    EXPECT_EQ(shown->id, main->id);
    EXPECT_EQ(m_server->requestsTo(QStringLiteral("/quorvane2/users/userLogin")).size(), 1)
        << "the second start signed in";
    EXPECT_TRUE(client->running());
}

// The settings window saves its three ticks; they take effect: the close button ends the client,
// and the next start shows the login window instead of signing in.
TEST_F(SessionTest, SettingsAreSavedAndTakeEffect)
{
    saveLogin(kUser, kPassword);
    ClientProgram* client = startClient();
    const std::optional<DesktopWindow> main = waitForWindow(client->pid(), WindowSize::kMain);
    ASSERT_TRUE(main) << "no main window";
    // The first start switched autostart on.
    ASSERT_TRUE(QFile::exists(m_profile->autostartFile()));

    // "系统设置(&S)..." in the tray menu.
    ASSERT_TRUE(chooseFromTrayMenu(client->pid(), {QStringLiteral("s")})) << "no tray menu";
    const std::optional<DesktopWindow> settings =
        waitForWindow(client->pid(), WindowSize::kSettings, kActionTimeoutMs);
    ASSERT_TRUE(settings) << "no settings window";
    EXPECT_EQ(Desktop::windowName(settings->id), QStringLiteral("系统设置"));

    // Untick "开机时自动启动" and "启动时自动登录", tick "点击关闭自动退出", then save.
    Desktop::click(settings->at(149 + 8, 75 + 8));
    Desktop::click(settings->at(149 + 8, 105 + 8));
    Desktop::click(settings->at(149 + 8, 136 + 8));
    Desktop::click(settings->at(129 + 39, 180 + 13));
    ASSERT_TRUE(waitForWindowGone(client->pid(), WindowSize::kSettings)) << "the settings window stays";
    EXPECT_EQ(iniValue(QStringLiteral("auto_login")), QStringLiteral("0"));
    EXPECT_EQ(iniValue(QStringLiteral("close_on_exit")), QStringLiteral("1"));
    EXPECT_FALSE(QFile::exists(m_profile->autostartFile())) << "the autostart entry stays";
    EXPECT_EQ(iniValue(QStringLiteral("uname")), kUser) << "saving the settings lost the login";

    // With close-on-exit the close button ends the client.
    clickClose(*main);
    ASSERT_TRUE(client->waitForExit(kActionTimeoutMs)) << "the close button did not end the client";
    EXPECT_EQ(client->exitCode(), 0);

    // Without automatic sign-in the next start shows the login window and signs nobody in.
    ClientProgram* next = startClient();
    const std::optional<DesktopWindow> login = waitForWindow(next->pid(), WindowSize::kLogin);
    ASSERT_TRUE(login) << "no login window although automatic sign-in is off";
    EXPECT_EQ(m_server->requestsTo(QStringLiteral("/quorvane2/users/userLogin")).size(), 1);

    // Closing the login window ends the client without signing in.
    Desktop::click(login->at(415 + 14, 8 + 8));
    ASSERT_TRUE(next->waitForExit(kActionTimeoutMs)) << "closing the login window did not end the client";
    EXPECT_EQ(next->exitCode(), 0);
    EXPECT_EQ(m_server->requestsTo(QStringLiteral("/quorvane2/users/userLogin")).size(), 1);
}

// Logon before the network is up: with the server away the client waits in the tray, shows no
// window, and signs in by itself a few seconds after the server has come up.
TEST_F(SessionTest, AStartWithTheServerDownSignsInOnceItIsUp)
{
    saveLogin(kUser, kPassword);
    m_server->stop();
    ClientProgram* client = startClient();
    ASSERT_TRUE(waitForTrayIcon(client->pid())) << "no tray icon while the client waits";
    bool loginShown = false;
    const auto anyWindow = [&] {
        loginShown = loginShown || Desktop::shownWindowOfSize(client->pid(), WindowSize::kLogin.width(),
                                                              WindowSize::kLogin.height());
        return loginShown || Desktop::shownWindowOfSize(client->pid(), WindowSize::kMain.width(),
                                                        WindowSize::kMain.height());
    };
    EXPECT_FALSE(waitFor(anyWindow, 3000, 200)) << "a window came up while the server was away";
    EXPECT_TRUE(client->running());

    ASSERT_TRUE(m_server->start()) << m_server->output().toStdString();
    std::optional<DesktopWindow> main;
    waitFor(
        [&] {
            anyWindow();
            main = Desktop::shownWindowOfSize(client->pid(), WindowSize::kMain.width(),
                                              WindowSize::kMain.height());
            return main.has_value();
        },
        kStartTimeoutMs, 200);
    ASSERT_TRUE(main) << "no sign-in after the server came up";
    EXPECT_FALSE(loginShown) << "the login window came up although a tray is present";
    const QList<LoggedRequest> signIns = m_server->requestsTo(QStringLiteral("/quorvane2/users/userLogin"));
    ASSERT_EQ(signIns.size(), 1);
    EXPECT_EQ(signIns[0].query.value(QStringLiteral("userName")), kUser);
}

// A server restart ends every session: the client sees two refused polls, signs in again by
// itself and reloads its page with the new token, and its polls are answered again.
TEST_F(SessionTest, AfterAServerRestartTheClientSignsInAgainByItself)
{
    saveLogin(kUser, kPassword);
    ClientProgram* client = startClient(QStringLiteral(QUORVANE_QUICK_POLL_CLIENT_EXE));
    ASSERT_TRUE(waitForWindow(client->pid(), WindowSize::kMain)) << "no main window";
    const QString pollPath = QStringLiteral("/quorvane2/information/getInformationList");
    ASSERT_EQ(waitForRequests(pollPath, 1).size(), 1) << "no poll";
    const QList<LoggedRequest> firstPages =
        waitForRequests(QStringLiteral("/quorvane2/users/validateUser"), 1);
    ASSERT_EQ(firstPages.size(), 1);
    const QString firstToken = firstPages[0].query.value(QStringLiteral("token"));

    m_server->stop();
    const int pollsBefore = static_cast<int>(m_server->requestsTo(pollPath).size());
    ASSERT_TRUE(m_server->start()) << m_server->output().toStdString();

    const QList<LoggedRequest> signIns =
        waitForRequests(QStringLiteral("/quorvane2/users/userLogin"), 2, kStartTimeoutMs);
    ASSERT_EQ(signIns.size(), 2) << "no new sign-in after the restart";
    EXPECT_EQ(signIns[1].query.value(QStringLiteral("userName")), kUser);
    EXPECT_EQ(signIns[1].query.value(QStringLiteral("password")), kPassword);
    const QList<LoggedRequest> pages = waitForRequests(QStringLiteral("/quorvane2/users/validateUser"), 2);
    ASSERT_EQ(pages.size(), 2) << "the main page was not loaded again";
    const QString newToken = pages[1].query.value(QStringLiteral("token"));
    EXPECT_NE(newToken, firstToken);

    // In the log: polls with the old token after the restart, which the server refused, then
    // polls with the new token.
    int oldTokenPolls = 0;
    for (const LoggedRequest& request : m_server->requestsTo(pollPath)) {
        if (request.query.value(QStringLiteral("token")) == firstToken)
            ++oldTokenPolls;
    }
    EXPECT_GE(oldTokenPolls - pollsBefore, 2);
    EXPECT_TRUE(waitFor(
        [&] {
            for (const LoggedRequest& request : m_server->requestsTo(pollPath)) {
                if (request.query.value(QStringLiteral("token")) == newToken)
                    return true;
            }
            return false;
        },
        kActionTimeoutMs, 200))
        << "no poll with the new token";
    EXPECT_FALSE(
        Desktop::shownWindowOfSize(client->pid(), WindowSize::kLogin.width(), WindowSize::kLogin.height()));
}

// A server that takes the connection and never answers: while the sign-in waits, the login window
// still follows a drag of its title (its user-interface thread is free), and its close button
// ends the client at once instead of after the request's time limit.
TEST_F(SessionTest, AStalledSignInLeavesTheLoginWindowAlive)
{
    LoopbackServer silent;
    silent.stall("/quorvane2/users/userLogin");
    TempProfile::writeFile(configFile(),
                           QStringLiteral("[Common]\napp_root=%1\n").arg(silent.url()).toLatin1());
    ClientProgram* client = startClient();
    const std::optional<DesktopWindow> login = waitForWindow(client->pid(), WindowSize::kLogin);
    ASSERT_TRUE(login) << "no login window";
    signInThroughLoginWindow(*login, kUser, kPassword);
    ASSERT_TRUE(silent.waitForRequests(1)) << "the sign-in did not go out";

    // Drag the title picture by (60, 40).
    const QPoint grab = login->at(120, 20);
    Desktop::moveMouse(grab);
    Desktop::run(QStringLiteral("xdotool"), {QStringLiteral("mousedown"), QStringLiteral("1")});
    for (int step = 1; step <= 4; ++step)
        Desktop::moveMouse(grab + QPoint(15 * step, 10 * step));
    Desktop::run(QStringLiteral("xdotool"), {QStringLiteral("mouseup"), QStringLiteral("1")});
    std::optional<DesktopWindow> moved;
    EXPECT_TRUE(waitFor(
        [&] {
            moved = Desktop::inspect(login->id);
            return moved && moved->geometry.topLeft() == login->geometry.topLeft() + QPoint(60, 40);
        },
        kActionTimeoutMs, 100))
        << "the window did not follow the drag while the sign-in waited";

    // The close button, at its place in the moved window; the request would take 30 s.
    ASSERT_TRUE(moved);
    Desktop::click(moved->at(415 + 14, 8 + 8));
    EXPECT_TRUE(client->waitForExit(5000)) << "closing the login window waited for the server";
    EXPECT_TRUE(client->endedNormally());
}

// A desktop without a tray (GNOME's default): closing the main window puts it on the task bar
// instead of withdrawing it, and the window's own menu offers "退出".
class SessionWithoutTrayTest : public EndToEndTest
{
protected:
    bool trayHost() const override { return false; }
};

TEST_F(SessionWithoutTrayTest, CloseMinimisesAndTheWindowsMenuQuits)
{
    saveLogin(kUser, kPassword);
    ClientProgram* client = startClient();
    const std::optional<DesktopWindow> main = waitForWindow(client->pid(), WindowSize::kMain);
    ASSERT_TRUE(main) << "no main window";
    EXPECT_FALSE(trayIcon(client->pid()));

    clickClose(*main);
    // Withdrawn, the window would be gone from the screen (and from the task bar) for good.
    EXPECT_FALSE(waitForWindowGone(client->pid(), WindowSize::kMain, 1500)) << "the window was withdrawn";
    EXPECT_TRUE(client->running());

    // The option button's menu; its last item is "退出".
    Desktop::click(main->at(885 + 10, 6 + 8));
    Desktop::key({QStringLiteral("Up"), QStringLiteral("Return")});
    ASSERT_TRUE(client->waitForExit(kActionTimeoutMs)) << "the window's menu did not end the client";
    EXPECT_EQ(client->exitCode(), 0);
}

} // namespace quorvane
