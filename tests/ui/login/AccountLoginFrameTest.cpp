#include "tests/support/NamedChild.h"
#include "tests/support/WindowRequests.h"
#include "tests/ui/login/LoginFixture.h"

#include "config/ConfigKeys.h"
#include "config/ConfigStore.h"
#include "ui/chrome/MessageBox.h"
#include "ui/login/AccountLoginFrame.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>

namespace quorvane {

namespace {

// The account login frame on a shown login window.
class AccountLoginFrameTest : public LoginFixture
{
protected:
    // A window whose saved login is a microblog login opens on the microblog frame; the user
    // then switches here.
    void open()
    {
        m_window = openWindow();
        if (!qobject_cast<AccountLoginFrame*>(m_window->currentFrame()))
            m_window->showAccountLoginFrame();
        m_frame = qobject_cast<AccountLoginFrame*>(m_window->currentFrame());
        ASSERT_NE(m_frame, nullptr);
    }

    // Records the user name and password of each sign-in and answers with `elements`.
    void answerLogin(const std::string& elements)
    {
        m_server.get("/quorvane2/users/userLogin",
                     [this, elements](const httplib::Request& request, httplib::Response& response) {
                         m_sentUserName = param(request, "userName");
                         m_sentPassword = param(request, "password");
                         response.set_content(replyBody(elements), "text/xml");
                     });
    }

    QString debugLog() const
    {
        return TempProfile::readFile(m_profile.dataHome() + QStringLiteral("/quorvane/debug.txt"));
    }

