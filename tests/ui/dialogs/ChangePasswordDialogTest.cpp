#include "ui/dialogs/ChangePasswordDialog.h"
#include "ui/chrome/OpenWindows.h"

#include "config/ConfigStore.h"
#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"
#include "tests/support/NamedChild.h"
#include "tests/support/WindowRequests.h"
#include "tests/ui/dialogs/DialogsFixture.h"
#include "ui/chrome/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QWindow>

namespace quorvane {

namespace {

const char kChangePassword[] = "/quorvane2/users/changePassword";

class ChangePasswordDialogTest : public DialogsFixture
{
protected:
    ChangePasswordDialogTest() { signIn(QStringLiteral("user@example.com")); }

    ~ChangePasswordDialogTest() override
    {
        if (findOpenWindow<ChangePasswordDialog>())
            delete findOpenWindow<ChangePasswordDialog>();
    }

    ChangePasswordDialog* open()
    {
        showChangePasswordWindow(m_session, nullptr);
        EXPECT_TRUE(findOpenWindow<ChangePasswordDialog>());
        if (findOpenWindow<ChangePasswordDialog>()) {
            EXPECT_TRUE(showAndActivate(*findOpenWindow<ChangePasswordDialog>()));
        }
        return findOpenWindow<ChangePasswordDialog>();
    }

    static void fill(ChangePasswordDialog* window, const QString& old, const QString& fresh,
                     const QString& again)
    {
        child<QLineEdit>(window, "edtOldPassword")->setText(old);
        child<QLineEdit>(window, "edtNewPassword")->setText(fresh);
        child<QLineEdit>(window, "edtNewPassword2")->setText(again);
    }

    void saveLogin(bool rememberPass)
    {
        SavedLogin info;
        info.userName = QStringLiteral("user@example.com");
        info.password = QStringLiteral("old-secret");
        info.rememberPass = rememberPass;
        info.autoLogin = true;
        info.userType = 0;
        ConfigStore().saveConfigInfo(info);
    }

    // The server answers in code page 936.
    void answer(const char* elements)
    {
        const QByteArray reply =
            toAnsi(QStringLiteral("<responsed>%1</responsed>").arg(QString::fromUtf8(elements)));
        m_server.reply(kChangePassword, reply.toStdString());
    }
};

TEST_F(ChangePasswordDialogTest, LooksAsLaidOut)
{
    ChangePasswordDialog* window = open();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("修改密码"));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window->size(), QSize(390, 225));
    EXPECT_EQ(child<QLabel>(window, "labOldPassword")->text(), QStringLiteral("输入旧密码："));
    EXPECT_EQ(child<QLabel>(window, "labNewPassword")->text(), QStringLiteral("输入新密码："));
    EXPECT_EQ(child<QLabel>(window, "labNewPassword2")->text(), QStringLiteral("再次输入："));
    EXPECT_EQ(child<QPushButton>(window, "btnChange")->text(), QStringLiteral("修改密码"));
    EXPECT_EQ(child<QPushButton>(window, "btnCancel")->text(), QStringLiteral("取消"));
    const QLineEdit* edits[] = {child<QLineEdit>(window, "edtOldPassword"),
                                child<QLineEdit>(window, "edtNewPassword"),
                                child<QLineEdit>(window, "edtNewPassword2")};
    const int tops[] = {37, 77, 123};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(edits[i]->echoMode(), QLineEdit::Password);
        EXPECT_EQ(edits[i]->x(), 146);
        EXPECT_EQ(edits[i]->width(), 159);
        EXPECT_NEAR(edits[i]->geometry().center().y(), tops[i] + 11, 1);
        EXPECT_TRUE(edits[i]->text().isEmpty());
    }
    EXPECT_EQ(child<QPushButton>(window, "btnChange")->x(), 146);
    EXPECT_EQ(child<QPushButton>(window, "btnCancel")->x(), 230);

    // Tab order: the three fields, then the two buttons.
    EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(window, "edtOldPassword"));
    const QWidget* order[] = {
        child<QLineEdit>(window, "edtNewPassword"), child<QLineEdit>(window, "edtNewPassword2"),
        child<QPushButton>(window, "btnChange"), child<QPushButton>(window, "btnCancel")};
    for (const QWidget* next : order) {
        QTest::keyClick(window->windowHandle(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
}

TEST_F(ChangePasswordDialogTest, ChecksTheFieldsInOrder)
{
    const struct
    {
        const char* old;
        const char* fresh;
        const char* again;
        const char* message;
        const char* caret;
    } cases[] = {
        {"", "", "", "原始密码不能为空!", "edtOldPassword"},
        {"", "new", "new", "原始密码不能为空!", "edtOldPassword"},
        {"old", "", "again", "请输入新密码!", "edtNewPassword"},
        {"old", "", "", "请输入新密码!", "edtNewPassword"},
        {"old", "Secret", "secret", "两次输入密码不一致!", "edtNewPassword2"},
        {"old", "secret", "", "两次输入密码不一致!", "edtNewPassword2"},
    };
    ChangePasswordDialog* window = open();
    ASSERT_TRUE(window);
    for (const auto& c : cases) {
        const std::string row = std::string(c.old) + "/" + c.fresh + "/" + c.again;
        fill(window, QString::fromUtf8(c.old), QString::fromUtf8(c.fresh), QString::fromUtf8(c.again));
        child<QLineEdit>(window, "edtOldPassword")->setFocus();
        child<QPushButton>(window, "btnChange")->click();
        waitForWindowRequests();

        const QList<ShownMessage> shown = MessageBox::takeShown();
        ASSERT_EQ(shown.size(), 1) << row;
        EXPECT_EQ(shown[0].title, QStringLiteral("修改密码")) << row;
        EXPECT_EQ(shown[0].text, QString::fromUtf8(c.message)) << row;
        EXPECT_EQ(shown[0].icon, QMessageBox::Critical) << row;
        EXPECT_EQ(shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok)) << row;
        ASSERT_TRUE(QApplication::focusWidget()) << row;
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QLatin1String(c.caret)) << row;
        if (QLatin1String(c.caret) == QLatin1String("edtNewPassword2")) {
            EXPECT_EQ(child<QLineEdit>(window, "edtNewPassword2")->selectedText(), QString::fromUtf8(c.again))
                << row;
        }
        EXPECT_EQ(findOpenWindow<ChangePasswordDialog>(), window) << row;
    }
    EXPECT_EQ(m_server.targets(), QStringList()) << "no request for input the window refuses";
}

