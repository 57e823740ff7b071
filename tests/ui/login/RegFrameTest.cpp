#include "tests/ui/login/LoginFixture.h"

#include "platform/Failure.h"
#include "ui/chrome/CaptionLabel.h"
#include "ui/chrome/ImageButton.h"
#include "ui/login/LoginFrame.h"
#include "ui/login/RegFrame.h"

#include <QLabel>
#include <QLineEdit>

namespace {

// The registration frame, reached from the account frame of a shown window.
class RegFrameTest : public LoginFixture
{
protected:
    void Open()
    {
        window = OpenWindow();
        if (!qobject_cast<TframeLogin*>(window->CurrentFrame()))
            window->showLoginFrame();
        auto* login = qobject_cast<TframeLogin*>(window->CurrentFrame());
        ASSERT_NE(login, nullptr);
        Click(login->imgReg);
        ProcessEvents();
        frame = qobject_cast<TframeReg*>(window->CurrentFrame());
        ASSERT_NE(frame, nullptr);
    }

    void Fill(const char* email, const char* password, const char* repeat)
    {
        frame->edEmail->setText(QString::fromUtf8(email));
        frame->edPassword->setText(QString::fromUtf8(password));
        frame->edRePassword->setText(QString::fromUtf8(repeat));
    }

    void AnswerRegister(const std::string& elements)
    {
        server.Get("/quorvane2/users/userRegister",
                   [this, elements](const httplib::Request& request, httplib::Response& response) {
                       sentUserName = Param(request, "userName");
                       sentPassword = Param(request, "password");
                       response.set_content(ReplyBody(elements), "text/xml");
                   });
    }

