#include "tests/ui/login/LoginFixture.h"

#include "ui/chrome/DragImage.h"
#include "ui/chrome/ImageButton.h"
#include "ui/login/LoginFrame.h"
#include "ui/login/RegFrame.h"
#include "ui/login/SinaLoginFrame.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace {

using LoginWindowTest = LoginFixture;

TEST_F(LoginWindowTest, WindowLayout)
{
    TfrmLogin window;
    EXPECT_EQ(window.windowTitle(), "Quorvane");
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(window.size(), QSize(455, 350));

    const struct
    {
        QWidget* widget;
        QRect geometry;
    } parts[] = {
        {window.Panel1, {2, 2, 451, 51}},          {window.Image1, {0, 0, 451, 51}},
        {window.imgMin, {381, 8, 28, 16}},         {window.imgClose, {415, 8, 28, 16}},
        {window.Image2, {2, 53, 150, 295}},        {window.panFrame, {152, 53, 301, 295}},
        {window.CurrentFrame(), {0, 0, 301, 295}},
    };
    for (const auto& part : parts)
        EXPECT_EQ(part.widget->geometry(), part.geometry) << part.widget->objectName().toStdString();

    EXPECT_EQ(window.Panel1->palette().color(QPalette::Window), QColor(22, 80, 153));
    EXPECT_EQ(window.panFrame->palette().color(QPalette::Window), QColor(35, 83, 141));
    EXPECT_EQ(window.imgMin->toolTip(), "最小化");
    EXPECT_EQ(window.imgClose->toolTip(), "关闭");
    EXPECT_EQ(window.imgMin->Word(), "MIN");
    EXPECT_EQ(window.imgClose->Word(), "CLOSE");
    EXPECT_EQ(window.font().family(), "宋体");
    EXPECT_EQ(window.font().pixelSize(), 16);
    // The title picture is the window's drag area.
    EXPECT_NE(qobject_cast<TDragImage*>(window.Image1), nullptr);

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
    const auto window = OpenWindow();
    window->resize(500, 400);
    EXPECT_TRUE(window->mask().contains(QPoint(499, 200)));
    EXPECT_FALSE(window->mask().contains(QPoint(499, 399)));
    EXPECT_TRUE(window->mask().contains(QPoint(250, 399)));
    EXPECT_EQ(window->Panel1->width(), 496);
    window->resize(455, 350);
    EXPECT_FALSE(window->mask().contains(QPoint(455, 200)));
    EXPECT_TRUE(window->mask().contains(QPoint(454, 200)));
    EXPECT_EQ(window->panFrame->geometry(), QRect(152, 53, 301, 295));
}

TEST_F(LoginWindowTest, SavedUserTypeChoosesTheFirstFrame)
{
    const struct
    {
        int userType;
        const char* frameClass;
    } cases[] = {{0, "TframeLogin"}, {1, "TframeSinaLogin"}, {2, "TframeLogin"}, {-1, "TframeLogin"}};
    for (const auto& c : cases) {
        SaveLogin("someone@example.com", "secret", true, false, c.userType);
        TfrmLogin window;
        EXPECT_STREQ(window.CurrentFrame()->metaObject()->className(), c.frameClass) << c.userType;
        EXPECT_EQ(window.panFrame->findChildren<TLoginFrameBase*>().size(), 1);
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
        SaveLogin(c.userName, c.password, true, true, c.userType);
        const auto window = OpenWindow();
        EXPECT_EQ(Caret(*window), c.caret) << c.userType << " " << c.userName;
        const auto* email = window->CurrentFrame()->findChild<QLineEdit*>(QStringLiteral("edEmail"));
        const auto* password = window->CurrentFrame()->findChild<QLineEdit*>(QStringLiteral("edPassword"));
        EXPECT_EQ(email->text(), c.userName);
        EXPECT_EQ(password->text(), c.password);
    }
}