    std::unique_ptr<LoginWindow> m_window;
    AccountLoginFrame* m_frame = nullptr;
    QString m_sentUserName;
    QString m_sentPassword;
};

TEST_F(AccountLoginFrameTest, ValidationShowsOneErrorAndPlacesTheCaret)
{
    const struct
    {
        const char* email;
        const char* password;
        const char* label;
        const char* text;
    } cases[] = {
        {"", "", "labEmailError", "请输入登录的E-mail!"},
        {"", "pw", "labEmailError", "请输入登录的E-mail!"},
        {"alice@example.com", "", "labPasswordError", "请填写密码！"},
        // Not trimmed: blanks count as an e-mail.
        {" ", "", "labPasswordError", "请填写密码！"},
    };
    ASSERT_NO_FATAL_FAILURE(open());
    for (const auto& c : cases) {
        // An earlier error of the other field disappears.
        m_frame->showEmailError("old");
        m_frame->showPasswordError("old");
        child<QLineEdit>(m_frame, "edEmail")->setText(QString::fromUtf8(c.email));
        child<QLineEdit>(m_frame, "edPassword")->setText(QString::fromUtf8(c.password));
        child<QCheckBox>(m_frame, "cbAutoLogin")->setFocus();
        m_frame->submitLogin();
        waitForWindowRequests();
        const ErrorShown shown = shownError(*m_frame);
        EXPECT_EQ(shown.label, c.label) << c.email << "|" << c.password;
        EXPECT_EQ(shown.text, QString::fromUtf8(c.text)) << c.email << "|" << c.password;
        EXPECT_EQ(caret(*m_window), shown.label == "labEmailError" ? "edEmail" : "edPassword");
    }
    EXPECT_TRUE(m_server.targets().isEmpty());
    EXPECT_EQ(m_window->modalResult(), LoginWindow::ResultNone);
}

TEST_F(AccountLoginFrameTest, ServerCodesShowTheirMessages)
{
    const struct
    {
        const char* elements;
        const char* label; // "" when nothing is shown
        const char* text;
    } cases[] = {
        {"<code>1</code><msg>bad password</msg>", "labPasswordError", "用户名或密码不正确!"},
        {"<code>3</code><msg>waiting</msg>", "labEmailError", "用户未激活，等待审核中!"},
        {"<code>7</code><msg>something else</msg>", "", ""},
        {"<code>-1</code>", "", ""},
        {"<code>x</code>", "", ""},
        {"<code>2</code>", "", ""},
    };
    saveLogin("saved@example.com", "saved", true, true, 0);
    ASSERT_NO_FATAL_FAILURE(open());
    for (const auto& c : cases) {
        answerLogin(c.elements);
        // An error of the previous attempt disappears with the new attempt.
        m_frame->showEmailError("previous");
        child<QLineEdit>(m_frame, "edEmail")->setText("alice@example.com");
        child<QLineEdit>(m_frame, "edPassword")->setText("pw");
        child<QCheckBox>(m_frame, "cbRemberPass")->setFocus();
        m_frame->submitLogin();
        waitForWindowRequests();
        const ErrorShown shown = shownError(*m_frame);
        EXPECT_EQ(shown.label, c.label) << c.elements;
        EXPECT_EQ(shown.text, QString::fromUtf8(c.text)) << c.elements;
        EXPECT_EQ(caret(*m_window), "cbRemberPass") << c.elements;
        EXPECT_EQ(m_window->modalResult(), LoginWindow::ResultNone);
        EXPECT_TRUE(m_window->isVisible());
    }
    EXPECT_EQ(savedLogin().userName, "saved@example.com");
    EXPECT_FALSE(m_session.isLoggedIn());
    EXPECT_FALSE(QFile::exists(m_profile.dataHome() + "/quorvane/debug.txt"));
}

TEST_F(AccountLoginFrameTest, ARefusedSignInCanBeRetriedAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(open());
    answerLogin("<code>7</code>");
    child<QLineEdit>(m_frame, "edEmail")->setText("alice@example.com");
    child<QLineEdit>(m_frame, "edPassword")->setText("pw");
    m_frame->submitLogin();
    waitForWindowRequests();
    answerLogin("<code>0</code><token>TK</token><role>1</role>");
    m_frame->submitLogin();
    waitForWindowRequests();
    EXPECT_EQ(m_server.targets().size(), 2);
    EXPECT_EQ(m_window->modalResult(), LoginWindow::ResultOk);
}

// A failed request and a reply that is no reply of this service (a captive portal answering
// every request with its own page) fail alike: nobody is signed in, no token is kept.
TEST_F(AccountLoginFrameTest, TransportFailuresShowMaintenanceAndAreLogged)
{
    const struct
    {
        const char* name;
        int status;
        const char* body;
    } cases[] = {
        {"http error", 500, "<html>down</html>"},
        {"malformed reply", 200, "<responsed><code>0</co"},
        {"an HTML page", 200,
         "<html><head><title>Hotel Wi-Fi</title></head><body><p>Sign in</p></body></html>"},
        {"JSON", 200, "{\"code\":0,\"token\":\"T\"}"},
        {"an empty body", 200, ""},
        {"trailing junk", 200, "<responsed><code>0</code><token>T</token></responsed>junk"},
        {"a second root", 200, "<responsed><code>0</code><token>T</token></responsed><responsed/>"},
        {"a bare ampersand", 200, "<responsed><code>0</code><token>T&T</token></responsed>"},
        {"no code", 200, "<responsed><token>T</token></responsed>"},
        {"another root", 200, "<reply><code>0</code><token>T</token></reply>"},
    };
    saveLogin("saved@example.com", "saved", true, true, 0);
    ASSERT_NO_FATAL_FAILURE(open());
    int entries = 0;
    for (const auto& c : cases) {
        m_server.reply("/quorvane2/users/userLogin", c.body, c.status);
        child<QLineEdit>(m_frame, "edEmail")->setText("alice@example.com");
        child<QLineEdit>(m_frame, "edPassword")->setText("pw");
        child<QLineEdit>(m_frame, "edPassword")->setFocus();
        m_frame->submitLogin();
        waitForWindowRequests();
        ++entries;
        const ErrorShown shown = shownError(*m_frame);
        EXPECT_EQ(shown.label, "labEmailError") << c.name;
        EXPECT_EQ(shown.text, "目前服务维护中，请稍后再试!") << c.name;
        EXPECT_EQ(caret(*m_window), "edPassword") << c.name;

        // Each failure adds two lines: the local date and time, then the message.
        const QStringList lines = debugLog().split("\r\n", Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2 * entries) << debugLog().toStdString();
        EXPECT_TRUE(lines.at(2 * entries - 1).startsWith("Error on longin:")) << lines.last().toStdString();
        EXPECT_GT(lines.at(2 * entries - 1).size(), QString("Error on longin:").size());
        EXPECT_FALSE(lines.at(2 * entries - 2).startsWith("Error"))
            << lines.at(2 * entries - 2).toStdString();
    }
    EXPECT_EQ(m_window->modalResult(), LoginWindow::ResultNone);
    EXPECT_EQ(savedLogin().userName, "saved@example.com");
}

// A server that cannot be reached has a message of its own, whatever the cause; the cause goes
// to the debug log.
TEST_F(AccountLoginFrameTest, AnUnreachableServerHasItsOwnMessage)
{
    // Accepts and hangs up at once, before any reply.
    QTcpServer hangUp;
    ASSERT_TRUE(hangUp.listen(QHostAddress::LocalHost));
    QObject::connect(&hangUp, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* socket = hangUp.nextPendingConnection())
            socket->abort();
    });
    LoopbackServer silent;
    silent.stall("/quorvane2/users/userLogin");
    const QString refusing = [] {
        LoopbackServer gone;
        return gone.url();
    }();
    const struct
    {
        const char* name;
        QString root;
    } cases[] = {
        {"a refused connection", refusing},
        {"a name that does not resolve", QStringLiteral("http://quorvane-nowhere.invalid")},
        {"no answer in time", silent.url()},
        {"a connection closed without a reply",
         QStringLiteral("http://127.0.0.1:%1").arg(hangUp.serverPort())},
    };
    ASSERT_NO_FATAL_FAILURE(open());
    for (const auto& c : cases) {
        TempProfile::writeFile(m_profile.configFile(), "[Common]\r\napp_root=" + c.root.toLatin1() + "\r\n");
        ConfigStore::forgetCachedAddresses();
        QFile::remove(m_profile.dataHome() + "/quorvane/debug.txt");
        child<QLineEdit>(m_frame, "edEmail")->setText("alice@example.com");
        child<QLineEdit>(m_frame, "edPassword")->setText("pw");
        m_frame->submitLogin();
        ASSERT_TRUE(waitForWindowRequests()) << c.name;
        EXPECT_EQ(shownError(*m_frame).text, "无法连接服务器，请检查网络后再试!") << c.name;
        EXPECT_TRUE(debugLog().contains("Error on longin:")) << c.name;
    }
}

