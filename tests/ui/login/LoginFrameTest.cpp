#include "tests/ui/login/LoginFixture.h"

#include "config/ConfigKeys.h"
#include "config/SelvorConfig.h"
#include "ui/chrome/CaptionLabel.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/MessageBox.h"
#include "ui/login/LoginFrame.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>

namespace {

// The account login frame on a shown login window.
class LoginFrameTest : public LoginFixture
{
protected:
    // A window whose saved login is a microblog login opens on the microblog frame; the user
    // then switches here.
    void Open()
    {
        window = OpenWindow();
        if (!qobject_cast<TframeLogin*>(window->CurrentFrame()))
            window->showLoginFrame();
        frame = qobject_cast<TframeLogin*>(window->CurrentFrame());
        ASSERT_NE(frame, nullptr);
    }

    // Records the user name and password of each sign-in and answers with `elements`.
    void AnswerLogin(const std::string& elements)
    {
        server.Get("/quorvane2/users/userLogin",
                   [this, elements](const httplib::Request& request, httplib::Response& response) {
                       sentUserName = Param(request, "userName");
                       sentPassword = Param(request, "password");
                       response.set_content(ReplyBody(elements), "text/xml");
                   });
    }

    QString DebugLog() const
    {
        return TempProfile::ReadFile(profile.DataHome() + QStringLiteral("/quorvane/debug.txt"));
    }

    std::unique_ptr<TfrmLogin> window;
    TframeLogin* frame = nullptr;
    QString sentUserName;
    QString sentPassword;
};

TEST_F(LoginFrameTest, ValidationShowsOneErrorAndPlacesTheCaret)
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
    ASSERT_NO_FATAL_FAILURE(Open());
    for (const auto& c : cases) {
        // An earlier error of the other field disappears.
        frame->showEmailError("old");
        frame->showPasswordError("old");
        frame->edEmail->setText(QString::fromUtf8(c.email));
        frame->edPassword->setText(QString::fromUtf8(c.password));
        frame->cbAutoLogin->setFocus();
        frame->submitLogin();
        const TShownError shown = ShownError(*frame);
        EXPECT_EQ(shown.label, c.label) << c.email << "|" << c.password;
        EXPECT_EQ(shown.text, QString::fromUtf8(c.text)) << c.email << "|" << c.password;
        EXPECT_EQ(Caret(*window), shown.label == "labEmailError" ? "edEmail" : "edPassword");
    }
    EXPECT_TRUE(server.Targets().isEmpty());
    EXPECT_EQ(window->ModalResult(), TfrmLogin::ResultNone);
}

TEST_F(LoginFrameTest, ServerCodesShowTheirMessages)
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
    SaveLogin("saved@example.com", "saved", true, true, 0);
    ASSERT_NO_FATAL_FAILURE(Open());
    for (const auto& c : cases) {
        AnswerLogin(c.elements);
        // An error of the previous attempt disappears with the new attempt.
        frame->showEmailError("previous");
        frame->edEmail->setText("alice@example.com");
        frame->edPassword->setText("pw");
        frame->cbRemberPass->setFocus();
        frame->submitLogin();
        const TShownError shown = ShownError(*frame);
        EXPECT_EQ(shown.label, c.label) << c.elements;
        EXPECT_EQ(shown.text, QString::fromUtf8(c.text)) << c.elements;
        EXPECT_EQ(Caret(*window), "cbRemberPass") << c.elements;
        EXPECT_EQ(window->ModalResult(), TfrmLogin::ResultNone);
        EXPECT_TRUE(window->isVisible());
    }
    EXPECT_EQ(SavedLogin().UserName, "saved@example.com");
    EXPECT_FALSE(session.IsLoggedIn());
    EXPECT_FALSE(QFile::exists(profile.DataHome() + "/quorvane/debug.txt"));
}

TEST_F(LoginFrameTest, ARefusedSignInCanBeRetriedAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    AnswerLogin("<code>7</code>");
    frame->edEmail->setText("alice@example.com");
    frame->edPassword->setText("pw");
    frame->submitLogin();
    AnswerLogin("<code>0</code><token>TK</token><role>1</role>");
    frame->submitLogin();
    EXPECT_EQ(server.Targets().size(), 2);
    EXPECT_EQ(window->ModalResult(), TfrmLogin::ResultOk);
}