TEST_F(ChangePasswordDialogTest, SuccessWithRememberedPasswordStoresTheNewOne)
{
    saveLogin(true);
    answer("<code>0</code>");
    ChangePasswordDialog* window = open();
    ASSERT_TRUE(window);
    QPointer<ChangePasswordDialog> alive(window);
    fill(window, QStringLiteral("old-secret"), QStringLiteral("n&w #1"), QStringLiteral("n&w #1"));
    child<QPushButton>(window, "btnChange")->click();
    waitForWindowRequests();
    processEvents();

    EXPECT_EQ(operations(),
              QStringList({QStringLiteral("users/changePassword?format=xml&userName=user%40example.com"
                                          "&oldPassword=old-secret&newPassword=n%26w%20%231&token=T0KEN")}));
    const QList<ShownMessage> shown = MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, QStringLiteral("修改密码"));
    EXPECT_EQ(shown[0].text, QStringLiteral("密码修改成功!"));
    EXPECT_EQ(shown[0].icon, QMessageBox::Information);
    EXPECT_FALSE(findOpenWindow<ChangePasswordDialog>());
    EXPECT_FALSE(alive);

    const SavedLogin saved = ConfigStore().loadConfigInfo();
    EXPECT_EQ(saved.userName, QStringLiteral("user@example.com"));
    EXPECT_EQ(saved.password, QStringLiteral("n&w #1"));
    EXPECT_TRUE(saved.rememberPass);
    EXPECT_TRUE(saved.autoLogin);
    EXPECT_EQ(saved.userType, 0);
    EXPECT_NE(iniValue("passwd"), QStringLiteral("n&w #1")) << "stored scrambled";
}

