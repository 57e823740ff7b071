// What a screen reader and a keyboard user find in the login window: every skinned button is a
// named push button, Tab visits a frame in a sensible order, and Space or Enter press the button
// that has the focus.
#include "tests/support/AccessibleTree.h"
#include "tests/support/NamedChild.h"
#include "tests/ui/login/LoginFixture.h"

#include "ui/chrome/ImageButton.h"
#include "ui/login/AccountLoginFrame.h"
#include "ui/login/RegistrationFrame.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace quorvane {

namespace {

struct FrameCase
{
    const char* name;
    void (LoginWindow::*show)();
    QStringList buttons;  // the names a screen reader reads, in the window's order
    QStringList tabOrder; // the frame's stops, from the e-mail field on
};

const FrameCase kFrames[] = {
    {"account",
     &LoginWindow::showAccountLoginFrame,
     {"最小化", "关闭", "登录", "重置", "注册新用户", "使用微博帐号登录"},
     {"edEmail", "edPassword", "cbRemberPass", "cbAutoLogin", "imgLogin", "imgReset", "imgReg", "imgSina"}},
    {"microblog",
     &LoginWindow::showMicroblogLoginFrame,
     {"最小化", "关闭", "微博登录", "重置", "返回登录"},
     {"edEmail", "edPassword", "cbRemberPass", "cbAutoLogin", "imgLogin", "imgReset", "imgGoback"}},
    {"registration",
     &LoginWindow::showRegistrationFrame,
     {"最小化", "关闭", "注册", "重置", "返回登录"},
     {"edEmail", "edPassword", "edRePassword", "imgReg", "imgReset", "imgGoback"}},
};

class LoginAccessibilityTest : public LoginFixture
{
};

TEST_F(LoginAccessibilityTest, EveryButtonIsANamedPushButtonAndTabVisitsTheFrameInOrder)
{
    for (const FrameCase& c : kFrames) {
        SCOPED_TRACE(c.name);
        const auto window = openWindow();
        // A caller other than a frame destroys the frame that gave way.
        QWidget* previous = window->currentFrame();
        (window.get()->*c.show)();
        delete previous;
        processEvents();

        QStringList buttons;
        for (const AccessibleNode& node : accessibleTree(window.get())) {
            if (node.role != QAccessible::Button)
                continue;
            buttons.append(node.name);
            EXPECT_TRUE(node.focusable) << node.objectName.toStdString();
        }
        EXPECT_EQ(buttons, c.buttons);
        // A caption reads as the text it shows.
        for (const AccessibleNode& node : accessibleTree(window.get())) {
            if (node.objectName.startsWith(QLatin1String("lab")) &&
                !node.objectName.endsWith(QLatin1String("Error")))
                EXPECT_FALSE(node.name.isEmpty()) << node.objectName.toStdString();
        }

        child<QLineEdit>(window->currentFrame(), "edEmail")->setFocus();
        QStringList stops{QApplication::focusWidget()->objectName()};
        for (qsizetype i = 1; i < c.tabOrder.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            stops.append(QApplication::focusWidget()->objectName());
        }
        EXPECT_EQ(stops, c.tabOrder);
    }
}

TEST_F(LoginAccessibilityTest, SpaceAndEnterPressTheButtonThatHasTheFocus)
{
    saveLogin("alice@example.com", "pw", true, true, 0);
    const auto window = openWindow();
    auto* frame = qobject_cast<AccountLoginFrame*>(window->currentFrame());
    ASSERT_NE(frame, nullptr);

    // Space on "重置" empties the fields; no sign-in goes out.
    child<ImageButton>(frame, "imgReset")->setFocus(Qt::TabFocusReason);
    pressKey(*window, Qt::Key_Space);
    EXPECT_TRUE(child<QLineEdit>(frame, "edEmail")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>(frame, "edPassword")->text().isEmpty());

    // Enter on "注册新用户" opens the registration frame instead of signing in.
    child<ImageButton>(frame, "imgReg")->setFocus(Qt::TabFocusReason);
    pressKey(*window, Qt::Key_Return);
    processEvents();
    EXPECT_NE(qobject_cast<RegistrationFrame*>(window->currentFrame()), nullptr);
    EXPECT_TRUE(requests().isEmpty());
}

} // namespace

} // namespace quorvane
