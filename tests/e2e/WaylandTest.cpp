#include "tests/e2e/Compositor.h"
#include "tests/e2e/EndToEndTest.h"

#include <QDir>
#include <QHash>
#include <QStandardPaths>
#include <iostream>

namespace quorvane {

namespace {

using SessionX = Compositor::XServer;

const QSize kScreen(1280, 1024);
const QString kPolls = QStringLiteral("/quorvane2/information/getInformationList");

// How often the line said most often stands in `text`, and that line.
QPair<int, QString> mostRepeatedLine(const QString& text)
{
    QHash<QString, int> counts;
    QPair<int, QString> most{0, QString()};
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const int count = ++counts[line];
        if (count > most.first)
            most = {count, line};
    }
    return most;
}

// Whether the window has a shape of its own (the rounded corners), as xwininfo tells.
bool isShaped(const DesktopWindow& window)
{
    const QString info =
        Desktop::run(QStringLiteral("xwininfo"),
                     {QStringLiteral("-shape"), QStringLiteral("-id"), QString::number(window.id)});
    return info.contains(QStringLiteral("Window shape extents"));
}

} // namespace

// The client in a Wayland session (weston, headless) against the demo server, with a saved login
// so that it signs in by itself. Unless a test says otherwise the user has chosen no platform, as
// on a desktop.
class WaylandTest : public EndToEndTest
{
protected:
    void SetUp() override {}
    void TearDown() override
    {
        if (HasFailure())
            std::cerr << "weston's log:\n" << m_compositor.log().toStdString() << std::endl;
        EndToEndTest::TearDown();
        m_compositor.stop();
    }

    // Weston and its X server, the fresh profile whose runtime folder holds weston's socket, the
    // demo server and the saved login.
    void startSession(SessionX xServer)
    {
        const QString missing = Compositor::missingParts(xServer);
        if (!missing.isEmpty())
            GTEST_SKIP() << missing.toStdString();
        if (xServer != SessionX::None) {
            for (const char* tool : {"xdotool", "xwininfo"})
                ASSERT_FALSE(QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                    << tool << " is missing: run tools/install-deps";
        }
        m_profile = std::make_unique<TempProfile>();
        QDir().mkpath(m_profile->root() + QStringLiteral("/cache"));
        ASSERT_TRUE(m_compositor.start(m_profile->runtimeDir(), kScreen, xServer))
            << m_compositor.error().toStdString();
        m_server = std::make_unique<DemoServerProcess>(m_profile->root() + QStringLiteral("/server"));
        ASSERT_TRUE(m_server->start()) << m_server->output().toStdString();
        TempProfile::writeFile(configFile(),
                               QStringLiteral("[Common]\napp_root=%1\ndown_url=%1/res/download\n")
                                   .arg(m_server->root())
                                   .toLatin1());
        saveLogin(kUser, kPassword);
    }

    // Starts the client in the session; `platform` is what the user put into QT_QPA_PLATFORM.
    ClientProgram* startSessionClient(const QString& platform = QString())
    {
        QProcessEnvironment env = clientEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "XDG_SESSION_TYPE"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), m_compositor.socketName());
        if (!m_compositor.xDisplay().isEmpty())
            env.insert(QStringLiteral("DISPLAY"), m_compositor.xDisplay());
        if (!platform.isEmpty())
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        m_logFile = m_profile->root() + QStringLiteral("/client-%1.log").arg(m_clients.size() + 1);
        m_clients.push_back(std::make_unique<ClientProgram>(QStringLiteral(QUORVANE_CLIENT_EXE), env,
                                                            m_profile->workDir(), m_logFile));
        ClientProgram* client = m_clients.back().get();
        EXPECT_TRUE(client->start()) << "the client did not start";
        return client;
    }

    QString clientLog() const { return TempProfile::readFile(m_logFile); }

    // The client signed in and polls: the server saw the sign-in, the check of the user, the first
    // poll and the notification page that the first poll announced.
    void expectSignedInAndPolling()
    {
        EXPECT_EQ(waitForRequests(QStringLiteral("/quorvane2/users/userLogin"), 1, kStartTimeoutMs).size(),
                  1);
        EXPECT_FALSE(waitForRequests(QStringLiteral("/quorvane2/users/validateUser")).isEmpty());
        const QList<LoggedRequest> polls = waitForRequests(kPolls);
        ASSERT_FALSE(polls.isEmpty()) << "the client does not poll";
        EXPECT_EQ(polls[0].query.value(QStringLiteral("userName")), kUser);
        EXPECT_FALSE(waitForRequests(QStringLiteral("/quorvane2/information/message")).isEmpty())
            << "the notification page was not loaded";
    }

    Compositor m_compositor;
    QString m_logFile;
};

