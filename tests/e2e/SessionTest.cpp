#include "config/ConfigStore.h"
#include "tests/e2e/EndToEndTest.h"

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

} // namespace quorvane
