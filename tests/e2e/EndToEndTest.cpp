#include "tests/e2e/EndToEndTest.h"

#include "config/ConfigStore.h"
#include "platform/PrivateProfile.h"
#include "tests/e2e/ColourArea.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <cmath>
#include <iostream>

namespace quorvane {

const QString EndToEndTest::kUser = QStringLiteral("demo@quorvane.com");
const QString EndToEndTest::kPassword = QStringLiteral("demo123");

namespace {

QString artifactsDir()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return QStringLiteral(QUORVANE_E2E_ARTIFACTS_DIR) + QLatin1Char('/') +
           QString::fromLatin1(test->test_suite_name()) + QLatin1Char('.') +
           QString::fromLatin1(test->name());
}

void copyIfThere(const QString& from, const QString& to)
{
    if (QFileInfo::exists(from)) {
        QFile::remove(to);
        QFile::copy(from, to);
    }
}

} // namespace

void EndToEndTest::SetUp()
{
    for (const char* tool : {"Xvfb", "xdotool", "xwininfo"})
        ASSERT_FALSE(QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            << tool << " is missing: run tools/install-deps";
    ASSERT_TRUE(m_x.start(screenSize())) << m_x.error().toStdString();
    if (trayHost() && !m_x.startTrayHost())
        GTEST_SKIP() << m_x.error().toStdString();

    m_profile = std::make_unique<TempProfile>();
    QDir().mkpath(m_profile->root() + QStringLiteral("/cache"));
    m_server = std::make_unique<DemoServerProcess>(m_profile->root() + QStringLiteral("/server"));
    const QStringList options = serverOptions();
    ASSERT_FALSE(HasFailure()) << "the server could not be prepared";
    ASSERT_TRUE(m_server->start(options)) << m_server->output().toStdString();

    // A person points the client at a server through these two keys; everything else starts
    // from the defaults.
    TempProfile::writeFile(
        configFile(),
        QStringLiteral("[Common]\napp_root=%1\ndown_url=%1/res/download\n").arg(m_server->root()).toLatin1());
}

void EndToEndTest::TearDown()
{
    if (HasFailure() && m_profile)
        saveArtifacts();
    for (const qint64 pid : m_otherClients)
        endProcess(pid);
    m_clients.clear();
    // Whatever still runs from the profile (an updater, or the client it started, after a
    // failure) ends with the test.
    if (m_profile) {
        for (const qint64 pid : processesOf(m_profile->root()))
            endProcess(pid);
    }
    if (m_server)
        m_server->stop();
    m_x.stop();
}

void EndToEndTest::saveArtifacts()
{
    const QString dir = artifactsDir();
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    m_x.grabScreen().save(dir + QStringLiteral("/screen.png"));
    QFile log(dir + QStringLiteral("/requests.log"));
    if (m_server && log.open(QIODevice::WriteOnly))
        log.write(m_server->requestLog().toUtf8());
    for (const QFileInfo& file : QDir(m_profile->root()).entryInfoList({QStringLiteral("client-*.log")}))
        copyIfThere(file.filePath(), dir + QLatin1Char('/') + file.fileName());
    copyIfThere(configFile(), dir + QStringLiteral("/quorvane.ini"));
    copyIfThere(m_profile->dataHome() + QStringLiteral("/quorvane/upgrade.ini"),
                dir + QStringLiteral("/upgrade.ini"));
    std::cerr << "End-to-end artifacts (screenshot, logs, files): " << dir.toStdString() << std::endl;
}

void EndToEndTest::saveLogin(const QString& userName, const QString& password)
{
    ConfigStore().saveConfigInfo({userName, password, true, true, 0});
}

QString EndToEndTest::iniValue(const QString& key) const
{
    return readProfileString(configFile(), QStringLiteral("Common"), key, QString());
}

QString EndToEndTest::upgradeIniValue(const QString& key) const
{
    return readProfileString(m_profile->dataHome() + QStringLiteral("/quorvane/upgrade.ini"),
                             QStringLiteral("Common"), key, QString());
}

QProcessEnvironment EndToEndTest::clientEnvironment() const
{
    QProcessEnvironment env = m_profile->environment();
    env.insert(QStringLiteral("DISPLAY"), m_x.display());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // Nothing of the caller's desktop: no input method between xdotool and the fields, no
    // scaling that changes the window sizes the tests know, no theme with a tray of its own.
    for (const char* name : {"QT_IM_MODULE", "XMODIFIERS", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
                             "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_ENABLE_HIGHDPI_SCALING",
                             "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), m_profile->root() + QStringLiteral("/cache"));
    // No session bus: the tray icon must go to the tray host of this X server, never to the
    // desktop of whoever runs the tests.
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               QStringLiteral("unix:path=") + m_profile->root() + QStringLiteral("/no-session-bus"));
    // The microblog share hosts resolve to the demo server inside the client's browser views;
    // the quotes keep the rule one argument. The tests may run as root, where Chromium needs
    // --no-sandbox; there is no GPU under Xvfb.
    const QString rules =
        QStringLiteral("MAP service.weibo.com 127.0.0.1:%1, MAP v.t.sina.com.cn 127.0.0.1:%1")
            .arg(m_server->port());
    env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
               QStringLiteral("\"--host-resolver-rules=%1\" --no-sandbox --disable-gpu").arg(rules));
    return env;
}

ClientProgram* EndToEndTest::startClient(const QString& program, const QProcessEnvironment& extra)
{
    const QString log = m_profile->root() + QStringLiteral("/client-%1.log").arg(m_clients.size() + 1);
    QProcessEnvironment environment = clientEnvironment();
    environment.insert(extra);
    m_clients.push_back(
        std::make_unique<ClientProgram>(program.isEmpty() ? QStringLiteral(QUORVANE_CLIENT_EXE) : program,
                                        environment, m_profile->workDir(), log));
    ClientProgram* client = m_clients.back().get();
    EXPECT_TRUE(client->start()) << "the client did not start";
    return client;
}

std::optional<DesktopWindow> EndToEndTest::waitForWindow(qint64 pid, QSize size, int timeoutMs) const
{
    std::optional<DesktopWindow> found;
    waitFor(
        [&] { return (found = Desktop::shownWindowOfSize(pid, size.width(), size.height())).has_value(); },
        timeoutMs, 200);
    return found;
}

std::optional<DesktopWindow> EndToEndTest::waitForScaledWindow(qint64 pid, QSize size, qreal scale,
                                                               int timeoutMs) const
{
    const QSize scaled = size * scale;
    std::optional<DesktopWindow> found;
    waitFor(
        [&] {
            for (const DesktopWindow& window : Desktop::shownWindows(pid)) {
                const QSize shown = window.geometry.size();
                if (std::abs(shown.width() - scaled.width()) <= 1 &&
                    std::abs(shown.height() - scaled.height()) <= 1)
                    found = window;
            }
            return found.has_value();
        },
        timeoutMs, 200);
    return found;
}

bool EndToEndTest::waitForWindowGone(qint64 pid, QSize size, int timeoutMs) const
{
    return waitFor([&] { return !Desktop::shownWindowOfSize(pid, size.width(), size.height()); }, timeoutMs,
                   200);
}

std::optional<DesktopWindow> EndToEndTest::trayIcon(qint64 pid) const
{
    // The icon is a small window of the client that the tray host has taken in.
    for (const DesktopWindow& window : Desktop::shownWindows(pid)) {
        if (window.geometry.width() <= 48 && window.geometry.height() <= 48)
            return window;
    }
    return std::nullopt;
}

std::optional<DesktopWindow> EndToEndTest::waitForTrayIcon(qint64 pid) const
{
    // A client that has just started may not have its icon docked yet.
    std::optional<DesktopWindow> icon;
    waitFor([&] { return (icon = trayIcon(pid)).has_value(); }, kActionTimeoutMs, 150);
    return icon;
}

QList<LoggedRequest> EndToEndTest::waitForRequests(const QString& path, int count, int timeoutMs) const
{
    QList<LoggedRequest> requests;
    waitFor([&] { return (requests = m_server->requestsTo(path)).size() >= count; }, timeoutMs, 200);
    return requests;
}

std::optional<QPoint> EndToEndTest::waitForColour(const QRect& area, QRgb colour, QSize minimum,
                                                  int timeoutMs) const
{
    std::optional<QRect> found;
    waitFor([&] { return (found = findColourArea(m_x.grab(area), colour, 6, minimum)).has_value(); },
            timeoutMs, 250);
    if (!found)
        return std::nullopt;
    return area.topLeft() + found->center();
}

void EndToEndTest::signInThroughLoginWindow(const DesktopWindow& login, const QString& userName,
                                            const QString& password)
{
    Desktop::focus(login.id);
    // The e-mail field of the account frame: the frame lies at (152, 53), the field at (62, 28).
    Desktop::click(login.at(152 + 62 + 97, 53 + 28 + 11));
    Desktop::key({QStringLiteral("ctrl+a")});
    Desktop::type(userName);
    Desktop::key({QStringLiteral("Tab")});
    Desktop::key({QStringLiteral("ctrl+a")});
    Desktop::type(password);
    Desktop::key({QStringLiteral("Return")});
}

bool EndToEndTest::chooseFromTrayMenu(qint64 pid, const QStringList& keys)
{
    const std::optional<DesktopWindow> icon = waitForTrayIcon(pid);
    if (!icon)
        return false;
    const QSet<qint64> before = shownWindowIds(pid);
    // The menu is a new pop-up window; it takes the keyboard while it is open. A notification
    // that happens to fade in meanwhile is no pop-up. A click that arrives while the client is
    // still busy may be lost, so a person would click again.
    const auto menuOpen = [&] {
        for (const DesktopWindow& window : Desktop::shownWindows(pid)) {
            if (!before.contains(window.id) && window.overrideRedirect)
                return true;
        }
        return false;
    };
    bool opened = false;
    for (int attempt = 0; attempt < 3 && !opened; ++attempt) {
        Desktop::click(icon->geometry.center(), 3);
        opened = waitFor(menuOpen, kActionTimeoutMs / 3, 150);
    }
    if (!opened)
        return false;
    Desktop::key(keys);
    return true;
}

QSet<qint64> EndToEndTest::shownWindowIds(qint64 pid) const
{
    QSet<qint64> ids;
    for (const DesktopWindow& window : Desktop::shownWindows(pid))
        ids.insert(window.id);
    return ids;
}

std::optional<DesktopWindow> EndToEndTest::waitForWindowOfType(qint64 pid, const QString& type,
                                                               const QSet<qint64>& known, int timeoutMs) const
{
    QSet<qint64> checked = known;
    std::optional<DesktopWindow> found;
    waitFor(
        [&] {
            for (const DesktopWindow& window : Desktop::shownWindows(pid)) {
                if (checked.contains(window.id))
                    continue;
                if (Desktop::windowTypes(window.id).contains(QStringLiteral("_NET_WM_WINDOW_TYPE_") + type)) {
                    found = window;
                    return true;
                }
                // Only windows of another type are passed over for good; a window may be shown
                // before its type is readable.
                if (Desktop::windowTypes(window.id).contains(QStringLiteral("_NET_WM_WINDOW_TYPE_")))
                    checked.insert(window.id);
            }
            return false;
        },
        timeoutMs, 150);
    return found;
}

} // namespace quorvane