// With an X server at hand the client takes X11: its windows are X windows, shaped with rounded
// corners, and the notification of the sign-in comes up at the bottom right of the screen.
TEST_F(WaylandTest, WithXWaylandTheClientRunsOnX11)
{
    ASSERT_NO_FATAL_FAILURE(startSession(SessionX::Rootful));
    if (IsSkipped())
        return;
    ClientProgram* client = startSessionClient();

    const std::optional<DesktopWindow> main = waitForWindow(client->pid(), WindowSize::kMain);
    ASSERT_TRUE(main) << "no main window on the X server: the client did not take X11\n"
                      << clientLog().toStdString();
    EXPECT_TRUE(isShaped(*main)) << "the main window lost its rounded corners";

    const std::optional<DesktopWindow> note =
        waitForWindow(client->pid(), WindowSize::kNotification, kActionTimeoutMs);
    ASSERT_TRUE(note) << "no notification";
    // 20 pixels from the right edge, resting on the bottom edge: the screen has no work area of
    // its own.
    EXPECT_EQ(note->geometry.right() + 1, kScreen.width() - 20);
    EXPECT_EQ(note->geometry.bottom() + 1, kScreen.height());
    EXPECT_TRUE(isShaped(*note));
    expectSignedInAndPolling();
    EXPECT_FALSE(clientLog().contains(QStringLiteral("does not support setting window opacity")));
}

// Under weston's own XWayland the client takes X11 as well. Weston manages those X windows and
// places them itself, so only that they come up is the client's to show.
TEST_F(WaylandTest, WithWestonsXWaylandTheClientRunsOnX11)
{
    ASSERT_NO_FATAL_FAILURE(startSession(SessionX::Managed));
    if (IsSkipped())
        return;
    ClientProgram* client = startSessionClient();

    const std::optional<DesktopWindow> main = waitForWindow(client->pid(), WindowSize::kMain);
    ASSERT_TRUE(main) << "no main window on the X server: the client did not take X11\n"
                      << clientLog().toStdString();
    EXPECT_TRUE(isShaped(*main)) << "the main window lost its rounded corners";
    EXPECT_TRUE(waitForWindow(client->pid(), WindowSize::kNotification, kActionTimeoutMs))
        << "no notification";
    expectSignedInAndPolling();
}

// Without an X server the client runs on Wayland: it signs in, polls and shows its windows,
// keeps running, and repeats no complaint about what the compositor does not allow.
TEST_F(WaylandTest, WithoutXServerTheClientRunsOnWayland)
{
    ASSERT_NO_FATAL_FAILURE(startSession(SessionX::None));
    if (IsSkipped())
        return;
    ClientProgram* client = startSessionClient();

    expectSignedInAndPolling();
    // The notification comes up once its page has loaded: a second window, of its size.
    const QSize notification = WindowSize::kNotification;
    EXPECT_TRUE(
        waitFor([&] { return m_compositor.waylandWindowSizes().contains(notification); }, kActionTimeoutMs))
        << "no notification";
    EXPECT_TRUE(m_compositor.waylandWindowSizes().contains(WindowSize::kMain)) << "no main window";
    // Time for a fade in, had it been one.
    waitFor([&] { return !client->running(); }, 8000);
    ASSERT_TRUE(client->running()) << "the client ended:\n" << clientLog().toStdString();
    const QPair<int, QString> repeated = mostRepeatedLine(clientLog());
    EXPECT_LE(repeated.first, 3) << "said " << repeated.first << " times: " << repeated.second.toStdString();
}

// The user's choice stands: with QT_QPA_PLATFORM=wayland the client makes no X window although
// XWayland is there, and signs in all the same.
TEST_F(WaylandTest, TheUsersChoiceOfWaylandStands)
{
    ASSERT_NO_FATAL_FAILURE(startSession(SessionX::Rootful));
    if (IsSkipped())
        return;
    ClientProgram* client = startSessionClient(QStringLiteral("wayland"));

    expectSignedInAndPolling();
    ASSERT_TRUE(client->running()) << clientLog().toStdString();
    EXPECT_TRUE(Desktop::searchWindows(client->pid()).isEmpty()) << "the client made X windows";
}

} // namespace quorvane
