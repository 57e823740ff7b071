#include "tests/support/NamedChild.h"
#include "tests/support/WindowRequests.h"
#include "tests/ui/login/LoginFixture.h"

#include "ui/chrome/ImageButton.h"
#include "ui/login/AccountLoginFrame.h"
#include "ui/login/RegistrationFrame.h"

#include <QLineEdit>

namespace quorvane {

namespace {

// The registration frame, reached from the account frame of a shown window.
class RegistrationFrameTest : public LoginFixture
{
protected:
    void open()
    {
        m_window = openWindow();
        if (!qobject_cast<AccountLoginFrame*>(m_window->currentFrame()))
            m_window->showAccountLoginFrame();
        auto* login = qobject_cast<AccountLoginFrame*>(m_window->currentFrame());
        ASSERT_NE(login, nullptr);
        click(child<ImageButton>(login, "imgReg"));
        processEvents();
        m_frame = qobject_cast<RegistrationFrame*>(m_window->currentFrame());
        ASSERT_NE(m_frame, nullptr);
    }

    void fill(const char* email, const char* password, const char* repeat)
    {
        child<QLineEdit>(m_frame, "edEmail")->setText(QString::fromUtf8(email));
        child<QLineEdit>(m_frame, "edPassword")->setText(QString::fromUtf8(password));
        child<QLineEdit>(m_frame, "edRePassword")->setText(QString::fromUtf8(repeat));
    }

    void answerRegister(const std::string& elements)
    {
        m_server.get("/quorvane2/users/userRegister",
                     [this, elements](const httplib::Request& request, httplib::Response& response) {
                         m_sentUserName = param(request, "userName");
                         m_sentPassword = param(request, "password");
                         response.set_content(replyBody(elements), "text/xml");
                     });
    }

    std::unique_ptr<LoginWindow> m_window;
    RegistrationFrame* m_frame = nullptr;
    QString m_sentUserName;
    QString m_sentPassword;
};

TEST_F(RegistrationFrameTest, OpensWithTheCaretInTheEmailAndEmptyFields)
{
    saveLogin("alice@example.com", "pw", true, true, 0);
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_EQ(caret(*m_window), "edEmail");
    EXPECT_EQ(child<QLineEdit>(m_frame, "edEmail")->text(), "");
    EXPECT_EQ(child<QLineEdit>(m_frame, "edPassword")->text(), "");
    EXPECT_EQ(shownError(*m_frame).label, "");
}

TEST_F(RegistrationFrameTest, ValidationShowsOneErrorAndPlacesTheCaret)
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
    ASSERT_NO_FATAL_FAILURE(open());
    for (const auto& c : cases) {
        m_frame->showPasswordError("earlier");
        fill(c.email, c.password, c.repeat);
        child<ImageButton>(m_frame, "imgGoback")->setFocus();
        m_frame->submitReg();
        waitForWindowRequests();
        const ErrorShown shown = shownError(*m_frame);
        EXPECT_EQ(shown.label, c.label) << c.email << "|" << c.password << "|" << c.repeat;
        EXPECT_EQ(shown.text, QString::fromUtf8(c.text)) << c.email << "|" << c.password << "|" << c.repeat;
        EXPECT_EQ(caret(*m_window), c.caret) << c.email << "|" << c.password << "|" << c.repeat;
    }
    EXPECT_TRUE(m_server.targets().isEmpty());
}

TEST_F(RegistrationFrameTest, AddressesPassTheCheckAndGoOutAsTyped)
{
    // No at sign is needed, and the blanks around an address are sent along.
    for (const char* email : {"abc", " abc ", "\tabc", "a\tb"}) {
        ASSERT_NO_FATAL_FAILURE(open());
        answerRegister("<code>0</code><token>RG</token>");
        fill(email, "pw", "pw");
        m_frame->submitReg();
        waitForWindowRequests();
        EXPECT_EQ(m_sentUserName, QString::fromUtf8(email)) << email;
        EXPECT_EQ(m_window->modalResult(), LoginWindow::ResultOk) << email;
    }
}

TEST_F(RegistrationFrameTest, SuccessSavesTheAccountAndKeepsTheFlags)
{
    saveLogin("weibo-user", "old", false, false, 1);
    ASSERT_NO_FATAL_FAILURE(open());
    answerRegister("<code>0</code><token>RG</token>");
    fill("new@example.com", "新 pw", "新 pw");
    m_frame->submitReg();
    waitForWindowRequests();
    EXPECT_EQ(m_window->modalResult(), LoginWindow::ResultOk);
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(m_sentPassword, "新 pw");
    const SavedLogin saved = savedLogin();
    EXPECT_EQ(saved.userName, "new@example.com");
    EXPECT_EQ(saved.password, "新 pw");
    EXPECT_EQ(saved.userType, 0);
    EXPECT_FALSE(saved.rememberPass);
    EXPECT_FALSE(saved.autoLogin);
    EXPECT_EQ(m_session.getToken(), "RG");
    EXPECT_EQ(m_session.getUserName(), "new@example.com");
}

TEST_F(RegistrationFrameTest, ARefusalShowsTheServersMessage)
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
    saveLogin("saved", "pw", true, true, 0);
    ASSERT_NO_FATAL_FAILURE(open());
    for (const auto& c : cases) {
        answerRegister(c.elements);
        fill("new@example.com", "pw", "pw");
        child<QLineEdit>(m_frame, "edRePassword")->setFocus();
        m_frame->submitReg();
        waitForWindowRequests();
        const ErrorShown shown = shownError(*m_frame);
        EXPECT_EQ(shown.label, "labEmailError") << c.elements;
        EXPECT_EQ(shown.text, QString::fromUtf8(c.text)) << c.elements;
        EXPECT_EQ(caret(*m_window), "edRePassword");
        EXPECT_EQ(m_window->modalResult(), LoginWindow::ResultNone);
    }
    EXPECT_EQ(savedLogin().userName, "saved");
    EXPECT_FALSE(m_session.isLoggedIn());
}

} // namespace

} // namespace quorvane