TEST_F(AccountLoginFrameTest, SuccessSavesTheLoginWithTheFlagsAndEndsWithOk)
{
    const struct
    {
        bool rememberPass;
        bool autoLogin;
    } cases[] = {{true, true}, {false, false}, {true, false}};
    for (const auto& c : cases) {
        saveLogin("weibo-user", "old", !c.rememberPass, !c.autoLogin, 1);
        ASSERT_NO_FATAL_FAILURE(open());
        answerLogin("<code>0</code><token>TK1</token><role>2</role>");
        child<QLineEdit>(m_frame, "edEmail")->setText("alice@example.com");
        child<QLineEdit>(m_frame, "edPassword")->setText("new 密码");
        child<QCheckBox>(m_frame, "cbRemberPass")->setChecked(c.rememberPass);
        child<QCheckBox>(m_frame, "cbAutoLogin")->setChecked(c.autoLogin);
        m_frame->submitLogin();
        waitForWindowRequests();

        EXPECT_EQ(m_window->modalResult(), LoginWindow::ResultOk);
        EXPECT_FALSE(m_window->isVisible());
        EXPECT_EQ(m_sentUserName, "alice@example.com");
        EXPECT_EQ(m_sentPassword, "new 密码");
        const SavedLogin saved = savedLogin();
        EXPECT_EQ(saved.userName, "alice@example.com");
        EXPECT_EQ(saved.password, "new 密码");
        EXPECT_EQ(saved.rememberPass, c.rememberPass);
        EXPECT_EQ(saved.autoLogin, c.autoLogin);
        EXPECT_EQ(saved.userType, 0);
        // Stored scrambled, never as typed.
        EXPECT_FALSE(iniValue(ConfigKey::kPassword.key).isEmpty());
        EXPECT_FALSE(TempProfile::readFile(m_profile.configFile()).contains("new"));
        EXPECT_EQ(m_session.getToken(), "TK1");
        EXPECT_EQ(m_session.getUserName(), "alice@example.com");
        EXPECT_TRUE(m_session.isAccountLogin());
    }
}

TEST_F(AccountLoginFrameTest, TheEmailGoesToTheServerAsTyped)
{
    ASSERT_NO_FATAL_FAILURE(open());
    answerLogin("<code>1</code>");
    child<QLineEdit>(m_frame, "edEmail")->setText(" ");
    child<QLineEdit>(m_frame, "edPassword")->setText(" pw ");
    m_frame->submitLogin();
    waitForWindowRequests();
    EXPECT_EQ(m_sentUserName, " ");
    EXPECT_EQ(m_sentPassword, " pw ");
}

TEST_F(AccountLoginFrameTest, AMicroblogLoginFillsOnlyTheFlags)
{
    saveLogin("weibo-user", "pw", false, true, 1);
    LoginWindow window(m_session);
    window.showAccountLoginFrame();
    auto* login = qobject_cast<AccountLoginFrame*>(window.currentFrame());
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(child<QLineEdit>(login, "edEmail")->text(), "");
    EXPECT_EQ(child<QLineEdit>(login, "edPassword")->text(), "");
    EXPECT_FALSE(child<QCheckBox>(login, "cbRemberPass")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(login, "cbAutoLogin")->isChecked());
}

TEST_F(AccountLoginFrameTest, ANewProfileChecksBothBoxes)
{
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_TRUE(child<QCheckBox>(m_frame, "cbRemberPass")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(m_frame, "cbAutoLogin")->isChecked());
    EXPECT_EQ(child<QLineEdit>(m_frame, "edEmail")->text(), "");
}

// A login the profile refuses to store is reported, and the user stays signed in.
TEST_F(AccountLoginFrameTest, ALoginThatCannotBeSavedIsReportedAndTheSignInStands)
{
    ASSERT_NO_FATAL_FAILURE(open());
    answerLogin("<code>0</code><token>TK</token><role>1</role>");
    ConfigStore().getAppUrl();
    ASSERT_TRUE(QFile::remove(m_profile.configFile()));
    ASSERT_TRUE(QDir().mkpath(m_profile.configFile()));
    child<QLineEdit>(m_frame, "edEmail")->setText("alice@example.com");
    child<QLineEdit>(m_frame, "edPassword")->setText("pw");
    m_frame->submitLogin();
    waitForWindowRequests();
    const QList<ShownMessage> shown = MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().title, "Quorvane");
    EXPECT_FALSE(shown.first().text.isEmpty());
    EXPECT_EQ(m_window->modalResult(), LoginWindow::ResultOk);
    EXPECT_TRUE(m_session.isLoggedIn());
}

} // namespace

} // namespace quorvane
