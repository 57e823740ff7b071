#include "tests/e2e/EndToEndTest.h"

#include "config/SelvorConfig.h"
#include "platform/PrivateProfile.h"
#include "tests/e2e/ColourArea.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <iostream>

const QString TEndToEndTest::kUser = QStringLiteral("demo@quorvane.com");
const QString TEndToEndTest::kPassword = QStringLiteral("demo123");

namespace {

QString ArtifactsDir()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return QStringLiteral(QUORVANE_E2E_ARTIFACTS_DIR) + QLatin1Char('/') +
           QString::fromLatin1(test->test_suite_name()) + QLatin1Char('.') +
           QString::fromLatin1(test->name());
}

void CopyIfThere(const QString& from, const QString& to)
{
    if (QFileInfo::exists(from)) {
        QFile::remove(to);
        QFile::copy(from, to);
    }
}

} // namespace

void TEndToEndTest::SetUp()
{
    for (const char* tool : {"Xvfb", "xdotool", "xwininfo"})
        ASSERT_FALSE(QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            << tool << " is missing: run tools/install-deps";
    ASSERT_TRUE(x.Start(ScreenSize())) << x.Error().toStdString();
    if (!x.StartTrayHost())
        GTEST_SKIP() << x.Error().toStdString();

    profile = std::make_unique<TempProfile>();
    QDir().mkpath(profile->Root() + QStringLiteral("/cache"));
    server = std::make_unique<TDemoServerProcess>(profile->Root() + QStringLiteral("/server"));
    const QStringList options = ServerOptions();
    ASSERT_FALSE(HasFailure()) << "the server could not be prepared";
    ASSERT_TRUE(server->Start(options)) << server->Output().toStdString();

    // A person points the client at a server through these two keys; everything else starts
    // from the defaults.
    TempProfile::WriteFile(
        ConfigFile(),
        QStringLiteral("[Common]\napp_root=%1\ndown_url=%1/res/download\n").arg(server->Root()).toLatin1());
}

void TEndToEndTest::TearDown()
{
    if (HasFailure() && profile)
        SaveArtifacts();
    for (const qint64 pid : otherClients)
        EndProcess(pid);
    clients.clear();
    // Whatever still runs from the profile (an updater, or the client it started, after a
    // failure) ends with the test.
    if (profile) {
        for (const qint64 pid : ProcessesOf(profile->Root()))
            EndProcess(pid);
    }
    if (server)
        server->Stop();
    x.Stop();
}

void TEndToEndTest::SaveArtifacts()
{
    const QString dir = ArtifactsDir();
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    x.GrabScreen().save(dir + QStringLiteral("/screen.png"));
    QFile log(dir + QStringLiteral("/requests.log"));
    if (server && log.open(QIODevice::WriteOnly))
        log.write(server->RequestLog().toUtf8());
    for (const QFileInfo& file : QDir(profile->Root()).entryInfoList({QStringLiteral("client-*.log")}))
        CopyIfThere(file.filePath(), dir + QLatin1Char('/') + file.fileName());
    CopyIfThere(ConfigFile(), dir + QStringLiteral("/quorvane.ini"));
    CopyIfThere(profile->DataHome() + QStringLiteral("/quorvane/upgrade.ini"),
                dir + QStringLiteral("/upgrade.ini"));
    std::cerr << "End-to-end artifacts (screenshot, logs, files): " << dir.toStdString() << std::endl;
}

void TEndToEndTest::SaveLogin(const QString& userName, const QString& password)
{
    TSelvorConfig().SaveConfigInfo({userName, password, true, true, 0});
}

QString TEndToEndTest::IniValue(const QString& key) const
{
    return ReadProfileString(ConfigFile(), QStringLiteral("Common"), key, QString());
}

QString TEndToEndTest::UpgradeIniValue(const QString& key) const
{
    return ReadProfileString(profile->DataHome() + QStringLiteral("/quorvane/upgrade.ini"),
                             QStringLiteral("Common"), key, QString());
}

QProcessEnvironment TEndToEndTest::ClientEnvironment() const
{
    QProcessEnvironment env = profile->Environment();
    env.insert(QStringLiteral("DISPLAY"), x.Display());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // Nothing of the caller's desktop: no input method between xdotool and the fields, no
    // scaling that changes the window sizes the tests know, no theme with a tray of its own.
    for (const char* name : {"QT_IM_MODULE", "XMODIFIERS", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
                             "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_ENABLE_HIGHDPI_SCALING",
                             "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), profile->Root() + QStringLiteral("/cache"));
    // No session bus: the tray icon must go to the tray host of this X server, never to the
    // desktop of whoever runs the tests.
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               QStringLiteral("unix:path=") + profile->Root() + QStringLiteral("/no-session-bus"));
    // The microblog share hosts resolve to the demo server inside the client's browser views;
    // the quotes keep the rule one argument. The tests may run as root, where Chromium needs
    // --no-sandbox; there is no GPU under Xvfb.
    const QString rules =
        QStringLiteral("MAP service.weibo.com 127.0.0.1:%1, MAP v.t.sina.com.cn 127.0.0.1:%1")
            .arg(server->Port());
    env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
               QStringLiteral("\"--host-resolver-rules=%1\" --no-sandbox --disable-gpu").arg(rules));
    return env;
}

TClientProgram* TEndToEndTest::StartClient(const QString& program)
{
    const QString log = profile->Root() + QStringLiteral("/client-%1.log").arg(clients.size() + 1);
    clients.push_back(
        std::make_unique<TClientProgram>(program.isEmpty() ? QStringLiteral(QUORVANE_CLIENT_EXE) : program,
                                         ClientEnvironment(), profile->WorkDir(), log));
    TClientProgram* client = clients.back().get();
    EXPECT_TRUE(client->Start()) << "the client did not start";
    return client;
}

std::optional<TWindow> TEndToEndTest::WaitForWindow(qint64 pid, QSize size, int timeoutMs) const
{
    std::optional<TWindow> found;
    WaitFor(
        [&] { return (found = Desktop::ShownWindowOfSize(pid, size.width(), size.height())).has_value(); },
        timeoutMs, 200);
    return found;
}

bool TEndToEndTest::WaitForWindowGone(qint64 pid, QSize size, int timeoutMs) const
{
    return WaitFor([&] { return !Desktop::ShownWindowOfSize(pid, size.width(), size.height()); }, timeoutMs,
                   200);
}

std::optional<TWindow> TEndToEndTest::TrayIcon(qint64 pid) const
{
    // The icon is a small window of the client that the tray host has taken in.
    for (const TWindow& window : Desktop::ShownWindows(pid)) {
        if (window.geometry.width() <= 48 && window.geometry.height() <= 48)
            return window;
    }
    return std::nullopt;
}

QList<TLoggedRequest> TEndToEndTest::WaitForRequests(const QString& path, int count, int timeoutMs) const
{
    QList<TLoggedRequest> requests;
    WaitFor([&] { return (requests = server->RequestsTo(path)).size() >= count; }, timeoutMs, 200);
    return requests;
}

std::optional<QPoint> TEndToEndTest::WaitForColour(const QRect& area, QRgb colour, QSize minimum,
                                                   int timeoutMs) const
{
    std::optional<QRect> found;
    WaitFor([&] { return (found = FindColourArea(x.Grab(area), colour, 6, minimum)).has_value(); }, timeoutMs,
            250);
    if (!found)
        return std::nullopt;
    return area.topLeft() + found->center();
}

void TEndToEndTest::SignInThroughLoginWindow(const TWindow& login, const QString& userName,
                                             const QString& password)
{
    Desktop::Focus(login.id);
    // The e-mail field of the account frame: the frame lies at (152, 53), the field at (62, 28).
    Desktop::Click(login.At(152 + 62 + 97, 53 + 28 + 11));
    Desktop::Key({QStringLiteral("ctrl+a")});
    Desktop::Type(userName);
    Desktop::Key({QStringLiteral("Tab")});
    Desktop::Key({QStringLiteral("ctrl+a")});
    Desktop::Type(password);
    Desktop::Key({QStringLiteral("Return")});
}

bool TEndToEndTest::ChooseFromTrayMenu(qint64 pid, const QStringList& keys)
{
    // A client that has just started may not have its icon docked yet.
    std::optional<TWindow> icon;
    WaitFor([&] { return (icon = TrayIcon(pid)).has_value(); }, kActionTimeoutMs, 150);
    if (!icon)
        return false;
    const QSet<qint64> before = ShownWindowIds(pid);
    // The menu is a new pop-up window; it takes the keyboard while it is open. A notification
    // that happens to fade in meanwhile is no pop-up. A click that arrives while the client is
    // still busy may be lost, so a person would click again.
    const auto menuOpen = [&] {
        for (const TWindow& window : Desktop::ShownWindows(pid)) {
            if (!before.contains(window.id) && window.overrideRedirect)
                return true;
        }
        return false;
    };
    bool opened = false;
    for (int attempt = 0; attempt < 3 && !opened; ++attempt) {
        Desktop::Click(icon->geometry.center(), 3);
        opened = WaitFor(menuOpen, kActionTimeoutMs / 3, 150);
    }
    if (!opened)
        return false;
    Desktop::Key(keys);
    return true;
}

QSet<qint64> TEndToEndTest::ShownWindowIds(qint64 pid) const
{
    QSet<qint64> ids;
    for (const TWindow& window : Desktop::ShownWindows(pid))
        ids.insert(window.id);
    return ids;
}

std::optional<TWindow> TEndToEndTest::WaitForWindowOfType(qint64 pid, const QString& type,
                                                          const QSet<qint64>& known, int timeoutMs) const
{
    QSet<qint64> checked = known;
    std::optional<TWindow> found;
    WaitFor(
        [&] {
            for (const TWindow& window : Desktop::ShownWindows(pid)) {
                if (checked.contains(window.id))
                    continue;
                if (Desktop::WindowTypes(window.id).contains(QStringLiteral("_NET_WM_WINDOW_TYPE_") + type)) {
                    found = window;
                    return true;
                }
                // Only windows of another type are passed over for good; a window may be shown
                // before its type is readable.
                if (Desktop::WindowTypes(window.id).contains(QStringLiteral("_NET_WM_WINDOW_TYPE_")))
                    checked.insert(window.id);
            }
            return false;
        },
        timeoutMs, 150);
    return found;
}