TEST_F(LoginWindowTest, EnterSubmitsTheCurrentFrame)
{
    Answer("userLogin", "<code>1</code><msg>no</msg>");
    Answer("weiboLogin", "<code>1</code><msg>微博帐号不存在</msg>");
    Answer("userRegister", "<code>5</code><msg>该E-mail已被注册</msg>");
    SaveLogin("alice@example.com", "pw", true, true, 0);
    const auto window = OpenWindow();

    // Account frame, the caret in the password field.
    PressKey(*window, Qt::Key_Return);
    auto* login = qobject_cast<TframeLogin*>(window->CurrentFrame());
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(ShownError(*login).text, "用户名或密码不正确!");
    EXPECT_EQ(Requests().size(), 1);

    // The keypad's Enter counts too.
    login->hideErrors();
    PressKey(*window, Qt::Key_Enter);
    EXPECT_EQ(ShownError(*login).text, "用户名或密码不正确!");
    EXPECT_EQ(Requests().size(), 2);

    // Registration frame, as its button does.
    Click(login->imgReg);
    ProcessEvents();
    auto* reg = qobject_cast<TframeReg*>(window->CurrentFrame());
    ASSERT_NE(reg, nullptr);
    QTest::keyClicks(reg->edEmail, "bob@example.com");
    reg->edPassword->setText("pw1");
    reg->edRePassword->setText("pw1");
    PressKey(*window, Qt::Key_Return);
    EXPECT_EQ(ShownError(*reg).text, "该E-mail已被注册");
    ASSERT_EQ(Requests().size(), 3);
    EXPECT_TRUE(Requests().last().startsWith("userRegister?"));

    // Microblog frame.
    Click(reg->imgGoback);
    ProcessEvents();
    Click(qobject_cast<TframeLogin*>(window->CurrentFrame())->imgSina);
    ProcessEvents();
    auto* sina = qobject_cast<TframeSinaLogin*>(window->CurrentFrame());
    ASSERT_NE(sina, nullptr);
    sina->edEmail->setText("weibo-user");
    sina->edPassword->setText("pw");
    PressKey(*window, Qt::Key_Return);
    EXPECT_EQ(ShownError(*sina).text, "微博帐号不存在");
    ASSERT_EQ(Requests().size(), 4);
    EXPECT_TRUE(Requests().last().startsWith("weiboLogin?"));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(LoginWindowTest, EnterTravelsOnToTheFocusedControl)
{
    const auto window = OpenWindow();
    auto* frame = qobject_cast<TframeLogin*>(window->CurrentFrame());
    ASSERT_NE(frame, nullptr);
    int returnPressed = 0;
    QObject::connect(frame->edEmail, &QLineEdit::returnPressed, [&] { ++returnPressed; });
    frame->edEmail->setFocus();
    PressKey(*window, Qt::Key_Return);
    EXPECT_EQ(returnPressed, 1);
    // Submitted once, although the key passed the window on its way up from the edit.
    EXPECT_EQ(ShownError(*frame).text, "请输入登录的E-mail!");
    EXPECT_TRUE(server.Targets().isEmpty());
}

TEST_F(LoginWindowTest, EscapeDoesNothing)
{
    SaveLogin("alice@example.com", "pw", true, true, 0);
    const auto window = OpenWindow();
    QPointer<QWidget> frame = window->CurrentFrame();
    PressKey(*window, Qt::Key_Escape);
    ProcessEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->ModalResult(), TfrmLogin::ResultNone);
    EXPECT_EQ(window->CurrentFrame(), frame.data());
    EXPECT_EQ(Caret(*window), "edPassword");
    EXPECT_TRUE(server.Targets().isEmpty());
}

