#include "tests/ui/login/LoginFixture.h"

#include "platform/Failure.h"
#include "ui/chrome/CaptionLabel.h"
#include "ui/chrome/ImageButton.h"
#include "ui/login/SinaLoginFrame.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>

namespace {

// The microblog login frame, the first frame of a window whose saved login is a microblog one.
class SinaLoginFrameTest : public LoginFixture
{
protected:
    void Open()
    {
        window = OpenWindow();
        frame = qobject_cast<TframeSinaLogin*>(window->CurrentFrame());
        ASSERT_NE(frame, nullptr);
    }

    void AnswerLogin(const std::string& elements)
    {
        server.Get("/quorvane2/users/weiboLogin",
                   [this, elements](const httplib::Request& request, httplib::Response& response) {
                       sentUserName = Param(request, "userName");
                       sentPassword = Param(request, "password");
                       response.set_content(ReplyBody(elements), "text/xml");
                   });
    }

    std::unique_ptr<TfrmLogin> window;
    TframeSinaLogin* frame = nullptr;
    QString sentUserName;
    QString sentPassword;
};

TEST_F(SinaLoginFrameTest, ValidationShowsOneErrorAndPlacesTheCaret)
{
    const struct
    {
        const char* email;
        const char* password;
        const char* label;
        const char* text;
    } cases[] = {
        {"", "", "labEmailError", "请输入注册的E-mail!"},
        {"  \t ", "pw", "labEmailError", "请输入注册的E-mail!"},
        {"  a b  ", "pw", "labEmailError", "请输入有效的E-mail!"},
        {"a b", "", "labEmailError", "请输入有效的E-mail!"},
        {"user", "", "labPasswordError", "请填写密码!"},
        // Tabs and line ends at the ends are trimmed away, so this one is valid.
        {"\tuser\r\n", "", "labPasswordError", "请填写密码!"},
    };
    SaveLogin("weibo-user", "pw", true, true, 1);
    ASSERT_NO_FATAL_FAILURE(Open());
    for (const auto& c : cases) {
        frame->showPasswordError("earlier");
        frame->edEmail->setText(QString::fromUtf8(c.email));
        frame->edPassword->setText(QString::fromUtf8(c.password));
        frame->cbAutoLogin->setFocus();
        frame->submitSinaLogin();
        const TShownError shown = ShownError(*frame);
        EXPECT_EQ(shown.label, c.label) << c.email << "|" << c.password;
        EXPECT_EQ(shown.text, QString::fromUtf8(c.text)) << c.email << "|" << c.password;
        EXPECT_EQ(Caret(*window), shown.label == "labEmailError" ? "edEmail" : "edPassword");
    }
    EXPECT_TRUE(server.Targets().isEmpty());
}

TEST_F(SinaLoginFrameTest, RefusalsShowTheServersMessage)
{
    const struct
    {
        const char* elements;
        const char* text;
    } cases[] = {
        {"<code>1</code><msg>微博帐号或密码错误</msg>", "微博帐号或密码错误"},
        {"<code>3</code><msg>awaiting approval</msg>", "awaiting approval"},
        // A refusal without a message shows the reply reader's "0".
        {"<code>2</code>", "0"},
        {"<code>x</code><msg>odd code</msg>", "odd code"},
        // Shown as text, not as markup.
        {"<code>1</code><msg>&lt;b&gt;bold&lt;/b&gt;</msg>", "<b>bold</b>"},
    };
    SaveLogin("saved", "pw", true, true, 1);
    ASSERT_NO_FATAL_FAILURE(Open());
    for (const auto& c : cases) {
        AnswerLogin(c.elements);
        frame->edPassword->setFocus();
        frame->submitSinaLogin();
        const TShownError shown = ShownError(*frame);
        EXPECT_EQ(shown.label, "labEmailError") << c.elements;
        EXPECT_EQ(shown.text, QString::fromUtf8(c.text)) << c.elements;
        EXPECT_EQ(Caret(*window), "edPassword");
        EXPECT_EQ(window->ModalResult(), TfrmLogin::ResultNone);
    }
    EXPECT_FALSE(session.IsLoggedIn());
}

TEST_F(SinaLoginFrameTest, ARequestFailureIsNotCaughtAndChangesNothing)
{
    SaveLogin("saved", "pw", true, true, 1);
    ASSERT_NO_FATAL_FAILURE(Open());
    Fail("weiboLogin");
    frame->edEmail->setText("weibo-user");
    frame->edPassword->setText("pw2");
    EXPECT_THROW(frame->submitSinaLogin(), TFailure);
    EXPECT_EQ(ShownError(*frame).label, "");
    EXPECT_EQ(window->CurrentFrame(), frame);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->ModalResult(), TfrmLogin::ResultNone);
    EXPECT_EQ(SavedLogin().UserName, "saved");
    EXPECT_FALSE(QFile::exists(profile.DataHome() + "/quorvane/debug.txt"));
    // The request is over: the frame takes the next one.
    EXPECT_FALSE(frame->RequestRunning());
}

