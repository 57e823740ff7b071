// The tray icon in a real notification area: a tray host runs on the X server, and the icon is
// clicked with real pointer input.
#include "tests/support/NamedChild.h"
#include "tests/support/TrayHost.h"
#include "tests/ui/main/MainFixture.h"

#include "ui/chrome/ImageButton.h"

#include <QAction>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>

namespace quorvane {

namespace {

class TrayIconTest : public MainFixture
{
protected:
    void SetUp() override
    {
        findTools();
        if (!IsSkipped())
            startTrayHost();
    }

    void findTools()
    {
        m_xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty() || m_xdotool.isEmpty())
            GTEST_SKIP() << "needs the tray host trayer and xdotool (tools/install-deps)";
    }

    void startTrayHost()
    {
        ASSERT_TRUE(m_host.start({QStringLiteral("--transparent"), QStringLiteral("false"),
                                  QStringLiteral("--tint"), QStringLiteral("0x202020")}))
            << m_host.error().toStdString();
        ASSERT_EQ(runUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }), RunEnd::Stopped);
    }

    void TearDown() override
    {
        m_client.reset();
        m_host.stop();
    }

    // Waits until the tray host shows the icon; its place on the screen.
    QRect iconPlace(const MainWindow& main)
    {
        EXPECT_EQ(runUntil([&] { return child<QSystemTrayIcon>(main, "trayIcon")->geometry().isValid(); }),
                  RunEnd::Stopped);
        return child<QSystemTrayIcon>(main, "trayIcon")->geometry();
    }

    // Real pointer input at a place on the screen.
    void clickAt(QPoint at, int button, int clicks = 1)
    {
        QProcess::execute(m_xdotool,
                          {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                           QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(clicks),
                           QString::number(button)});
    }

    TrayHost m_host;
    QString m_xdotool;
};

TEST_F(TrayIconTest, ClicksOnTheIconBringTheWindowBackFromTheTray)
{
    MainWindow& main = signInAutomatically();
    const QRect icon = iconPlace(main);
    ASSERT_TRUE(icon.isValid());
    EXPECT_EQ(child<QSystemTrayIcon>(main, "trayIcon")->toolTip(), QStringLiteral("Quorvane"));

    for (const int clicks : {1, 2}) {
        main.hideToTray();
        ASSERT_FALSE(main.isVisible());
        clickAt(icon.center(), 1, clicks);
        EXPECT_EQ(runUntil([&] { return main.isVisible(); }), RunEnd::Stopped) << clicks << " click(s)";
        EXPECT_FALSE(main.isMinimized());
    }
}

TEST_F(TrayIconTest, RightClickOpensTheTrayMenu)
{
    MainWindow& main = signInAutomatically();
    const QRect icon = iconPlace(main);
    ASSERT_TRUE(icon.isValid());
    main.hideToTray();
    clickAt(icon.center(), 3);
    ASSERT_EQ(runUntil([&] { return child<QMenu>(main, "trayMenu")->isVisible(); }), RunEnd::Stopped);
    EXPECT_TRUE(child<QAction>(main, "miChangePassword")->isVisible());
    // "退出" in the menu ends the client.
    EXPECT_EQ(runClient([&] { child<QAction>(main, "miExit")->trigger(); }, {}, {}, 5000),
              RunEnd::ClientEnded);
    EXPECT_FALSE(main.isVisible());
}

// The desktop's own answer, asked again each time: no tray host at first, then one.
class TrayComingAndGoingTest : public TrayIconTest
{
protected:
    void SetUp() override { findTools(); }

    MainWindow& signInWithTheSystemsTray()
    {
        saveLogin(QStringLiteral("demo@quorvane.com"), QStringLiteral("secret1"), true, true, 0);
        answer("userLogin", "<code>0</code><token>T0K3N</token><role>1</role>");
        ClientOptions options;
        options.trayAvailable = &QSystemTrayIcon::isSystemTrayAvailable;
        MainWindow& main = createMainWindow(options);
        EXPECT_EQ(runUntil([&] { return main.isVisible(); }), RunEnd::Stopped);
        return main;
    }
};

TEST_F(TrayComingAndGoingTest, WithoutATrayTheWindowGoesToTheTaskBarAndItsMenuQuits)
{
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()) << "the test display has a tray already";
    MainWindow& main = signInWithTheSystemsTray();

    // The minimise and close buttons minimise the window; it stays on the screen's task bar.
    for (const char* button : {"minimizeButton", "closeButton"}) {
        main.bringToFront();
        ASSERT_EQ(runUntil([&] { return !main.isMinimized(); }), RunEnd::Stopped);
        child<ImageButton>(main, button)->click();
        EXPECT_TRUE(main.isVisible()) << button;
        EXPECT_TRUE(main.isMinimized()) << button;
    }
    // The window's own menu offers "退出", next to everything else the tray menu has.
    main.bringToFront();
    auto* menu = child<QMenu>(main, "optionMenu");
    emit menu->aboutToShow();
    for (const char* item : {"miSystemSetting", "miChangePassword2", "miWebSite2", "miAbout2", "miExit2"})
        EXPECT_TRUE(child<QAction>(main, item)->isVisible()) << item;

    // A tray comes: from now on the window hides to it, and the menu leaves quitting to the tray.
    startTrayHost();
    main.hideToTray();
    EXPECT_FALSE(main.isVisible());
    emit menu->aboutToShow();
    EXPECT_FALSE(child<QAction>(main, "miExit2")->isVisible());
    main.bringToFront();

    EXPECT_EQ(runClient([&] { child<QAction>(main, "miExit2")->trigger(); }, {}, {}, 5000),
              RunEnd::ClientEnded);
}

} // namespace

} // namespace quorvane