    std::unique_ptr<TfrmLogin> window;
    TframeReg* frame = nullptr;
    QString sentUserName;
    QString sentPassword;
};

TEST_F(RegFrameTest, OpensWithTheCaretInTheEmailAndEmptyFields)
{
    SaveLogin("alice@example.com", "pw", true, true, 0);
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(Caret(*window), "edEmail");
    EXPECT_EQ(frame->edEmail->text(), "");
    EXPECT_EQ(frame->edPassword->text(), "");
    EXPECT_EQ(ShownError(*frame).label, "");
}

TEST_F(RegFrameTest, ValidationShowsOneErrorAndPlacesTheCaret)
{
    const struct
    {
        const char* email;
        const char* password;
        const char* repeat;
        const char* label;
        const char* text;
        const char* caret;
    } cases[] = {
        {"", "", "", "labEmailError", "请输入注册的E-mail!", "edEmail"},
        {"   ", "pw", "pw", "labEmailError", "请输入注册的E-mail!", "edEmail"},
        {"  a b  ", "pw", "pw", "labEmailError", "请输入有效的E-mail!", "edEmail"},
        {"abc", "", "", "labPasswordError", "请填写密码!", "edPassword"},
        {"abc", "", "pw", "labPasswordError", "请填写密码!", "edPassword"},
        {"abc", "pw", "", "labRePasswordError", "重复密码错误!", "edRePassword"},
        {"abc", "Pw", "pw", "labRePasswordError", "重复密码错误!", "edRePassword"},
        {"abc", "pw", "pw ", "labRePasswordError", "重复密码错误!", "edRePassword"},
    };
    ASSERT_NO_FATAL_FAILURE(Open());
    for (const auto& c : cases) {
        frame->showPasswordError("earlier");
        Fill(c.email, c.password, c.repeat);
        frame->imgGoback->setFocus();
        frame->submitReg();
        const TShownError shown = ShownError(*frame);
        EXPECT_EQ(shown.label, c.label) << c.email << "|" << c.password << "|" << c.repeat;
        EXPECT_EQ(shown.text, QString::fromUtf8(c.text)) << c.email << "|" << c.password << "|" << c.repeat;
        EXPECT_EQ(Caret(*window), c.caret) << c.email << "|" << c.password << "|" << c.repeat;
    }
    EXPECT_TRUE(server.Targets().isEmpty());
}

TEST_F(RegFrameTest, AddressesPassTheCheckAndGoOutAsTyped)
{
    // No at sign is needed, and the blanks around an address are sent along.
    for (const char* email : {"abc", " abc ", "\tabc", "a\tb"}) {
        ASSERT_NO_FATAL_FAILURE(Open());
        AnswerRegister("<code>0</code><token>RG</token>");
        Fill(email, "pw", "pw");
        frame->submitReg();
        EXPECT_EQ(sentUserName, QString::fromUtf8(email)) << email;
        EXPECT_EQ(window->ModalResult(), TfrmLogin::ResultOk) << email;
    }
}

TEST_F(RegFrameTest, SuccessSavesTheAccountAndKeepsTheFlags)
{
    SaveLogin("weibo-user", "old", false, false, 1);
    ASSERT_NO_FATAL_FAILURE(Open());
    AnswerRegister("<code>0</code><token>RG</token>");
    Fill("new@example.com", "新 pw", "新 pw");
    frame->submitReg();
    EXPECT_EQ(window->ModalResult(), TfrmLogin::ResultOk);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(sentPassword, "新 pw");
    const SelvorConfigInfo saved = SavedLogin();
    EXPECT_EQ(saved.UserName, "new@example.com");
    EXPECT_EQ(saved.Password, "新 pw");
    EXPECT_EQ(saved.UserType, 0);
    EXPECT_FALSE(saved.RememberPass);
    EXPECT_FALSE(saved.AutoLogin);
    EXPECT_EQ(session.GetToken(), "RG");
    EXPECT_EQ(session.GetUserName(), "new@example.com");
}

TEST_F(RegFrameTest, ARefusalShowsTheServersMessage)
{
    const struct
    {
        const char* elements;
        const char* text;
    } cases[] = {
        {"<code>1</code><msg>该E-mail已被注册</msg>", "该E-mail已被注册"},
        {"<code>2</code>", "0"},
        {"<code>00</code><msg>not quite zero</msg>", "not quite zero"},
    };
    SaveLogin("saved", "pw", true, true, 0);
    ASSERT_NO_FATAL_FAILURE(Open());
    for (const auto& c : cases) {
        AnswerRegister(c.elements);
        Fill("new@example.com", "pw", "pw");
        frame->edRePassword->setFocus();
        frame->submitReg();
        const TShownError shown = ShownError(*frame);
        EXPECT_EQ(shown.label, "labEmailError") << c.elements;
        EXPECT_EQ(shown.text, QString::fromUtf8(c.text)) << c.elements;
        EXPECT_EQ(Caret(*window), "edRePassword");
        EXPECT_EQ(window->ModalResult(), TfrmLogin::ResultNone);
    }
    EXPECT_EQ(SavedLogin().UserName, "saved");
    EXPECT_FALSE(session.IsLoggedIn());
}

TEST_F(RegFrameTest, ARequestFailureIsNotCaughtAndChangesNothing)
{
    SaveLogin("saved", "pw", true, true, 0);
    ASSERT_NO_FATAL_FAILURE(Open());
    Fail("userRegister");
    Fill("new@example.com", "pw", "pw");
    EXPECT_THROW(frame->submitReg(), TFailure);
    EXPECT_EQ(ShownError(*frame).label, "");
    EXPECT_EQ(window->CurrentFrame(), frame);
    EXPECT_EQ(window->ModalResult(), TfrmLogin::ResultNone);
    EXPECT_EQ(SavedLogin().UserName, "saved");
    EXPECT_EQ(frame->edEmail->text(), "new@example.com");
}

TEST_F(RegFrameTest, ButtonAndCaptionSubmit)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    AnswerRegister("<code>1</code><msg>no</msg>");
    Fill("new@example.com", "pw", "pw");
    Click(frame->imgReg);
    EXPECT_EQ(server.Targets().size(), 1);
    Click(frame->Label4);
    EXPECT_EQ(server.Targets().size(), 2);
}

TEST_F(RegFrameTest, ResetClearsTheFieldsAndPutsTheCaretInTheEmail)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    for (QWidget* trigger : {static_cast<QWidget*>(frame->imgReset), static_cast<QWidget*>(frame->Label5)}) {
        Fill("x", "y", "z");
        frame->showRePasswordError("shown");
        frame->edPassword->setFocus();
        Click(trigger);
        EXPECT_EQ(frame->edEmail->text(), "");
        EXPECT_EQ(frame->edPassword->text(), "");
        EXPECT_EQ(frame->edRePassword->text(), "");
        EXPECT_EQ(Caret(*window), "edEmail");
        EXPECT_EQ(ShownError(*frame).text, "shown");
    }
}

} // namespace
