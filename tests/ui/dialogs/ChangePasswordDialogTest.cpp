#include "ui/dialogs/ChangePasswordDialog.h"

#include "config/ConfigStore.h"
#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"
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

namespace {

const char kChangePassword[] = "/quorvane2/users/changePassword";

class ChangePasswordFormTest : public DialogsFixture
{
protected:
    ChangePasswordFormTest() { signIn(QStringLiteral("user@example.com")); }

    ~ChangePasswordFormTest() override
    {
        if (frmChangePassword)
            delete frmChangePassword;
    }

    ChangePasswordDialog* open()
    {
        showChangePasswordWindow(nullptr);
        EXPECT_TRUE(frmChangePassword);
        if (frmChangePassword) {
            EXPECT_TRUE(showAndActivate(*frmChangePassword));
        }
        return frmChangePassword;
    }

    static void fill(ChangePasswordDialog* window, const QString& old, const QString& fresh,
                     const QString& again)
    {
        window->edtOldPassword->setText(old);
        window->edtNewPassword->setText(fresh);
        window->edtNewPassword2->setText(again);
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

TEST_F(ChangePasswordFormTest, LooksAsLaidOut)
{
    ChangePasswordDialog* window = open();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("修改密码"));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window->size(), QSize(390, 225));
    EXPECT_EQ(window->label1->text(), QStringLiteral("输入旧密码："));
    EXPECT_EQ(window->label2->text(), QStringLiteral("输入新密码："));
    EXPECT_EQ(window->label3->text(), QStringLiteral("再次输入："));
    EXPECT_EQ(window->button1->text(), QStringLiteral("修改密码"));
    EXPECT_EQ(window->button2->text(), QStringLiteral("取消"));
    const QLineEdit* edits[] = {window->edtOldPassword, window->edtNewPassword, window->edtNewPassword2};
    const int tops[] = {37, 77, 123};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(edits[i]->echoMode(), QLineEdit::Password);
        EXPECT_EQ(edits[i]->x(), 146);
        EXPECT_EQ(edits[i]->width(), 159);
        EXPECT_NEAR(edits[i]->geometry().center().y(), tops[i] + 11, 1);
        EXPECT_TRUE(edits[i]->text().isEmpty());
    }
    EXPECT_EQ(window->button1->x(), 146);
    EXPECT_EQ(window->button2->x(), 230);

    // Tab order: the three fields, then the two buttons.
    EXPECT_EQ(QApplication::focusWidget(), window->edtOldPassword);
    const QWidget* order[] = {window->edtNewPassword, window->edtNewPassword2, window->button1,
                              window->button2};
    for (const QWidget* next : order) {
        QTest::keyClick(window->windowHandle(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
}

TEST_F(ChangePasswordFormTest, ChecksTheFieldsInOrder)
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
        window->edtOldPassword->setFocus();
        window->button1->click();

        const QList<ShownMessage> shown = MessageBox::takeShown();
        ASSERT_EQ(shown.size(), 1) << row;
        EXPECT_EQ(shown[0].title, QStringLiteral("修改密码")) << row;
        EXPECT_EQ(shown[0].text, QString::fromUtf8(c.message)) << row;
        EXPECT_EQ(shown[0].icon, QMessageBox::Critical) << row;
        EXPECT_EQ(shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok)) << row;
        ASSERT_TRUE(QApplication::focusWidget()) << row;
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QLatin1String(c.caret)) << row;
        if (QLatin1String(c.caret) == QLatin1String("edtNewPassword2")) {
            EXPECT_EQ(window->edtNewPassword2->selectedText(), QString::fromUtf8(c.again)) << row;
        }
        EXPECT_EQ(frmChangePassword, window) << row;
    }
    EXPECT_EQ(m_server.targets(), QStringList()) << "no request for input the window refuses";
}

TEST_F(ChangePasswordFormTest, SuccessWithRememberedPasswordStoresTheNewOne)
{
    saveLogin(true);
    answer("<code>0</code>");
    ChangePasswordDialog* window = open();
    ASSERT_TRUE(window);
    QPointer<ChangePasswordDialog> alive(window);
    fill(window, QStringLiteral("old-secret"), QStringLiteral("n&w #1"), QStringLiteral("n&w #1"));
    window->button1->click();
    processEvents();

    EXPECT_EQ(operations(),
              QStringList({QStringLiteral("users/changePassword?format=xml&userName=user%40example.com"
                                          "&oldPassword=old-secret&newPassword=n%26w%20%231&token=T0KEN")}));
    const QList<ShownMessage> shown = MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, QStringLiteral("修改密码"));
    EXPECT_EQ(shown[0].text, QStringLiteral("密码修改成功!"));
    EXPECT_EQ(shown[0].icon, QMessageBox::Information);
    EXPECT_FALSE(frmChangePassword);
    EXPECT_FALSE(alive);

    const SavedLogin saved = ConfigStore().loadConfigInfo();
    EXPECT_EQ(saved.userName, QStringLiteral("user@example.com"));
    EXPECT_EQ(saved.password, QStringLiteral("n&w #1"));
    EXPECT_TRUE(saved.rememberPass);
    EXPECT_TRUE(saved.autoLogin);
    EXPECT_EQ(saved.userType, 0);
    EXPECT_NE(iniValue("passwd"), QStringLiteral("n&w #1")) << "stored scrambled";
}

