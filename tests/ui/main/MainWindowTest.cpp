// The signed-in main window: its components, the placement of the user's name, the close,
// minimise and exit rules, and both menus.
#include "tests/support/AccessibleTree.h"
#include "tests/support/NamedChild.h"
#include "tests/ui/main/MainFixture.h"

#include "config/ConfigStore.h"
#include "platform/PrivateProfile.h"
#include "resources/SkinPictures.h"
#include "ui/chrome/BorderLine.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/DragImage.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/SkinBitmap.h"
#include "ui/chrome/WindowRegion.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>
#include <QWindow>

namespace quorvane {

namespace {

bool samePicture(const Image* image, const char* name)
{
    return image->picture().toImage() == skinBitmap(QString::fromLatin1(name)).toImage();
}

QColor textColor(const QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

QStringList captions(const QMenu* menu)
{
    QStringList captions;
    for (const QAction* item : menu->actions()) {
        if (item->isVisible())
            captions.append(item->isSeparator() ? QStringLiteral("-") : item->text());
    }
    return captions;
}

class MainWindowTest : public MainFixture
{
};

TEST_F(MainWindowTest, SignedInWindowHasItsComponentsInPlace)
{
    MainWindow& main = signInAutomatically();

    EXPECT_EQ(main.windowTitle(), QStringLiteral("Quorvane"));
    EXPECT_TRUE(main.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(main.size(), QSize(995, 724));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(main.geometry().center(), screen.center());

    EXPECT_EQ(child<QWidget>(main, "titleBar")->geometry(), QRect(0, 0, 995, 51));
    EXPECT_EQ(child<QWidget>(main, "titleBar")->palette().color(QPalette::Window), QColor(22, 80, 153));
    EXPECT_EQ(child<DragImage>(main, "titlePicture")->geometry(), QRect(0, 0, 995, 51));
    // The browser panel below the title bar; the browser reaches past its left, top and bottom.
    EXPECT_EQ(child<QWidget>(main, "browserPanel")->geometry(), QRect(2, 51, 991, 671));
    EXPECT_EQ(child<BrowserView>(main, "browser")->geometry(), QRect(-2, -1, 993, 673));

    const struct
    {
        QWidget* widget;
        QRect geometry;
        const char* tip;
    } pictures[] = {
        {child<Image>(main, "imgCertified"), {774, 6, 16, 16}, "认证企业"},
        {child<Image>(main, "imgSplit"), {794, 11, 2, 11}, ""},
        {child<Image>(main, "imgEmail"), {803, 11, 13, 10}, ""},
        {child<Image>(main, "titleSeparator"), {879, 12, 3, 8}, ""},
        {child<ImageButton>(main, "optionButton"), {885, 6, 21, 21}, "主菜单"},
        {child<ImageButton>(main, "minimizeButton"), {912, 8, 28, 16}, "最小化"},
        {child<ImageButton>(main, "closeButton"), {946, 8, 28, 16}, "关闭"},
    };
    for (const auto& picture : pictures) {
        SCOPED_TRACE(picture.widget->objectName().toStdString());
        EXPECT_EQ(picture.widget->parentWidget(), child<QWidget>(main, "titleBar"));
        EXPECT_EQ(picture.widget->geometry(), picture.geometry);
        EXPECT_EQ(picture.widget->toolTip(), QString::fromUtf8(picture.tip));
    }
    EXPECT_TRUE(samePicture(child<ImageButton>(main, "optionButton"), "OPTION_NORMAL"));
    EXPECT_TRUE(samePicture(child<ImageButton>(main, "minimizeButton"), "MIN_NORMAL"));
    EXPECT_TRUE(samePicture(child<ImageButton>(main, "closeButton"), "CLOSE_NORMAL"));
    EXPECT_EQ(child<Image>(main, "imgEmail")->cursor().shape(), Qt::PointingHandCursor);

    EXPECT_EQ(child<QLabel>(main, "labWelcome")->text(), QStringLiteral("欢迎！"));
    EXPECT_EQ(textColor(child<QLabel>(main, "labWelcome")), QColor(Qt::white));
    EXPECT_EQ(textColor(child<QLabel>(main, "labUserName")), QColor(Qt::yellow));
    EXPECT_EQ(child<QLabel>(main, "labFeedback")->text(), QStringLiteral("  意见反馈"));
    EXPECT_EQ(textColor(child<QLabel>(main, "labFeedback")), QColor(Qt::white));
    EXPECT_EQ(child<QLabel>(main, "labFeedback")->x(), 817);
    EXPECT_EQ(child<QLabel>(main, "labFeedback")->cursor().shape(), Qt::PointingHandCursor);
    for (const QLabel* label : {child<QLabel>(main, "labWelcome"), child<QLabel>(main, "labUserName"),
                                child<QLabel>(main, "labFeedback")})
        EXPECT_FALSE(label->autoFillBackground()) << label->objectName().toStdString();

    // Rounded corners with the browser panel's lower corners rounded too.
    EXPECT_EQ(main.mask(), roundedWindowRegion(main.size(), 15));
    EXPECT_EQ(child<QWidget>(main, "browserPanel")->mask(),
              shapedPanelRegion(child<QWidget>(main, "browserPanel")->size()));

    EXPECT_TRUE(child<QSystemTrayIcon>(main, "trayIcon")->isVisible());
    EXPECT_EQ(child<QSystemTrayIcon>(main, "trayIcon")->toolTip(), QStringLiteral("Quorvane"));
    EXPECT_FALSE(child<QSystemTrayIcon>(main, "trayIcon")->icon().isNull());
    EXPECT_EQ(child<QSystemTrayIcon>(main, "trayIcon")->contextMenu(), child<QMenu>(main, "trayMenu"));

    // The window is stored for a second start of the client.
    EXPECT_EQ(ConfigStore().getMainHandle(), static_cast<qint64>(main.winId()));
}

TEST_F(MainWindowTest, BorderLineIsDrawnAroundTheWindow)
{
    MainWindow& main = signInAutomatically();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const QImage shot = main.grab().toImage();
    // The line runs down the left and right edges and along the bottom, beside the browser panel.
    EXPECT_EQ(shot.pixelColor(1, 300), kBorderLineColor);
    EXPECT_EQ(shot.pixelColor(main.width() - 2, 300), kBorderLineColor);
    EXPECT_EQ(shot.pixelColor(500, main.height() - 2), kBorderLineColor);
}

TEST_F(MainWindowTest, ResizingKeepsTheRoundedCornersAndTheBrowserInPlace)
{
    MainWindow& main = signInAutomatically();
    main.resize(1100, 800);
    EXPECT_EQ(child<QWidget>(main, "titleBar")->width(), 1100);
    EXPECT_EQ(child<QWidget>(main, "browserPanel")->geometry(), QRect(2, 51, 1096, 747));
    EXPECT_EQ(child<BrowserView>(main, "browser")->geometry(), QRect(-2, -1, 1098, 749));
    EXPECT_EQ(main.mask(), roundedWindowRegion(QSize(1100, 800), 15));
    EXPECT_EQ(child<QWidget>(main, "browserPanel")->mask(),
              shapedPanelRegion(child<QWidget>(main, "browserPanel")->size()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const QImage shot = main.grab().toImage();
    EXPECT_EQ(shot.pixelColor(1098, 400), kBorderLineColor);
    EXPECT_EQ(shot.pixelColor(600, 798), kBorderLineColor);
}

TEST_F(MainWindowTest, RightClicksInsideTheBrowserNeverReachIt)
{
    MainWindow& main = signInAutomatically();
    ASSERT_EQ(runUntil([&] {
                  return child<BrowserView>(main, "browser")->page()->title() == QStringLiteral("start");
              }),
              RunEnd::Stopped);
    QWidget* inside = child<BrowserView>(main, "browser")->focusProxy();
    ASSERT_NE(inside, nullptr);
    // What reaches the widget inside the view after the application's filters.
    struct Seen final : QObject
    {
        QList<QEvent::Type> types;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::ContextMenu || event->type() == QEvent::MouseButtonPress)
                types.append(event->type());
            return false;
        }
    } seen;
    inside->installEventFilter(&seen);
    QTest::mousePress(inside, Qt::RightButton, {}, QPoint(50, 50));
    QTest::mouseRelease(inside, Qt::RightButton, {}, QPoint(50, 50));
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(50, 50));
    QCoreApplication::sendEvent(inside, &menu);
    EXPECT_TRUE(seen.types.isEmpty());
    // A left press goes through.
    QTest::mousePress(inside, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseRelease(inside, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(seen.types, QList<QEvent::Type>{QEvent::MouseButtonPress});
    inside->removeEventFilter(&seen);
}

struct PlacementCase
{
    const char* name;
    const char* userName;
    const char* role;
    bool badge;
};

const PlacementCase kPlacementCases[] = {
    {"CertifiedShortName", "a@b.cn", "2", true},
    {"CertifiedLongName", "purchasing.department@agency-example.com", "2", true},
    {"PlainAccount", "demo@quorvane.com", "1", false},
    {"RoleWithBlank", "demo@quorvane.com", " 2", false},
    {"NameThatLooksLikeMarkup", "<b>x</b>@y.cn", "1", false},
};

class PlacementTest : public MainFixture, public ::testing::WithParamInterface<PlacementCase>
{
};

TEST_P(PlacementTest, NameAndGreetingStayRightAlignedAgainstBadgeOrSeparator)
{
    const PlacementCase& c = GetParam();
    MainWindow& main = signInAutomatically(QString::fromUtf8(c.userName), QString::fromLatin1(c.role));

    EXPECT_EQ(child<QLabel>(main, "labUserName")->text(), QString::fromUtf8(c.userName));
    EXPECT_EQ(child<QLabel>(main, "labUserName")->textFormat(), Qt::PlainText);
    EXPECT_EQ(child<QLabel>(main, "labUserName")->width(),
              child<QLabel>(main, "labUserName")->sizeHint().width());
    EXPECT_EQ(child<Image>(main, "imgCertified")->isVisible(), c.badge);
    const QRect name = child<QLabel>(main, "labUserName")->geometry();
    if (c.badge)
        EXPECT_EQ(name.x() + name.width(), child<Image>(main, "imgCertified")->x() - 2);
    else
        EXPECT_EQ(name.x() + name.width(), child<Image>(main, "imgSplit")->x() - 5);
    EXPECT_EQ(child<QLabel>(main, "labWelcome")->x() + child<QLabel>(main, "labWelcome")->width(),
              name.x() - 5);
}

INSTANTIATE_TEST_SUITE_P(Accounts, PlacementTest, ::testing::ValuesIn(kPlacementCases),
                         [](const auto& info) { return std::string(info.param.name); });

// How the user asks to close or hide the signed-in window, and whether the client ends.
struct CloseCase
{
    const char* name;
    bool closeOnExit;
    std::function<void(MainWindow&)> request;
    bool clientEnds;
};

const CloseCase kCloseCases[] = {
    {"CloseButton", false, [](MainWindow& main) { child<ImageButton>(main, "closeButton")->click(); }, false},
    {"CloseButtonWithCloseOnExit", true,
     [](MainWindow& main) { child<ImageButton>(main, "closeButton")->click(); }, true},
    {"MinimiseButton", true, [](MainWindow& main) { child<ImageButton>(main, "minimizeButton")->click(); },
     false},
    // The task bar and the window manager ask the window system to close the window.
    {"TaskBarClose", false, [](MainWindow& main) { main.windowHandle()->close(); }, false},
    {"TaskBarCloseWithCloseOnExit", true, [](MainWindow& main) { main.windowHandle()->close(); }, false},
    {"ExitInTrayMenu", false, [](MainWindow& main) { child<QAction>(main, "miExit")->trigger(); }, true},
    {"ExitApplication", false, [](MainWindow& main) { main.exitApplication(); }, true},
};

class CloseTest : public MainFixture, public ::testing::WithParamInterface<CloseCase>
{
};

TEST_P(CloseTest, HidesToTheTrayOrEndsTheClient)
{
    const CloseCase& c = GetParam();
    setCloseOnExit(c.closeOnExit);
    MainWindow& main = signInAutomatically();
    ASSERT_TRUE(main.isVisible());

    const RunEnd end = runClient([&] { c.request(main); }, [&] { return !main.isVisible(); }, {}, 5000);
    if (c.clientEnds) {
        EXPECT_EQ(end, RunEnd::ClientEnded);
        EXPECT_TRUE(main.allowClose());
        EXPECT_FALSE(main.isVisible());
    } else {
        // Hidden to the tray, and the client keeps running with only the tray icon.
        EXPECT_EQ(end, RunEnd::Stopped);
        EXPECT_FALSE(main.allowClose());
        EXPECT_TRUE(main.isMinimized());
        EXPECT_TRUE(child<QSystemTrayIcon>(main, "trayIcon")->isVisible());
        EXPECT_EQ(runUntil([] { return false; }, 300), RunEnd::TimedOut);
        // The tray icon brings it back.
        emit child<QSystemTrayIcon>(main, "trayIcon")->activated(QSystemTrayIcon::Trigger);
        EXPECT_TRUE(main.isVisible());
        EXPECT_FALSE(main.isMinimized());
    }
}

INSTANTIATE_TEST_SUITE_P(Requests, CloseTest, ::testing::ValuesIn(kCloseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, TrayIconClicksShowTheWindow)
{
    MainWindow& main = signInAutomatically();
    for (const auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick}) {
        main.hideToTray();
        emit child<QSystemTrayIcon>(main, "trayIcon")->activated(reason);
        EXPECT_TRUE(main.isVisible()) << reason;
    }
    // The middle button does nothing.
    main.hideToTray();
    emit child<QSystemTrayIcon>(main, "trayIcon")->activated(QSystemTrayIcon::MiddleClick);
    EXPECT_FALSE(main.isVisible());
    child<QAction>(main, "miOpen")->trigger();
    EXPECT_TRUE(main.isVisible());
}

// The title bar's pictures are push buttons a screen reader names by their tooltips.
TEST_F(MainWindowTest, TitleButtonsAreNamedPushButtons)
{
    MainWindow& main = signInAutomatically();
    QStringList buttons;
    for (const AccessibleNode& node : accessibleTree(&main)) {
        if (node.role == QAccessible::Button)
            buttons.append(node.name);
    }
    EXPECT_EQ(buttons,
              (QStringList{QStringLiteral("主菜单"), QStringLiteral("最小化"), QStringLiteral("关闭")}));
}

TEST_F(MainWindowTest, MenusHoldTheirItemsInOrder)
{
    MainWindow& main = signInAutomatically();
    EXPECT_EQ(captions(child<QMenu>(main, "trayMenu")),
              (QStringList{QStringLiteral("打开Quorvane"), QStringLiteral("系统设置(&S)..."),
                           QStringLiteral("修改密码..."), QStringLiteral("Selvor网站"),
                           QStringLiteral("关于"), QStringLiteral("-"), QStringLiteral("退出")}));
    EXPECT_EQ(captions(child<QMenu>(main, "optionMenu")),
              (QStringList{QStringLiteral("系统设置"), QStringLiteral("修改密码"),
                           QStringLiteral("Selvor网站"), QStringLiteral("关于")}));
}

TEST_F(MainWindowTest, WebSiteOpensInTheDefaultBrowserWithTheClientAsReferrer)
{
    MainWindow& main = signInAutomatically();
    ASSERT_EQ(runUntil([&] {
                  return child<BrowserView>(main, "browser")->page()->title() == QStringLiteral("start");
              }),
              RunEnd::Stopped);
    for (QAction* item : {child<QAction>(main, "miWebSite"), child<QAction>(main, "miWebSite2")}) {
        clearOpenedUrls();
        item->trigger();
        ASSERT_EQ(openedUrls().size(), 1) << item->objectName().toStdString();
        const QUrl site = openedUrls().first();
        EXPECT_EQ(site.scheme(), QStringLiteral("http"));
        EXPECT_EQ(site.host(), QStringLiteral("www.selvor.com"));
        EXPECT_EQ(QUrlQuery(site).queryItemValue(QStringLiteral("from")), QStringLiteral("quorvane_client"));
    }
    // The embedded browser stays on its page.
    EXPECT_TRUE(child<BrowserView>(main, "browser")
                    ->url()
                    .toString()
                    .contains(QStringLiteral("/users/validateUser")));
}

// The change-password items show only for a session signed in with an account password.
struct MenuCase
{
    const char* name;
    int userType;
    bool changePassword;
};

const MenuCase kMenuCases[] = {
    {"AccountSession", 0, true},
    {"MicroblogSession", 1, false},
};

class MenuTest : public MainFixture, public ::testing::WithParamInterface<MenuCase>
{
};

TEST_P(MenuTest, ChangePasswordOnlyForAnAccountSession)
{
    const MenuCase& c = GetParam();
    saveLogin(QStringLiteral("someone@example.com"), QStringLiteral("secret1"), true, true, c.userType);
    answer(c.userType == 1 ? "weiboLogin" : "userLogin", "<code>0</code><token>T0K3N</token><role>1</role>");
    MainWindow& main = createMainWindow();
    ASSERT_EQ(runClient({}, [&] { return main.isVisible(); }), RunEnd::Stopped);

    // The tray menu, as the tray icon opens it.
    child<QMenu>(main, "trayMenu")->popup(main.mapToGlobal(QPoint(100, 100)));
    EXPECT_EQ(child<QAction>(main, "miChangePassword")->isVisible(), c.changePassword);
    EXPECT_TRUE(child<QAction>(main, "miSetting")->isVisible());
    child<QMenu>(main, "trayMenu")->hide();

    // The option menu drops down below its button while the button shows its pressed picture.
    QPoint menuAt;
    bool optionVisible = !c.changePassword;
    bool pressed = false;
    QTimer::singleShot(200, [&] {
        menuAt = child<QMenu>(main, "optionMenu")->pos();
        optionVisible = child<QAction>(main, "miChangePassword2")->isVisible();
        pressed = samePicture(child<ImageButton>(main, "optionButton"), "OPTION_CLICK");
        child<QMenu>(main, "optionMenu")->close();
    });
    QTest::mousePress(child<ImageButton>(main, "optionButton"), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(child<ImageButton>(main, "optionButton"), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(optionVisible, c.changePassword);
    EXPECT_TRUE(pressed);
    EXPECT_EQ(menuAt, main.mapToGlobal(QPoint(885, 6 + 21 + 10)));
    EXPECT_TRUE(samePicture(child<ImageButton>(main, "optionButton"), "OPTION_NORMAL"));
}

INSTANTIATE_TEST_SUITE_P(Sessions, MenuTest, ::testing::ValuesIn(kMenuCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace quorvane