TEST_F(LoginWindowTest, SwitchingFramesGivesFreshFramesFilledFromTheSavedLogin)
{
    SaveLogin("alice@example.com", "saved-pw", false, false, 0);
    const auto window = OpenWindow();
    QPointer<TframeLogin> first = qobject_cast<TframeLogin*>(window->CurrentFrame());
    ASSERT_NE(first, nullptr);
    first->edEmail->setText("typed@example.com");
    first->cbAutoLogin->setChecked(true);

    Click(first->imgReg);
    auto* reg = qobject_cast<TframeReg*>(window->CurrentFrame());
    ASSERT_NE(reg, nullptr);
    EXPECT_EQ(Caret(*window), "edEmail");
    EXPECT_EQ(window->focusWidget(), reg->edEmail);
    ProcessEvents();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(window->panFrame->findChildren<TLoginFrameBase*>().size(), 1);

    QPointer<TframeReg> regAlive = reg;
    Click(reg->imgGoback);
    ProcessEvents();
    EXPECT_TRUE(regAlive.isNull());
    auto* second = qobject_cast<TframeLogin*>(window->CurrentFrame());
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(second->edEmail->text(), "alice@example.com");
    EXPECT_EQ(second->edPassword->text(), "saved-pw");
    EXPECT_FALSE(second->cbRemberPass->isChecked());
    EXPECT_FALSE(second->cbAutoLogin->isChecked());
    // Back from registration the caret is nowhere.
    EXPECT_EQ(window->focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(window->size(), QSize(455, 350));

    // With the caret nowhere, Enter still reaches the window and submits the new frame.
    Answer("userLogin", "<code>1</code>");
    PressKey(*window, Qt::Key_Return);
    EXPECT_EQ(Requests().size(), 1);
    EXPECT_EQ(ShownError(*second).text, "用户名或密码不正确!");
}

TEST_F(LoginWindowTest, SwitchingToTheMicroblogFramePlacesTheCaret)
{
    // An empty saved login: the caret goes into the e-mail field.
    const auto window = OpenWindow();
    Click(qobject_cast<TframeLogin*>(window->CurrentFrame())->imgSina);
    ProcessEvents();
    auto* sina = qobject_cast<TframeSinaLogin*>(window->CurrentFrame());
    ASSERT_NE(sina, nullptr);
    EXPECT_EQ(window->focusWidget(), sina->edEmail);

    Click(sina->imgGoback);
    ProcessEvents();
    ASSERT_NE(qobject_cast<TframeLogin*>(window->CurrentFrame()), nullptr);
    EXPECT_EQ(window->focusWidget(), nullptr);
    EXPECT_EQ(window->panFrame->findChildren<TLoginFrameBase*>().size(), 1);
}

TEST_F(LoginWindowTest, CloseButtonEndsWithCancel)
{
    TfrmLogin window;
    QTimer::singleShot(0, &window, [&] {
        EXPECT_TRUE(window.isVisible());
        Click(window.imgClose);
    });
    EXPECT_EQ(window.ShowModal(), TfrmLogin::ResultCancel);
    EXPECT_EQ(TfrmLogin::ResultCancel, 2);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(LoginWindowTest, ClosedByTheSystemEndsWithCancel)
{
    TfrmLogin window;
    QTimer::singleShot(0, &window, [&] { window.close(); });
    EXPECT_EQ(window.ShowModal(), TfrmLogin::ResultCancel);
}

TEST_F(LoginWindowTest, MinimiseHidesAndTheModalStateGoesOn)
{
    SaveLogin("alice@example.com", "pw", true, true, 0);
    Answer("userLogin", "<code>0</code><token>TK</token><role>1</role>");
    TfrmLogin window;
    bool hiddenAndRunning = false;
    QTimer::singleShot(0, &window, [&] {
        Click(window.imgMin);
        QTimer::singleShot(0, &window, [&] {
            hiddenAndRunning = !window.isVisible() && window.ModalResult() == TfrmLogin::ResultNone;
            // What the main window's show action does.
            window.show();
            window.raise();
            window.activateWindow();
            QTimer::singleShot(0, &window, [&] {
                EXPECT_EQ(QApplication::activeModalWidget(), &window);
                Click(qobject_cast<TframeLogin*>(window.CurrentFrame())->imgLogin);
            });
        });
    });
    EXPECT_EQ(window.ShowModal(), TfrmLogin::ResultOk);
    EXPECT_TRUE(hiddenAndRunning);
    EXPECT_EQ(TfrmLogin::ResultOk, 1);
}

TEST_F(LoginWindowTest, ShowModalCentresTheWindowOnTheDesktop)
{
    TfrmLogin window;
    QTimer::singleShot(0, &window, [&] {
        const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_LE((window.frameGeometry().center() - desktop.center()).manhattanLength(), 2);
        window.SetModalResult(TfrmLogin::ResultCancel);
    });
    window.ShowModal();
}

// While a sign-in runs, clicks and keys that reach the window are dropped: a second click or
// a repeated Enter sends no second request.
TEST_F(LoginWindowTest, InputDuringARequestSendsNoSecondRequest)
{
    SaveLogin("alice@example.com", "pw", true, true, 0);
    const auto window = OpenWindow();
    auto* frame = qobject_cast<TframeLogin*>(window->CurrentFrame());
    ASSERT_NE(frame, nullptr);
    QPointer<QWidget> caret = window->focusWidget();
    QPointer<QWidget> button = frame->imgLogin;
    server.Get("/quorvane2/users/userLogin", [&](const httplib::Request&, httplib::Response& response) {
        // The user presses Enter and clicks the button again while the server thinks.
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
            QCoreApplication::postEvent(caret, new QKeyEvent(type, Qt::Key_Return, Qt::NoModifier, "\r"));
        const QPointF centre = QRectF(button->rect()).center();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(button,
                                        new QMouseEvent(type, centre, button->mapToGlobal(centre),
                                                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        response.set_content(ReplyBody("<code>1</code><msg>no</msg>"), "text/xml");
    });
    Click(frame->imgLogin);
    EXPECT_FALSE(frame->RequestRunning());
    ProcessEvents();
    ProcessEvents();
    EXPECT_EQ(Requests().size(), 1);
    EXPECT_EQ(ShownError(*frame).text, "用户名或密码不正确!");

    // Afterwards the window takes input again.
    PressKey(*window, Qt::Key_Return);
    EXPECT_EQ(Requests().size(), 2);
}

} // namespace