TEST_F(ChangePasswordFormTest, SuccessWithoutRememberedPasswordStoresNothing)
{
    saveLogin(false);
    const QString before = iniValue("passwd");
    answer("<code>0</code>");
    ChangePasswordDialog* window = open();
    ASSERT_TRUE(window);
    fill(window, QStringLiteral("old-secret"), QStringLiteral("brand-new"), QStringLiteral("brand-new"));
    window->button1->click();
    processEvents();

    EXPECT_EQ(MessageBox::takeShown().size(), 1);
    EXPECT_FALSE(frmChangePassword);
    EXPECT_EQ(iniValue("passwd"), before);
    EXPECT_EQ(ConfigStore().loadConfigInfo().password, QStringLiteral("old-secret"));
}

TEST_F(ChangePasswordFormTest, RefusalKeepsTheWindowAsItWas)
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
        window->button1->click();
        processEvents();

        const QList<ShownMessage> shown = MessageBox::takeShown();
        ASSERT_EQ(shown.size(), 1) << c.reply;
        EXPECT_EQ(shown[0].title, QStringLiteral("修改密码"));
        EXPECT_EQ(shown[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(shown[0].icon, QMessageBox::Critical);
        EXPECT_EQ(frmChangePassword, window);
        EXPECT_EQ(window->edtOldPassword->text(), QStringLiteral("wrong"));
        EXPECT_EQ(window->edtNewPassword->text(), QStringLiteral("brand-new"));
        EXPECT_EQ(window->edtNewPassword2->text(), QStringLiteral("brand-new"));
    }
    EXPECT_EQ(iniValue("passwd"), before);
}

TEST_F(ChangePasswordFormTest, FailedRequestRaisesAndKeepsTheWindow)
{
    m_server.reply(kChangePassword, "<html>down</html>", 500, "text/html");
    ChangePasswordDialog* window = open();
    ASSERT_TRUE(window);
    fill(window, QStringLiteral("old-secret"), QStringLiteral("brand-new"), QStringLiteral("brand-new"));
    EXPECT_THROW(window->button1Click(), Failure);
    processEvents();
    EXPECT_EQ(MessageBox::takeShown().size(), 0);
    EXPECT_EQ(frmChangePassword, window);
    EXPECT_EQ(window->edtNewPassword->text(), QStringLiteral("brand-new"));

    // Clicked, the failure goes to the application's error display.
    QTest::mouseClick(window->button1, Qt::LeftButton, Qt::NoModifier, window->button1->rect().center());
    EXPECT_EQ(takeEscapedFailures().size(), 1);
    EXPECT_EQ(frmChangePassword, window);
}

TEST_F(ChangePasswordFormTest, SavedLoginThatCannotBeWrittenIsReportedAfterTheSuccess)
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
    EXPECT_THROW(window->button1Click(), Failure);
    processEvents();

    const QList<ShownMessage> shown = MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].text, QStringLiteral("密码修改成功!"));
    EXPECT_FALSE(frmChangePassword);
}

TEST_F(ChangePasswordFormTest, EveryCloseEndsTheWindow)
{
    for (const bool titleBar : {false, true}) {
        ChangePasswordDialog* window = open();
        ASSERT_TRUE(window);
        QPointer<ChangePasswordDialog> alive(window);
        fill(window, QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("b"));
        if (titleBar)
            window->close();
        else
            window->button2->click();
        processEvents();
        EXPECT_FALSE(frmChangePassword) << titleBar;
        EXPECT_FALSE(alive) << titleBar;
    }
    // A fresh window starts empty.
    ChangePasswordDialog* window = open();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->edtOldPassword->text().isEmpty());
    EXPECT_EQ(m_server.targets(), QStringList());
}

TEST_F(ChangePasswordFormTest, OpeningTwiceGivesOneWindow)
{
    ChangePasswordDialog* first = open();
    ASSERT_TRUE(first);
    first->edtOldPassword->setText(QStringLiteral("typed"));
    QWidget other;
    ASSERT_TRUE(showAndActivate(other));
    showChangePasswordWindow(nullptr);
    EXPECT_EQ(frmChangePassword, first);
    EXPECT_EQ(first->edtOldPassword->text(), QStringLiteral("typed"));
    EXPECT_TRUE(QTest::qWaitForWindowActive(first, 10000));
}

TEST_F(ChangePasswordFormTest, CentredOverItsOwner)
{
    QWidget owner;
    owner.setGeometry(100, 120, 700, 500);
    ASSERT_TRUE(showAndActivate(owner));
    showChangePasswordWindow(&owner);
    ASSERT_TRUE(frmChangePassword);
    EXPECT_EQ(frmChangePassword->parentWidget(), &owner);
    EXPECT_TRUE(frmChangePassword->isWindow());
    // Placed before the window system adds its frame, so off by at most the frame's width.
    const QMargins frame = frmChangePassword->windowHandle()->frameMargins();
    EXPECT_NEAR(frmChangePassword->frameGeometry().center().x(), owner.frameGeometry().center().x(),
                frame.left() + 1);
    EXPECT_NEAR(frmChangePassword->frameGeometry().center().y(), owner.frameGeometry().center().y(),
                frame.top() + 1);
    delete frmChangePassword;
}

} // namespace
