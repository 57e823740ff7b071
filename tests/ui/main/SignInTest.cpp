// The sign-in sequence of the main window: automatic sign-in from the saved login, else the
// modal login window; the client ends when the user gives up.
#include "tests/support/NamedChild.h"
#include "tests/ui/main/MainFixture.h"

#include "app/RetryDelay.h"
#include "config/ConfigStore.h"
#include "server/ClientVersion.h"
#include "tests/support/LoopbackServer.h"
#include "ui/chrome/ImageButton.h"
#include "ui/login/AccountLoginFrame.h"
#include "ui/login/LoginFrame.h"
#include "ui/login/LoginWindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QUrlQuery>

#include <chrono>
#include <thread>

namespace quorvane {

namespace {

// The text of the error or notice a frame shows, "" for none.
QString shownErrorText(const LoginFrame& frame)
{
    for (const QLabel* label : frame.findChildren<QLabel*>()) {
        if (label->objectName().endsWith(QLatin1String("Error")) && !label->isHidden())
            return label->text();
    }
    return {};
}

// What the user does in the login window when it comes up.
enum class InLogin
{
    NotExpected,
    Cancel,
    SignIn
};

struct SignInCase
{
    const char* name;
    // The saved login.
    const char* userName;
    const char* password;
    bool rememberPass;
    bool autoLogin;
    int userType;
    // The server's answers to the two sign-in operations ("" for an HTTP error).
    const char* userLoginReply;
    const char* weiboLoginReply;
    InLogin inLogin;
    // What happened.
    QStringList requests;
    const char* loginFrame; // the frame the login window opened with, "" when it never came
    bool mainWindowShown;
    bool accountSession;
};

const char* const kAccepted = "<code>0</code><token>T0K3N</token><role>1</role>";
const char* const kRefused = "<code>1</code><msg>wrong password</msg>";
// A hotel network's sign-in page, served with status 200 for every request (sent as it stands).
const char* const kCaptivePortal =
    "RAW<html><head><title>Welcome</title></head><body>Accept the terms</body></html>";

const SignInCase kSignInCases[] = {
    {"AutoSignInSucceeds",
     "demo@quorvane.com",
     "demo123",
     true,
     true,
     0,
     kAccepted,
     kRefused,
     InLogin::NotExpected,
     {"userLogin"},
     "",
     true,
     true},
    {"AutoSignInRefused",
     "demo@quorvane.com",
     "wrong1",
     true,
     true,
     0,
     kRefused,
     kRefused,
     InLogin::Cancel,
     {"userLogin"},
     "AccountLoginFrame",
     false,
     false},
    {"AutoSignInServerDown",
     "demo@quorvane.com",
     "demo123",
     true,
     true,
     0,
     "",
     kRefused,
     InLogin::Cancel,
     {"userLogin"},
     "AccountLoginFrame",
     false,
     false},
    {"AutoSignInBehindACaptivePortal",
     "demo@quorvane.com",
     "demo123",
     true,
     true,
     0,
     kCaptivePortal,
     kRefused,
     InLogin::Cancel,
     {"userLogin"},
     "AccountLoginFrame",
     false,
     false},
    {"RememberPasswordWithoutAutoSignIn",
     "demo@quorvane.com",
     "demo123",
     true,
     false,
     0,
     kAccepted,
     kAccepted,
     InLogin::Cancel,
     {},
     "AccountLoginFrame",
     false,
     false},
    {"NothingSaved",
     "",
     "",
     true,
     true,
     0,
     kAccepted,
     kAccepted,
     InLogin::Cancel,
     {},
     "AccountLoginFrame",
     false,
     false},
    {"PasswordNotRemembered",
     "demo@quorvane.com",
     "demo123",
     false,
     true,
     0,
     kAccepted,
     kAccepted,
     InLogin::Cancel,
     {},
     "AccountLoginFrame",
     false,
     false},
    {"RefusedThenSignedInByHand",
     "demo@quorvane.com",
     "wrong1",
     true,
     true,
     0,
     kRefused,
     kRefused,
     InLogin::SignIn,
     {"userLogin", "userLogin"},
     "AccountLoginFrame",
     true,
     true},
    // A microblog login is signed in again through the microblog sign-in.
    {"MicroblogLoginSaved",
     "demo@weibo.com",
     "weibo123",
     true,
     true,
     1,
     kRefused,
     kAccepted,
     InLogin::NotExpected,
     {"weiboLogin"},
     "",
     true,
     false},
    {"MicroblogLoginRefused",
     "demo@weibo.com",
     "wrong1",
     true,
     true,
     1,
     kAccepted,
     kRefused,
     InLogin::Cancel,
     {"weiboLogin"},
     "MicroblogLoginFrame",
     false,
     false},
};

class SignInTest : public MainFixture, public ::testing::WithParamInterface<SignInCase>
{
};

TEST_P(SignInTest, ShowsTheRightWindowAfterTheRightRequests)
{
    const SignInCase& c = GetParam();
    saveLogin(QString::fromUtf8(c.userName), QString::fromUtf8(c.password), c.rememberPass, c.autoLogin,
              c.userType);
    for (const auto& [operation, reply] :
         {std::pair{"userLogin", c.userLoginReply}, {"weiboLogin", c.weiboLoginReply}}) {
        if (QByteArray(reply).startsWith("RAW"))
            m_server.reply(std::string("/quorvane2/users/") + operation, reply + 3);
        else if (*reply)
            answer(operation, reply);
        else
            fail(operation);
    }

    MainWindow& main = createMainWindow();
    // An answer that is in before the client starts shows the window at once.
    bool mainShown = main.isVisible();
    QString loginFrame;
    const RunEnd end = runClient(
        {}, [&] { return (mainShown = mainShown || main.isVisible()); },
        [&](LoginWindow& login) {
            loginFrame = frameClass(login);
            EXPECT_FALSE(main.isVisible());
            if (c.inLogin == InLogin::SignIn) {
                // The user corrects the password and signs in.
                answer("userLogin", kAccepted);
                auto* frame = qobject_cast<AccountLoginFrame*>(login.currentFrame());
                ASSERT_NE(frame, nullptr);
                child<QLineEdit>(frame, "edPassword")->setText(QStringLiteral("demo123"));
                frame->submitLogin();
            } else {
                cancelLogin(login);
            }
        });

    EXPECT_EQ(signInRequests(), c.requests);
    EXPECT_EQ(loginFrame, QString::fromLatin1(c.loginFrame));
    EXPECT_EQ(m_client->loginWindow(), nullptr);
    EXPECT_TRUE(m_client->signInStarted());
    if (c.mainWindowShown) {
        EXPECT_EQ(end, RunEnd::Stopped);
        EXPECT_TRUE(main.isVisible());
        EXPECT_FALSE(main.allowClose());
        EXPECT_TRUE(m_client->session().isLoggedIn());
        EXPECT_EQ(m_client->session().isAccountLogin(), c.accountSession);
        // The browser goes to the signed-in start page.
        ASSERT_TRUE(waitForRequest(QStringLiteral("/users/validateUser?")));
        const QString target = pageRequests().filter(QStringLiteral("/users/validateUser?")).first();
        const QUrlQuery query(target.mid(target.indexOf(QLatin1Char('?')) + 1));
        EXPECT_EQ(query.queryItemValue(QStringLiteral("userName"), QUrl::FullyDecoded),
                  QString::fromUtf8(c.userName));
        EXPECT_EQ(query.queryItemValue(QStringLiteral("token")), QStringLiteral("T0K3N"));
        EXPECT_EQ(query.queryItemValue(QStringLiteral("v")), CLIENT_VERSION);
    } else {
        // Giving up ends the client without ever showing the main window.
        EXPECT_EQ(end, RunEnd::ClientEnded);
        EXPECT_FALSE(mainShown);
        EXPECT_FALSE(m_client->session().isLoggedIn());
        EXPECT_FALSE(wasRequested(QStringLiteral("/users/validateUser")));
    }
}

INSTANTIATE_TEST_SUITE_P(SavedLogins, SignInTest, ::testing::ValuesIn(kSignInCases),
                         [](const auto& info) { return std::string(info.param.name); });

class SignInWindowsTest : public MainFixture
{
};

TEST_F(SignInWindowsTest, SecondStartBeforeSignInBeginsHasNoEffect)
{
    // The client made, not started yet.
    m_client = std::make_unique<Client>();
    // What a second start asks for through the instance lock.
    m_client->showClient();
    EXPECT_FALSE(m_client->mainWindow().isVisible());
    EXPECT_FALSE(m_client->signInStarted());
}

TEST_F(SignInWindowsTest, SecondStartWhileTheLoginWindowIsOpenBringsItForward)
{
    MainWindow& main = createMainWindow();
    bool hiddenLoginShownAgain = false;
    const RunEnd end = runClient({}, {}, [&](LoginWindow& login) {
        // The login window's minimise button only hides it; it stays modal.
        child<ImageButton>(login, "minimizeButton")->click();
        EXPECT_FALSE(login.isVisible());
        m_client->showClient();
        hiddenLoginShownAgain = login.isVisible();
        EXPECT_FALSE(main.isVisible());
        // The tray icon's menu item does the same.
        child<ImageButton>(login, "minimizeButton")->click();
        child<QAction>(main, "miOpen")->trigger();
        EXPECT_TRUE(login.isVisible());
        cancelLogin(login);
    });
    EXPECT_TRUE(hiddenLoginShownAgain);
    EXPECT_EQ(end, RunEnd::ClientEnded);
    EXPECT_FALSE(main.isVisible());
}

TEST_F(SignInWindowsTest, SecondStartShowsTheWindowHiddenInTheTray)
{
    MainWindow& main = signInAutomatically();
    main.hideToTray();
    ASSERT_FALSE(main.isVisible());
    // What a second start asks for through the instance lock.
    m_client->showClient();
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(main.isMinimized());
}

// Sign-in with the server away: the client waits (in the tray, or in the login window saying so
// when there is no tray) and signs in by itself once the server is back.
class WaitingSignInTest : public MainFixture
{
protected:
    WaitingSignInTest()
    {
        {
            const LoopbackServer gone;
            m_port = gone.port();
        }
        TempProfile::writeFile(
            m_profile.configFile(),
            QStringLiteral("[Common]\r\napp_root=http://127.0.0.1:%1\r\n").arg(m_port).toLatin1());
        ConfigStore::forgetCachedAddresses();
        saveLogin(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"), true, true, 0);
    }

    MainWindow& createWaitingClient(bool tray = true)
    {
        ClientOptions options;
        options.signInRetry = RetryDelay(200, 800);
        options.trayAvailable = [tray] { return tray; };
        return createMainWindow(options);
    }

    // The server comes back where it was.
    std::unique_ptr<LoopbackServer> serverBack()
    {
        auto server = std::make_unique<LoopbackServer>(m_port);
        server->reply("/quorvane2/users/userLogin",
                      "<responsed><code>0</code><token>T0K3N</token></responsed>");
        return server;
    }

    static int signInCount(const LoopbackServer& server)
    {
        return static_cast<int>(
            server.targets().filter(QStringLiteral("/quorvane2/users/userLogin?")).size());
    }

    int m_port = 0;
};

class WaitingSignInOnADesktop : public WaitingSignInTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(WaitingSignInOnADesktop, SignsInByItselfOnceTheServerIsBack)
{
    const bool tray = GetParam();
    MainWindow& main = createWaitingClient(tray);
    std::unique_ptr<LoopbackServer> server;
    QElapsedTimer waiting;
    bool loginShown = false;
    const RunEnd end = runClient(
        {},
        [&] {
            // A while of tries with the server away, then it comes back.
            if (!server && m_client->waitingForNetwork()) {
                if (!waiting.isValid())
                    waiting.start();
                if (waiting.elapsed() > 1500) {
                    EXPECT_FALSE(main.isVisible());
                    server = serverBack();
                }
            }
            return main.isVisible();
        },
        [&](LoginWindow& login) {
            // Without a tray the login window says what goes on; the tries go on meanwhile.
            loginShown = true;
            auto* frame = qobject_cast<LoginFrame*>(login.currentFrame());
            ASSERT_NE(frame, nullptr);
            EXPECT_EQ(shownErrorText(*frame), LoginWindow::waitingForNetworkText());
        },
        20000);
    EXPECT_EQ(end, RunEnd::Stopped);
    EXPECT_EQ(loginShown, !tray);
    EXPECT_FALSE(m_client->waitingForNetwork());
    EXPECT_EQ(m_client->loginWindow(), nullptr);
    EXPECT_TRUE(m_client->session().isLoggedIn());
    ASSERT_TRUE(server);
    EXPECT_EQ(signInCount(*server), 1);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutTray, WaitingSignInOnADesktop, ::testing::Bool(),
                         [](const auto& info) {
                             return std::string(info.param ? "WithTray" : "WithoutTray");
                         });

// The user opens the login window (from the tray) and signs in by hand: the automatic tries
// stop, and the late answer of one still under way cannot replace the user's sign-in.
TEST_F(WaitingSignInTest, ASignInByHandTakesOver)
{
    MainWindow& main = createWaitingClient();
    std::unique_ptr<LoopbackServer> server;
    bool asked = false;
    const RunEnd end = runClient(
        {},
        [&] {
            if (m_client->waitingForNetwork() && !asked) {
                asked = true;
                m_client->showClient();
            }
            return main.isVisible();
        },
        [&](LoginWindow& login) {
            auto* frame = qobject_cast<AccountLoginFrame*>(login.currentFrame());
            ASSERT_NE(frame, nullptr);
            EXPECT_EQ(shownErrorText(*frame), LoginWindow::waitingForNetworkText());
            // The server is back, but slow to answer the automatic try, which is still under
            // way when the user signs in.
            server = std::make_unique<LoopbackServer>(m_port);
            server->get("/quorvane2/users/userLogin", [](const httplib::Request& request,
                                                         httplib::Response& response) {
                if (request.get_param_value("userName") == "demo@quorvane.com")
                    std::this_thread::sleep_for(std::chrono::seconds(2));
                response.set_content("<responsed><code>0</code><token>T0K3N</token></responsed>", "text/xml");
            });
            ASSERT_TRUE(waitUntil([&] { return !server->targets().isEmpty(); }, 5000));
            child<QLineEdit>(frame, "edEmail")->setText(QStringLiteral("other@quorvane.com"));
            child<QLineEdit>(frame, "edPassword")->setText(QStringLiteral("other1"));
            frame->submitLogin();
            EXPECT_FALSE(m_client->waitingForNetwork());
        },
        20000);
    EXPECT_EQ(end, RunEnd::Stopped);
    EXPECT_EQ(m_client->session().getUserName(), QStringLiteral("other@quorvane.com"));
    // The automatic try's late answer changes nothing, and no other try follows.
    runUntil([] { return false; }, 2500);
    EXPECT_EQ(m_client->session().getUserName(), QStringLiteral("other@quorvane.com"));
    ASSERT_TRUE(server);
    EXPECT_EQ(server->targets().filter(QStringLiteral("userName=demo")).size(), 1);
}

TEST_F(SignInWindowsTest, SignInStartsOnlyOnce)
{
    MainWindow& main = signInAutomatically();
    (void)main;
    m_client->start();
    EXPECT_EQ(runUntil([] { return false; }, 300), RunEnd::TimedOut);
    EXPECT_EQ(signInRequests(), QStringList{QStringLiteral("userLogin")});
}

} // namespace

} // namespace quorvane
