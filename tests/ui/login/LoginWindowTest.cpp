#include "tests/support/NamedChild.h"
#include "tests/support/WindowRequests.h"
#include "tests/ui/login/LoginFixture.h"

#include "ui/chrome/DragImage.h"
#include "ui/chrome/ImageButton.h"
#include "ui/login/AccountLoginFrame.h"
#include "ui/login/MicroblogLoginFrame.h"
#include "ui/login/RegistrationFrame.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace quorvane {

namespace {

using LoginWindowTest = LoginFixture;

TEST_F(LoginWindowTest, WindowLayout)
{
    LoginWindow window(m_session);
    EXPECT_EQ(window.windowTitle(), "Quorvane");
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(window.size(), QSize(455, 350));

    const struct
    {
        QWidget* widget;
        QRect geometry;
    } parts[] = {
        {child<QWidget>(window, "titleBar"), {2, 2, 451, 51}},
        {child<DragImage>(window, "titlePicture"), {0, 0, 451, 51}},
        {child<ImageButton>(window, "minimizeButton"), {381, 8, 28, 16}},
        {child<ImageButton>(window, "closeButton"), {415, 8, 28, 16}},
        {child<Image>(window, "sidePicture"), {2, 53, 150, 295}},
        {child<QWidget>(window, "frameHost"), {152, 53, 301, 295}},
        {window.currentFrame(), {0, 0, 301, 295}},
    };
    for (const auto& part : parts)
        EXPECT_EQ(part.widget->geometry(), part.geometry) << part.widget->objectName().toStdString();

    EXPECT_EQ(child<QWidget>(window, "titleBar")->palette().color(QPalette::Window), QColor(22, 80, 153));
    EXPECT_EQ(child<QWidget>(window, "frameHost")->palette().color(QPalette::Window), QColor(35, 83, 141));
    EXPECT_EQ(child<ImageButton>(window, "minimizeButton")->toolTip(), "最小化");
    EXPECT_EQ(child<ImageButton>(window, "closeButton")->toolTip(), "关闭");
    EXPECT_EQ(child<ImageButton>(window, "minimizeButton")->word(), "MIN");
    EXPECT_EQ(child<ImageButton>(window, "closeButton")->word(), "CLOSE");
    EXPECT_EQ(window.font().family(), "宋体");
    EXPECT_EQ(window.font().pixelSize(), 16);
    // The title picture is the window's drag area.
    EXPECT_NE(qobject_cast<DragImage*>(child<DragImage>(window, "titlePicture")), nullptr);

    // Rounded corners: the left column and the top row lie outside, the corners are cut.
    const QRegion mask = window.mask();
    EXPECT_FALSE(mask.contains(QPoint(0, 100)));
    EXPECT_FALSE(mask.contains(QPoint(100, 0)));
    EXPECT_FALSE(mask.contains(QPoint(1, 1)));
    EXPECT_FALSE(mask.contains(QPoint(454, 349)));
    EXPECT_TRUE(mask.contains(QPoint(1, 100)));
    EXPECT_TRUE(mask.contains(QPoint(454, 100)));
    EXPECT_TRUE(mask.contains(QPoint(227, 349)));
}

TEST_F(LoginWindowTest, ResizingRebuildsTheRoundedRegion)
{
    const auto window = openWindow();
    window->resize(500, 400);
    EXPECT_TRUE(window->mask().contains(QPoint(499, 200)));
    EXPECT_FALSE(window->mask().contains(QPoint(499, 399)));
    EXPECT_TRUE(window->mask().contains(QPoint(250, 399)));
    EXPECT_EQ(child<QWidget>(window, "titleBar")->width(), 496);
    window->resize(455, 350);
    EXPECT_FALSE(window->mask().contains(QPoint(455, 200)));
    EXPECT_TRUE(window->mask().contains(QPoint(454, 200)));
    EXPECT_EQ(child<QWidget>(window, "frameHost")->geometry(), QRect(152, 53, 301, 295));
}

TEST_F(LoginWindowTest, SavedUserTypeChoosesTheFirstFrame)
{
    const struct
    {
        int userType;
        const QMetaObject* frame;
    } cases[] = {{0, &AccountLoginFrame::staticMetaObject},
                 {1, &MicroblogLoginFrame::staticMetaObject},
                 {2, &AccountLoginFrame::staticMetaObject},
                 {-1, &AccountLoginFrame::staticMetaObject}};
    for (const auto& c : cases) {
        saveLogin("someone@example.com", "secret", true, false, c.userType);
        LoginWindow window(m_session);
        EXPECT_STREQ(window.currentFrame()->metaObject()->className(), c.frame->className()) << c.userType;
        EXPECT_EQ(child<QWidget>(window, "frameHost")->findChildren<LoginFrame*>().size(), 1);
        // Not visible yet, so no caret anywhere.
        EXPECT_EQ(window.focusWidget(), nullptr);
    }
}

TEST_F(LoginWindowTest, ShowingPlacesTheCaretInTheFirstEmptyField)
{
    const struct
    {
        int userType;
        const char* userName;
        const char* password;
        const char* caret;
    } cases[] = {
        {1, "weibo-user", "pw", "edPassword"},
        {1, "", "", "edEmail"},
        {1, "weibo-user", "", "edPassword"},
        {0, "alice@example.com", "pw", "edPassword"},
        {0, "", "", "edEmail"},
    };
    for (const auto& c : cases) {
        saveLogin(c.userName, c.password, true, true, c.userType);
        const auto window = openWindow();
        EXPECT_EQ(caret(*window), c.caret) << c.userType << " " << c.userName;
        const auto* email = window->currentFrame()->findChild<QLineEdit*>(QStringLiteral("edEmail"));
        const auto* password = window->currentFrame()->findChild<QLineEdit*>(QStringLiteral("edPassword"));
        EXPECT_EQ(email->text(), c.userName);
        EXPECT_EQ(password->text(), c.password);
    }
}

TEST_F(LoginWindowTest, EnterSubmitsTheCurrentFrame)
{
    answer("userLogin", "<code>1</code><msg>no</msg>");
    answer("weiboLogin", "<code>1</code><msg>微博帐号不存在</msg>");
    answer("userRegister", "<code>5</code><msg>该E-mail已被注册</msg>");
    saveLogin("alice@example.com", "pw", true, true, 0);
    const auto window = openWindow();

    // Account frame, the caret in the password field.
    pressKey(*window, Qt::Key_Return);
    auto* login = qobject_cast<AccountLoginFrame*>(window->currentFrame());
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(shownError(*login).text, "用户名或密码不正确!");
    EXPECT_EQ(requests().size(), 1);

    // The keypad's Enter counts too.
    login->hideErrors();
    pressKey(*window, Qt::Key_Enter);
    EXPECT_EQ(shownError(*login).text, "用户名或密码不正确!");
    EXPECT_EQ(requests().size(), 2);

    // Registration frame, as its button does.
    click(child<ImageButton>(login, "imgReg"));
    processEvents();
    auto* reg = qobject_cast<RegistrationFrame*>(window->currentFrame());
    ASSERT_NE(reg, nullptr);
    QTest::keyClicks(child<QLineEdit>(reg, "edEmail"), "bob@example.com");
    child<QLineEdit>(reg, "edPassword")->setText("pw1");
    child<QLineEdit>(reg, "edRePassword")->setText("pw1");
    pressKey(*window, Qt::Key_Return);
    EXPECT_EQ(shownError(*reg).text, "该E-mail已被注册");
    ASSERT_EQ(requests().size(), 3);
    EXPECT_TRUE(requests().last().startsWith("userRegister?"));

    // Microblog frame.
    click(child<ImageButton>(reg, "imgGoback"));
    processEvents();
    click(child<ImageButton>(qobject_cast<AccountLoginFrame*>(window->currentFrame()), "imgSina"));
    processEvents();
    auto* sina = qobject_cast<MicroblogLoginFrame*>(window->currentFrame());
    ASSERT_NE(sina, nullptr);
    child<QLineEdit>(sina, "edEmail")->setText("weibo-user");
    child<QLineEdit>(sina, "edPassword")->setText("pw");
    pressKey(*window, Qt::Key_Return);
    EXPECT_EQ(shownError(*sina).text, "微博帐号不存在");
    ASSERT_EQ(requests().size(), 4);
    EXPECT_TRUE(requests().last().startsWith("weiboLogin?"));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(LoginWindowTest, EnterTravelsOnToTheFocusedControl)
{
    const auto window = openWindow();
    auto* frame = qobject_cast<AccountLoginFrame*>(window->currentFrame());
    ASSERT_NE(frame, nullptr);
    int returnPressed = 0;
    QObject::connect(child<QLineEdit>(frame, "edEmail"), &QLineEdit::returnPressed, [&] { ++returnPressed; });
    child<QLineEdit>(frame, "edEmail")->setFocus();
    pressKey(*window, Qt::Key_Return);
    EXPECT_EQ(returnPressed, 1);
    // Submitted once, although the key passed the window on its way up from the edit.
    EXPECT_EQ(shownError(*frame).text, "请输入登录的E-mail!");
    EXPECT_TRUE(m_server.targets().isEmpty());
}

TEST_F(LoginWindowTest, EscapeDoesNothing)
{
    saveLogin("alice@example.com", "pw", true, true, 0);
    const auto window = openWindow();
    QPointer<QWidget> frame = window->currentFrame();
    pressKey(*window, Qt::Key_Escape);
    processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->modalResult(), LoginWindow::ResultNone);
    EXPECT_EQ(window->currentFrame(), frame.data());
    EXPECT_EQ(caret(*window), "edPassword");
    EXPECT_TRUE(m_server.targets().isEmpty());
}

TEST_F(LoginWindowTest, SwitchingFramesGivesFreshFramesFilledFromTheSavedLogin)
{
    saveLogin("alice@example.com", "saved-pw", false, false, 0);
    const auto window = openWindow();
    QPointer<AccountLoginFrame> first = qobject_cast<AccountLoginFrame*>(window->currentFrame());
    ASSERT_NE(first, nullptr);
    child<QLineEdit>(first, "edEmail")->setText("typed@example.com");
    child<QCheckBox>(first, "cbAutoLogin")->setChecked(true);

    click(child<ImageButton>(first, "imgReg"));
    auto* reg = qobject_cast<RegistrationFrame*>(window->currentFrame());
    ASSERT_NE(reg, nullptr);
    EXPECT_EQ(caret(*window), "edEmail");
    EXPECT_EQ(window->focusWidget(), child<QLineEdit>(reg, "edEmail"));
    processEvents();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(child<QWidget>(window, "frameHost")->findChildren<LoginFrame*>().size(), 1);

    QPointer<RegistrationFrame> regAlive = reg;
    click(child<ImageButton>(reg, "imgGoback"));
    processEvents();
    EXPECT_TRUE(regAlive.isNull());
    auto* second = qobject_cast<AccountLoginFrame*>(window->currentFrame());
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(child<QLineEdit>(second, "edEmail")->text(), "alice@example.com");
    EXPECT_EQ(child<QLineEdit>(second, "edPassword")->text(), "saved-pw");
    EXPECT_FALSE(child<QCheckBox>(second, "cbRemberPass")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(second, "cbAutoLogin")->isChecked());
    // Back from registration the caret is nowhere.
    EXPECT_EQ(window->focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(window->size(), QSize(455, 350));

    // With the caret nowhere, Enter still reaches the window and submits the new frame.
    answer("userLogin", "<code>1</code>");
    pressKey(*window, Qt::Key_Return);
    EXPECT_EQ(requests().size(), 1);
    EXPECT_EQ(shownError(*second).text, "用户名或密码不正确!");
}

TEST_F(LoginWindowTest, SwitchingToTheMicroblogFramePlacesTheCaret)
{
    // An empty saved login: the caret goes into the e-mail field.
    const auto window = openWindow();
    click(child<ImageButton>(qobject_cast<AccountLoginFrame*>(window->currentFrame()), "imgSina"));
    processEvents();
    auto* sina = qobject_cast<MicroblogLoginFrame*>(window->currentFrame());
    ASSERT_NE(sina, nullptr);
    EXPECT_EQ(window->focusWidget(), child<QLineEdit>(sina, "edEmail"));

    click(child<ImageButton>(sina, "imgGoback"));
    processEvents();
    ASSERT_NE(qobject_cast<AccountLoginFrame*>(window->currentFrame()), nullptr);
    EXPECT_EQ(window->focusWidget(), nullptr);
    EXPECT_EQ(child<QWidget>(window, "frameHost")->findChildren<LoginFrame*>().size(), 1);
}

TEST_F(LoginWindowTest, CloseButtonEndsWithCancel)
{
    LoginWindow window(m_session);
    QTimer::singleShot(0, &window, [&] {
        EXPECT_TRUE(window.isVisible());
        click(child<ImageButton>(window, "closeButton"));
    });
    EXPECT_EQ(window.showModal(), LoginWindow::ResultCancel);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(LoginWindowTest, ClosedByTheSystemEndsWithCancel)
{
    LoginWindow window(m_session);
    QTimer::singleShot(0, &window, [&] { window.close(); });
    EXPECT_EQ(window.showModal(), LoginWindow::ResultCancel);
}

TEST_F(LoginWindowTest, MinimiseHidesAndTheModalStateGoesOn)
{
    saveLogin("alice@example.com", "pw", true, true, 0);
    answer("userLogin", "<code>0</code><token>TK</token><role>1</role>");
    LoginWindow window(m_session);
    bool hiddenAndRunning = false;
    QTimer::singleShot(0, &window, [&] {
        click(child<ImageButton>(window, "minimizeButton"));
        QTimer::singleShot(0, &window, [&] {
            hiddenAndRunning = !window.isVisible() && window.modalResult() == LoginWindow::ResultNone;
            // Shown again, as the client does for a second start or the tray icon.
            window.show();
            window.raise();
            window.activateWindow();
            QTimer::singleShot(0, &window, [&] {
                EXPECT_EQ(QApplication::activeModalWidget(), &window);
                click(
                    child<ImageButton>(qobject_cast<AccountLoginFrame*>(window.currentFrame()), "imgLogin"));
            });
        });
    });
    EXPECT_EQ(window.showModal(), LoginWindow::ResultOk);
    EXPECT_TRUE(hiddenAndRunning);
}

TEST_F(LoginWindowTest, ShowModalCentresTheWindowOnTheDesktop)
{
    LoginWindow window(m_session);
    QTimer::singleShot(0, &window, [&] {
        const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_LE((window.frameGeometry().center() - desktop.center()).manhattanLength(), 2);
        window.setModalResult(LoginWindow::ResultCancel);
    });
    window.showModal();
}

// The server holds its answer until the test lets it go (or 20 s have passed).
class HeldAnswer
{
public:
    void wait()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::seconds(20), [this] { return m_released; });
    }
    void release()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_released = true;
        }
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_released = false;
};