TEST_F(ChangePasswordDialogTest, SuccessWithoutRememberedPasswordStoresNothing)
{
    saveLogin(false);
    const QString before = iniValue("passwd");
    answer("<code>0</code>");
    ChangePasswordDialog* window = open();
    ASSERT_TRUE(window);
    fill(window, QStringLiteral("old-secret"), QStringLiteral("brand-new"), QStringLiteral("brand-new"));
    child<QPushButton>(window, "btnChange")->click();
    waitForWindowRequests();
    processEvents();

    EXPECT_EQ(MessageBox::takeShown().size(), 1);
    EXPECT_FALSE(findOpenWindow<ChangePasswordDialog>());
    EXPECT_EQ(iniValue("passwd"), before);
    EXPECT_EQ(ConfigStore().loadConfigInfo().password, QStringLiteral("old-secret"));
}

TEST_F(ChangePasswordDialogTest, RefusalKeepsTheWindowAsItWas)
{
    saveLogin(true);
    const QString before = iniValue("passwd");
    const struct
    {
        const char* reply;
        const char* message;
    } cases[] = {
        {"<code>1</code><msg>原密码错误</msg>", "原密码错误"},
        {"<code>7</code>", "0"},
    };
    ChangePasswordDialog* window = open();
    ASSERT_TRUE(window);
    for (const auto& c : cases) {
        answer(c.reply);
        fill(window, QStringLiteral("wrong"), QStringLiteral("brand-new"), QStringLiteral("brand-new"));
        child<QPushButton>(window, "btnChange")->click();
        waitForWindowRequests();
        processEvents();

        const QList<ShownMessage> shown = MessageBox::takeShown();
        ASSERT_EQ(shown.size(), 1) << c.reply;
        EXPECT_EQ(shown[0].title, QStringLiteral("修改密码"));
        EXPECT_EQ(shown[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(shown[0].icon, QMessageBox::Critical);
        EXPECT_EQ(findOpenWindow<ChangePasswordDialog>(), window);
        EXPECT_EQ(child<QLineEdit>(window, "edtOldPassword")->text(), QStringLiteral("wrong"));
        EXPECT_EQ(child<QLineEdit>(window, "edtNewPassword")->text(), QStringLiteral("brand-new"));
        EXPECT_EQ(child<QLineEdit>(window, "edtNewPassword2")->text(), QStringLiteral("brand-new"));
    }
    EXPECT_EQ(iniValue("passwd"), before);
}

TEST_F(ChangePasswordDialogTest, FailedRequestRaisesAndKeepsTheWindow)
{
    m_server.reply(kChangePassword, "<html>down</html>", 500, "text/html");
    ChangePasswordDialog* window = open();
    ASSERT_TRUE(window);
    fill(window, QStringLiteral("old-secret"), QStringLiteral("brand-new"), QStringLiteral("brand-new"));
    // Clicked, the failure goes to the application's error display.
    QTest::mouseClick(child<QPushButton>(window, "btnChange"), Qt::LeftButton, Qt::NoModifier,
                      child<QPushButton>(window, "btnChange")->rect().center());
    ASSERT_TRUE(waitForWindowRequests());
    EXPECT_EQ(takeEscapedFailures().size(), 1);
    EXPECT_EQ(MessageBox::takeShown().size(), 0);
    EXPECT_EQ(findOpenWindow<ChangePasswordDialog>(), window);
    EXPECT_EQ(child<QLineEdit>(window, "edtNewPassword")->text(), QStringLiteral("brand-new"));
    EXPECT_TRUE(child<QPushButton>(window, "btnChange")->isEnabled());
}

// While the server keeps its answer back, the fields and the change button are disabled and a
// second click sends nothing; closing the window cancels the request.
TEST_F(ChangePasswordDialogTest, AWaitingChangeDisablesTheFieldsAndClosingCancelsIt)
{
    saveLogin(true);
    const QString before = iniValue("passwd");
    m_server.stall(kChangePassword);
    ChangePasswordDialog* window = open();
    ASSERT_TRUE(window);
    QPointer<ChangePasswordDialog> alive(window);
    fill(window, QStringLiteral("old-secret"), QStringLiteral("brand-new"), QStringLiteral("brand-new"));
    auto* change = child<QPushButton>(window, "btnChange");
    change->click();
    ASSERT_TRUE(m_server.waitForRequests(1));
    for (const char* name : {"edtOldPassword", "edtNewPassword", "edtNewPassword2", "btnChange"})
        EXPECT_FALSE(child<QWidget>(window, name)->isEnabled()) << name;
    EXPECT_TRUE(child<QPushButton>(window, "btnCancel")->isEnabled());
    window->changePassword();

    child<QPushButton>(window, "btnCancel")->click();
    // Well within the session's limit for a reply.
    EXPECT_TRUE(waitUntil(
        [&] {
            processEvents();
            return !alive;
        },
        2000));
    EXPECT_EQ(m_server.requests().size(), 1);
    EXPECT_EQ(MessageBox::takeShown().size(), 0);
    EXPECT_EQ(takeEscapedFailures(), QStringList());
    EXPECT_EQ(iniValue("passwd"), before);
}

TEST_F(ChangePasswordDialogTest, SavedLoginThatCannotBeWrittenIsReportedAfterTheSuccess)
{
    saveLogin(true);
    answer("<code>0</code>");
    // The addresses are read once per run; then the file becomes a folder nothing can replace.
    ConfigStore().getAppUrl();
    QFile::remove(m_profile.configFile());
    ASSERT_TRUE(QDir().mkpath(m_profile.configFile() + QStringLiteral("/blocked")));

    ChangePasswordDialog* window = open();
    ASSERT_TRUE(window);
    fill(window, QStringLiteral("old-secret"), QStringLiteral("brand-new"), QStringLiteral("brand-new"));
    window->changePassword();
    ASSERT_TRUE(waitForWindowRequests());
    processEvents();
    EXPECT_EQ(takeEscapedFailures().size(), 1);

    const QList<ShownMessage> shown = MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].text, QStringLiteral("密码修改成功!"));
    EXPECT_FALSE(findOpenWindow<ChangePasswordDialog>());
}