TEST_F(SinaLoginFrameTest, SuccessSavesAMicroblogLoginAndTheNextWindowOpensHere)
{
    SaveLogin("alice@example.com", "old", true, true, 0);
    // Switched to from the account frame.
    window = OpenWindow();
    window->showSinaLoginFrame();
    frame = qobject_cast<TframeSinaLogin*>(window->CurrentFrame());
    ASSERT_NE(frame, nullptr);
    // The saved login is an account login: empty fields, the saved flags.
    EXPECT_EQ(frame->edEmail->text(), "");
    EXPECT_EQ(frame->edPassword->text(), "");
    EXPECT_TRUE(frame->cbRemberPass->isChecked());

    AnswerLogin("<code>0</code><token>WB</token>");
    frame->edEmail->setText(" weibo-user");
    frame->edPassword->setText("微博 pw");
    frame->cbAutoLogin->setChecked(false);
    frame->submitSinaLogin();
    EXPECT_EQ(window->ModalResult(), TfrmLogin::ResultOk);
    // The text as typed, blanks included.
    EXPECT_EQ(sentUserName, " weibo-user");
    EXPECT_EQ(sentPassword, "微博 pw");
    const SelvorConfigInfo saved = SavedLogin();
    EXPECT_EQ(saved.Password, "微博 pw");
    EXPECT_TRUE(saved.RememberPass);
    EXPECT_FALSE(saved.AutoLogin);
    EXPECT_EQ(saved.UserType, 1);
    EXPECT_EQ(session.GetToken(), "WB");
    EXPECT_FALSE(session.IsAccountLogin());

    TfrmLogin next;
    auto* again = qobject_cast<TframeSinaLogin*>(next.CurrentFrame());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->edEmail->text().trimmed(), "weibo-user");
    EXPECT_EQ(again->edPassword->text(), "微博 pw");
    EXPECT_FALSE(again->cbAutoLogin->isChecked());
}

TEST_F(SinaLoginFrameTest, ButtonAndCaptionSubmit)
{
    SaveLogin("weibo-user", "pw", true, true, 1);
    ASSERT_NO_FATAL_FAILURE(Open());
    AnswerLogin("<code>1</code><msg>no</msg>");
    Click(frame->imgReg);
    EXPECT_EQ(server.Targets().size(), 1);
    Click(frame->Label4);
    EXPECT_EQ(server.Targets().size(), 2);
}

TEST_F(SinaLoginFrameTest, ResetClearsTheFieldsAndPutsTheCaretInTheEmail)
{
    SaveLogin("weibo-user", "pw", true, true, 1);
    ASSERT_NO_FATAL_FAILURE(Open());
    for (QWidget* trigger : {static_cast<QWidget*>(frame->imgReset), static_cast<QWidget*>(frame->Label5)}) {
        frame->edEmail->setText("x");
        frame->edPassword->setText("y");
        frame->showPasswordError("shown");
        frame->cbAutoLogin->setFocus();
        Click(trigger);
        EXPECT_EQ(frame->edEmail->text(), "");
        EXPECT_EQ(frame->edPassword->text(), "");
        EXPECT_EQ(Caret(*window), "edEmail");
        EXPECT_EQ(ShownError(*frame).text, "shown");
    }
}

TEST_F(SinaLoginFrameTest, CheckingAutoLoginChecksRememberPassword)
{
    SaveLogin("weibo-user", "pw", false, false, 1);
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_FALSE(frame->cbRemberPass->isChecked());
    frame->cbAutoLogin->click();
    EXPECT_TRUE(frame->cbRemberPass->isChecked());
    frame->cbRemberPass->click();
    EXPECT_TRUE(frame->cbAutoLogin->isChecked());
    EXPECT_FALSE(frame->cbRemberPass->isChecked());
}

} // namespace
