// The tray icon in a real notification area: a tray host runs on the X server, and the icon is
// clicked with real pointer input.
#include "tests/ui/main/MainFixture.h"

#include <QAction>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>

namespace {

class TrayIconTest : public MainFixture
{
protected:
    void SetUp() override
    {
        const QString trayer = QStandardPaths::findExecutable(QStringLiteral("trayer"));
        xdotool_ = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (trayer.isEmpty() || xdotool_.isEmpty())
            GTEST_SKIP() << "needs the tray host trayer and xdotool (tools/install-deps)";
        host_.start(trayer,
                    {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                     QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
                     QStringLiteral("--height"), QStringLiteral("24"), QStringLiteral("--transparent"),
                     QStringLiteral("false"), QStringLiteral("--tint"), QStringLiteral("0x202020")});
        ASSERT_TRUE(host_.waitForStarted());
        ASSERT_EQ(RunUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }), TRunEnd::Stopped);
    }

    void TearDown() override
    {
        window.reset();
        host_.terminate();
        host_.waitForFinished();
    }

    // Waits until the tray host shows the icon; its place on the screen.
    QRect IconPlace(const TfrmMain& main)
    {
        EXPECT_EQ(RunUntil([&] { return main.TrayIcon1->geometry().isValid(); }), TRunEnd::Stopped);
        return main.TrayIcon1->geometry();
    }

    // Real pointer input at a place on the screen.
    void ClickAt(QPoint at, int button, int clicks = 1)
    {
        QProcess::execute(xdotool_,
                          {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                           QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(clicks),
                           QString::number(button)});
    }

    QProcess host_;
    QString xdotool_;
};

TEST_F(TrayIconTest, ClicksOnTheIconBringTheWindowBackFromTheTray)
{
    TfrmMain& main = SignInAutomatically();
    const QRect icon = IconPlace(main);
    ASSERT_TRUE(icon.isValid());
    EXPECT_EQ(main.TrayIcon1->toolTip(), QStringLiteral("Quorvane"));

    for (const int clicks : {1, 2}) {
        main.HideToTray();
        ASSERT_FALSE(main.isVisible());
        ClickAt(icon.center(), 1, clicks);
        EXPECT_EQ(RunUntil([&] { return main.isVisible(); }), TRunEnd::Stopped) << clicks << " click(s)";
        EXPECT_FALSE(main.isMinimized());
    }
}

TEST_F(TrayIconTest, RightClickOpensTheTrayMenu)
{
    TfrmMain& main = SignInAutomatically();
    const QRect icon = IconPlace(main);
    ASSERT_TRUE(icon.isValid());
    main.HideToTray();
    ClickAt(icon.center(), 3);
    ASSERT_EQ(RunUntil([&] { return main.PopupMenu1->isVisible(); }), TRunEnd::Stopped);
    EXPECT_TRUE(main.miChangePassword->isVisible());
    // "退出" in the menu ends the client.
    EXPECT_EQ(RunClient([&] { main.miExit->trigger(); }, {}, {}, 5000), TRunEnd::ClientEnded);
    EXPECT_FALSE(main.isVisible());
}

} // namespace