TEST_F(ChangePasswordDialogTest, EveryCloseEndsTheWindow)
{
    for (const bool titleBar : {false, true}) {
        ChangePasswordDialog* window = open();
        ASSERT_TRUE(window);
        QPointer<ChangePasswordDialog> alive(window);
        fill(window, QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("b"));
        if (titleBar)
            window->close();
        else
            child<QPushButton>(window, "btnCancel")->click();
        processEvents();
        EXPECT_FALSE(findOpenWindow<ChangePasswordDialog>()) << titleBar;
        EXPECT_FALSE(alive) << titleBar;
    }
    // A fresh window starts empty.
    ChangePasswordDialog* window = open();
    ASSERT_TRUE(window);
    EXPECT_TRUE(child<QLineEdit>(window, "edtOldPassword")->text().isEmpty());
    EXPECT_EQ(m_server.targets(), QStringList());
}

TEST_F(ChangePasswordDialogTest, OpeningTwiceGivesOneWindow)
{
    ChangePasswordDialog* first = open();
    ASSERT_TRUE(first);
    child<QLineEdit>(first, "edtOldPassword")->setText(QStringLiteral("typed"));
    QWidget other;
    ASSERT_TRUE(showAndActivate(other));
    showChangePasswordWindow(m_session, nullptr);
    EXPECT_EQ(findOpenWindow<ChangePasswordDialog>(), first);
    EXPECT_EQ(child<QLineEdit>(first, "edtOldPassword")->text(), QStringLiteral("typed"));
    EXPECT_TRUE(QTest::qWaitForWindowActive(first, 10000));
}

TEST_F(ChangePasswordDialogTest, CentredOverItsOwner)
{
    QWidget owner;
    owner.setGeometry(100, 120, 700, 500);
    ASSERT_TRUE(showAndActivate(owner));
    showChangePasswordWindow(m_session, &owner);
    ASSERT_TRUE(findOpenWindow<ChangePasswordDialog>());
    EXPECT_EQ(findOpenWindow<ChangePasswordDialog>()->parentWidget(), &owner);
    EXPECT_TRUE(findOpenWindow<ChangePasswordDialog>()->isWindow());
    // Placed before the window system adds its frame, so off by at most the frame's width.
    const QMargins frame = findOpenWindow<ChangePasswordDialog>()->windowHandle()->frameMargins();
    EXPECT_NEAR(findOpenWindow<ChangePasswordDialog>()->frameGeometry().center().x(),
                owner.frameGeometry().center().x(), frame.left() + 1);
    EXPECT_NEAR(findOpenWindow<ChangePasswordDialog>()->frameGeometry().center().y(),
                owner.frameGeometry().center().y(), frame.top() + 1);
    delete findOpenWindow<ChangePasswordDialog>();
}

} // namespace

} // namespace quorvane
