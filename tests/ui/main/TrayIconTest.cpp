// The tray icon in a real notification area: a tray host runs on the X server, and the icon is
// clicked with real pointer input.
#include "tests/support/NamedChild.h"
#include "tests/ui/main/MainFixture.h"

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
        const QString trayer = QStandardPaths::findExecutable(QStringLiteral("trayer"));
        m_xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (trayer.isEmpty() || m_xdotool.isEmpty())
            GTEST_SKIP() << "needs the tray host trayer and xdotool (tools/install-deps)";
        m_host.start(trayer,
                     {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                      QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
                      QStringLiteral("--height"), QStringLiteral("24"), QStringLiteral("--transparent"),
                      QStringLiteral("false"), QStringLiteral("--tint"), QStringLiteral("0x202020")});
        ASSERT_TRUE(m_host.waitForStarted());
        ASSERT_EQ(runUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }), RunEnd::Stopped);
    }

    void TearDown() override
    {
        m_client.reset();
        m_host.terminate();
        m_host.waitForFinished();
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

    QProcess m_host;
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

} // namespace

} // namespace quorvane