// A failed request and a reply that is no reply of this service (a captive portal answering
// every request with its own page) fail alike: nobody is signed in, no token is kept.
TEST_F(LoginFrameTest, TransportFailuresShowMaintenanceAndAreLogged)
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
    SaveLogin("saved@example.com", "saved", true, true, 0);
    ASSERT_NO_FATAL_FAILURE(Open());
    int entries = 0;
    for (const auto& c : cases) {
        server.Reply("/quorvane2/users/userLogin", c.body, c.status);
        frame->edEmail->setText("alice@example.com");
        frame->edPassword->setText("pw");
        frame->edPassword->setFocus();
        frame->submitLogin();
        ++entries;
        const TShownError shown = ShownError(*frame);
        EXPECT_EQ(shown.label, "labEmailError") << c.name;
        EXPECT_EQ(shown.text, "目前服务维护中，请稍后再试!") << c.name;
        EXPECT_EQ(Caret(*window), "edPassword") << c.name;

        // Each failure adds two lines: the local date and time, then the message.
        const QStringList lines = DebugLog().split("\r\n", Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2 * entries) << DebugLog().toStdString();
        EXPECT_TRUE(lines.at(2 * entries - 1).startsWith("Error on longin:")) << lines.last().toStdString();
        EXPECT_GT(lines.at(2 * entries - 1).size(), QString("Error on longin:").size());
        EXPECT_FALSE(lines.at(2 * entries - 2).startsWith("Error"))
            << lines.at(2 * entries - 2).toStdString();
    }
    EXPECT_EQ(window->ModalResult(), TfrmLogin::ResultNone);
    EXPECT_EQ(SavedLogin().UserName, "saved@example.com");
}

TEST_F(LoginFrameTest, AnUnreachableServerShowsMaintenance)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    // Nothing listens on the port any more.
    const QString deadRoot = [] {
        LoopbackServer gone;
        return gone.Url();
    }();
    TempProfile::WriteFile(profile.ConfigFile(), "[Common]\r\napp_root=" + deadRoot.toLatin1() + "\r\n");
    TSelvorConfig::ForgetCachedAddresses();
    frame->edEmail->setText("alice@example.com");
    frame->edPassword->setText("pw");
    frame->submitLogin();
    EXPECT_EQ(ShownError(*frame).text, "目前服务维护中，请稍后再试!");
    EXPECT_TRUE(DebugLog().contains("Error on longin:"));
}

TEST_F(LoginFrameTest, SuccessSavesTheLoginWithTheFlagsAndEndsWithOk)
{
    const struct
    {
        bool rememberPass;
        bool autoLogin;
    } cases[] = {{true, true}, {false, false}, {true, false}};
    for (const auto& c : cases) {
        SaveLogin("weibo-user", "old", !c.rememberPass, !c.autoLogin, 1);
        ASSERT_NO_FATAL_FAILURE(Open());
        AnswerLogin("<code>0</code><token>TK1</token><role>2</role>");
        frame->edEmail->setText("alice@example.com");
        frame->edPassword->setText("new 密码");
        frame->cbRemberPass->setChecked(c.rememberPass);
        frame->cbAutoLogin->setChecked(c.autoLogin);
        frame->submitLogin();

        EXPECT_EQ(window->ModalResult(), TfrmLogin::ResultOk);
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(sentUserName, "alice@example.com");
        EXPECT_EQ(sentPassword, "new 密码");
        const SelvorConfigInfo saved = SavedLogin();
        EXPECT_EQ(saved.UserName, "alice@example.com");
        EXPECT_EQ(saved.Password, "new 密码");
        EXPECT_EQ(saved.RememberPass, c.rememberPass);
        EXPECT_EQ(saved.AutoLogin, c.autoLogin);
        EXPECT_EQ(saved.UserType, 0);
        // Stored scrambled, never as typed.
        EXPECT_FALSE(IniValue(ConfigKey::kPassword).isEmpty());
        EXPECT_FALSE(TempProfile::ReadFile(profile.ConfigFile()).contains("new"));
        EXPECT_EQ(session.GetToken(), "TK1");
        EXPECT_EQ(session.GetUserName(), "alice@example.com");
        EXPECT_TRUE(session.IsAccountLogin());
    }
}