// Counts the paint events a widget receives.
class PaintCounter final : public QObject
{
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// While a sign-in waits for the server the window lives on: it paints, its frame is disabled
// under a busy cursor, and a second click or Enter sends nothing. The answer then shows and the
// frame takes input again.
TEST_F(LoginWindowTest, AWaitingSignInKeepsTheWindowAliveAndSendsOnce)
{
    saveLogin("alice@example.com", "pw", true, true, 0);
    const auto window = openWindow();
    auto* frame = qobject_cast<AccountLoginFrame*>(window->currentFrame());
    ASSERT_NE(frame, nullptr);
    HeldAnswer held;
    m_server.get("/quorvane2/users/userLogin", [&](const httplib::Request&, httplib::Response& response) {
        held.wait();
        response.set_content(replyBody("<code>1</code><msg>no</msg>"), "text/xml");
    });
    auto* button = child<ImageButton>(frame, "imgLogin");
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    ASSERT_TRUE(m_server.waitForRequests(1));

    EXPECT_TRUE(frame->requestRunning());
    EXPECT_FALSE(frame->isEnabled());
    EXPECT_EQ(window->cursor().shape(), Qt::BusyCursor);
    EXPECT_TRUE(child<ImageButton>(window.get(), "closeButton")->isEnabled());
    const PaintCounter paints(window.get());
    window->update();
    EXPECT_TRUE(waitUntil([&] { return paints.count > 0; }, 5000)) << "the window does not paint";

    QTest::keyClick(window->windowHandle(), Qt::Key_Return);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    held.release();
    ASSERT_TRUE(waitForWindowRequests());
    runEvents(50);
    EXPECT_EQ(requests().size(), 1);
    EXPECT_EQ(shownError(*frame).text, "用户名或密码不正确!");
    EXPECT_TRUE(frame->isEnabled());
    EXPECT_NE(window->cursor().shape(), Qt::BusyCursor);

    // Afterwards the window takes input again.
    pressKey(*window, Qt::Key_Return);
    EXPECT_EQ(requests().size(), 2);
}

// Closing the window while the server keeps its answer back ends the sign-in at once: the
// request is cancelled, not waited for, and nothing is shown or saved.
TEST_F(LoginWindowTest, ClosingTheWindowCancelsAWaitingSignIn)
{
    saveLogin("alice@example.com", "pw", true, true, 0);
    m_server.stall("/quorvane2/users/userLogin");
    const auto window = openWindow();
    auto* frame = qobject_cast<AccountLoginFrame*>(window->currentFrame());
    ASSERT_NE(frame, nullptr);
    auto* button = child<ImageButton>(frame, "imgLogin");
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    ASSERT_TRUE(m_server.waitForRequests(1));

    auto* close = child<ImageButton>(window.get(), "closeButton");
    QTest::mouseClick(close, Qt::LeftButton, Qt::NoModifier, close->rect().center());
    EXPECT_EQ(window->modalResult(), LoginWindow::ResultCancel);
    // Well within the session's 5 s limit for a reply.
    EXPECT_TRUE(waitUntil([&] { return !frame->requestRunning(); }, 2000));
    EXPECT_EQ(shownError(*frame).label, "");
    EXPECT_EQ(savedLogin().userName, "alice@example.com");
    EXPECT_FALSE(m_session.isLoggedIn());
}

} // namespace

} // namespace quorvane
