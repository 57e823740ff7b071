#include "tests/support/NamedChild.h"
#include "tests/support/WindowRequests.h"
#include "tests/ui/login/LoginFixture.h"

#include "ui/login/MicroblogLoginFrame.h"

#include <QCheckBox>
#include <QLineEdit>

namespace quorvane {

namespace {

// The microblog login frame, the first frame of a window whose saved login is a microblog one.
class MicroblogLoginFrameTest : public LoginFixture
{
protected:
    void open()
    {
        m_window = openWindow();
        m_frame = qobject_cast<MicroblogLoginFrame*>(m_window->currentFrame());
        ASSERT_NE(m_frame, nullptr);
    }

    void answerLogin(const std::string& elements)
    {
        m_server.get("/quorvane2/users/weiboLogin",
                     [this, elements](const httplib::Request& request, httplib::Response& response) {
                         m_sentUserName = param(request, "userName");
                         m_sentPassword = param(request, "password");
                         response.set_content(replyBody(elements), "text/xml");
                     });
    }

    std::unique_ptr<LoginWindow> m_window;
    MicroblogLoginFrame* m_frame = nullptr;
    QString m_sentUserName;
    QString m_sentPassword;
};

TEST_F(MicroblogLoginFrameTest, ValidationShowsOneErrorAndPlacesTheCaret)
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
    saveLogin("weibo-user", "pw", true, true, 1);
    ASSERT_NO_FATAL_FAILURE(open());
    for (const auto& c : cases) {
        m_frame->showPasswordError("earlier");
        child<QLineEdit>(m_frame, "edEmail")->setText(QString::fromUtf8(c.email));
        child<QLineEdit>(m_frame, "edPassword")->setText(QString::fromUtf8(c.password));
        child<QCheckBox>(m_frame, "cbAutoLogin")->setFocus();
        m_frame->submitSinaLogin();
        waitForWindowRequests();
        const ErrorShown shown = shownError(*m_frame);
        EXPECT_EQ(shown.label, c.label) << c.email << "|" << c.password;
        EXPECT_EQ(shown.text, QString::fromUtf8(c.text)) << c.email << "|" << c.password;
        EXPECT_EQ(caret(*m_window), shown.label == "labEmailError" ? "edEmail" : "edPassword");
    }
    EXPECT_TRUE(m_server.targets().isEmpty());
}

TEST_F(MicroblogLoginFrameTest, RefusalsShowTheServersMessage)
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
    saveLogin("saved", "pw", true, true, 1);
    ASSERT_NO_FATAL_FAILURE(open());
    for (const auto& c : cases) {
        answerLogin(c.elements);
        child<QLineEdit>(m_frame, "edPassword")->setFocus();
        m_frame->submitSinaLogin();
        waitForWindowRequests();
        const ErrorShown shown = shownError(*m_frame);
        EXPECT_EQ(shown.label, "labEmailError") << c.elements;
        EXPECT_EQ(shown.text, QString::fromUtf8(c.text)) << c.elements;
        EXPECT_EQ(caret(*m_window), "edPassword");
        EXPECT_EQ(m_window->modalResult(), LoginWindow::ResultNone);
    }
    EXPECT_FALSE(m_session.isLoggedIn());
}

TEST_F(MicroblogLoginFrameTest, SuccessSavesAMicroblogLoginAndTheNextWindowOpensHere)
{
    saveLogin("alice@example.com", "old", true, true, 0);
    // Switched to from the account frame.
    m_window = openWindow();
    m_window->showMicroblogLoginFrame();
    m_frame = qobject_cast<MicroblogLoginFrame*>(m_window->currentFrame());
    ASSERT_NE(m_frame, nullptr);
    // The saved login is an account login: empty fields, the saved flags.
    EXPECT_EQ(child<QLineEdit>(m_frame, "edEmail")->text(), "");
    EXPECT_EQ(child<QLineEdit>(m_frame, "edPassword")->text(), "");
    EXPECT_TRUE(child<QCheckBox>(m_frame, "cbRemberPass")->isChecked());

    answerLogin("<code>0</code><token>WB</token>");
    child<QLineEdit>(m_frame, "edEmail")->setText(" weibo-user");
    child<QLineEdit>(m_frame, "edPassword")->setText("微博 pw");
    child<QCheckBox>(m_frame, "cbAutoLogin")->setChecked(false);
    m_frame->submitSinaLogin();
    waitForWindowRequests();
    EXPECT_EQ(m_window->modalResult(), LoginWindow::ResultOk);
    // The text as typed, blanks included.
    EXPECT_EQ(m_sentUserName, " weibo-user");
    EXPECT_EQ(m_sentPassword, "微博 pw");
    const SavedLogin saved = savedLogin();
    EXPECT_EQ(saved.password, "微博 pw");
    EXPECT_TRUE(saved.rememberPass);
    EXPECT_FALSE(saved.autoLogin);
    EXPECT_EQ(saved.userType, 1);
    EXPECT_EQ(m_session.getToken(), "WB");
    EXPECT_FALSE(m_session.isAccountLogin());

    LoginWindow next(m_session);
    auto* again = qobject_cast<MicroblogLoginFrame*>(next.currentFrame());
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(child<QLineEdit>(again, "edEmail")->text().trimmed(), "weibo-user");
    EXPECT_EQ(child<QLineEdit>(again, "edPassword")->text(), "微博 pw");
    EXPECT_FALSE(child<QCheckBox>(again, "cbAutoLogin")->isChecked());
}

} // namespace

} // namespace quorvane