TEST_F(LoginFrameTest, TheEmailGoesToTheServerAsTyped)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    AnswerLogin("<code>1</code>");
    frame->edEmail->setText(" ");
    frame->edPassword->setText(" pw ");
    frame->submitLogin();
    EXPECT_EQ(sentUserName, " ");
    EXPECT_EQ(sentPassword, " pw ");
}

TEST_F(LoginFrameTest, ButtonAndCaptionSubmit)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    AnswerLogin("<code>1</code>");
    frame->edEmail->setText("alice@example.com");
    frame->edPassword->setText("pw");
    Click(frame->imgLogin);
    EXPECT_EQ(server.Targets().size(), 1);
    Click(frame->Label3);
    EXPECT_EQ(server.Targets().size(), 2);
    EXPECT_EQ(ShownError(*frame).text, "用户名或密码不正确!");
}

TEST_F(LoginFrameTest, ResetClearsTheFieldsOnly)
{
    SaveLogin("alice@example.com", "pw", true, true, 0);
    ASSERT_NO_FATAL_FAILURE(Open());
    for (QWidget* trigger : {static_cast<QWidget*>(frame->imgReset), static_cast<QWidget*>(frame->Label4)}) {
        frame->edEmail->setText("x");
        frame->edPassword->setText("y");
        frame->showPasswordError("shown");
        frame->cbAutoLogin->setFocus();
        Click(trigger);
        EXPECT_EQ(frame->edEmail->text(), "");
        EXPECT_EQ(frame->edPassword->text(), "");
        // The caret and the error stay.
        EXPECT_EQ(Caret(*window), "cbAutoLogin");
        EXPECT_EQ(ShownError(*frame).text, "shown");
    }
}

TEST_F(LoginFrameTest, CheckingAutoLoginChecksRememberPassword)
{
    SaveLogin("alice@example.com", "pw", false, false, 0);
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_FALSE(frame->cbRemberPass->isChecked());
    EXPECT_FALSE(frame->cbAutoLogin->isChecked());
    frame->cbAutoLogin->click();
    EXPECT_TRUE(frame->cbAutoLogin->isChecked());
    EXPECT_TRUE(frame->cbRemberPass->isChecked());
    // Unchecking either changes nothing else.
    frame->cbRemberPass->click();
    EXPECT_TRUE(frame->cbAutoLogin->isChecked());
    EXPECT_FALSE(frame->cbRemberPass->isChecked());
    frame->cbAutoLogin->click();
    EXPECT_FALSE(frame->cbAutoLogin->isChecked());
    EXPECT_FALSE(frame->cbRemberPass->isChecked());
}

TEST_F(LoginFrameTest, AMicroblogLoginFillsOnlyTheFlags)
{
    SaveLogin("weibo-user", "pw", false, true, 1);
    TfrmLogin window;
    window.showLoginFrame();
    auto* login = qobject_cast<TframeLogin*>(window.CurrentFrame());
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(login->edEmail->text(), "");
    EXPECT_EQ(login->edPassword->text(), "");
    EXPECT_FALSE(login->cbRemberPass->isChecked());
    EXPECT_TRUE(login->cbAutoLogin->isChecked());
}

TEST_F(LoginFrameTest, ANewProfileChecksBothBoxes)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_TRUE(frame->cbRemberPass->isChecked());
    EXPECT_TRUE(frame->cbAutoLogin->isChecked());
    EXPECT_EQ(frame->edEmail->text(), "");
}

// A login the profile refuses to store is reported, and the user stays signed in.
TEST_F(LoginFrameTest, ALoginThatCannotBeSavedIsReportedAndTheSignInStands)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    AnswerLogin("<code>0</code><token>TK</token><role>1</role>");
    TSelvorConfig().GetAppUrl();
    ASSERT_TRUE(QFile::remove(profile.ConfigFile()));
    ASSERT_TRUE(QDir().mkpath(profile.ConfigFile()));
    frame->edEmail->setText("alice@example.com");
    frame->edPassword->setText("pw");
    frame->submitLogin();
    const QList<TShownMessage> shown = TMessageBox::TakeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().title, "Quorvane");
    EXPECT_FALSE(shown.first().text.isEmpty());
    EXPECT_EQ(window->ModalResult(), TfrmLogin::ResultOk);
    EXPECT_TRUE(session.IsLoggedIn());
}

} // namespace
