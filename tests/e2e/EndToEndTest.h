#pragma once

#include "tests/e2e/ClientProgram.h"
#include "tests/e2e/DemoServerProcess.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/Wait.h"
#include "tests/e2e/XServer.h"
#include "tests/support/TempProfile.h"

#include <QList>
#include <QSet>
#include <QSize>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <vector>

namespace quorvane {

// The windows a person sees, told apart by their size (every one of them is called "Quorvane").
namespace WindowSize {
inline const QSize kLogin(455, 350);
inline const QSize kMain(995, 724);
inline const QSize kSettings(453, 251);
// The notification of a sign-in: 300 x 220 as the server sends it, + 3 and + 5 for the frame.
inline const QSize kNotification(303, 225);
// The share window once a share page with a picture (share type "3") has loaded.
inline const QSize kShareWithPicture(628, 528);
} // namespace WindowSize

// An end-to-end test: the real client program on a private X server with a tray host, against
// the real demo server, in a fresh profile. It is driven only from outside, with the mouse and
// the keyboard (xdotool), and checks what the server received, what the files hold and which
// windows are shown. A failing test leaves a screenshot, the logs and the files behind.
class EndToEndTest : public ::testing::Test
{
protected:
    static const QString kUser;
    static const QString kPassword;

    void SetUp() override;
    void TearDown() override;

    // The size of the private screen.
    virtual QSize screenSize() const { return QSize(1280, 1024); }
    // Whether the desktop has a tray host.
    virtual bool trayHost() const { return true; }
    // Options of the demo server besides its port and data folder (called once the profile exists).
    virtual QStringList serverOptions() { return {}; }

    // The saved login a person would have after ticking "自动登录" once.
    void saveLogin(const QString& userName, const QString& password);
    QString configFile() const { return m_profile->configFile(); }
    QString iniValue(const QString& key) const;
    QString upgradeIniValue(const QString& key) const;

    // Starts a client program (the build's client unless given) in the profile, with `extra`
    // added to its environment (QT_SCALE_FACTOR, for a high-density screen).
    ClientProgram* startClient(const QString& program = QString(),
                               const QProcessEnvironment& extra = QProcessEnvironment());
    QProcessEnvironment clientEnvironment() const;

    // Waits for a shown window of `pid` with that size.
    std::optional<DesktopWindow> waitForWindow(qint64 pid, QSize size, int timeoutMs = kStartTimeoutMs) const;
    // Waits for a shown window of `pid` of that size in points on a screen of `scale`, give or take
    // the pixel that rounding the scaled size may cost.
    std::optional<DesktopWindow> waitForScaledWindow(qint64 pid, QSize size, qreal scale,
                                                     int timeoutMs = kStartTimeoutMs) const;
    // Waits until `pid` shows no window of that size.
    bool waitForWindowGone(qint64 pid, QSize size, int timeoutMs = kActionTimeoutMs) const;
    // Waits for a shown window of `pid` of that type ("DIALOG", "UTILITY") that is not in `known`.
    std::optional<DesktopWindow> waitForWindowOfType(qint64 pid, const QString& type,
                                                     const QSet<qint64>& known,
                                                     int timeoutMs = kActionTimeoutMs) const;
    // The ids of the windows `pid` shows now.
    QSet<qint64> shownWindowIds(qint64 pid) const;
    std::optional<DesktopWindow> trayIcon(qint64 pid) const;
    std::optional<DesktopWindow> waitForTrayIcon(qint64 pid) const;
    // Waits for `count` requests to `path` at the server and gives them.
    QList<LoggedRequest> waitForRequests(const QString& path, int count = 1,
                                         int timeoutMs = kActionTimeoutMs) const;
    // Waits until an area of the screen shows a control of that colour; gives its centre.
    std::optional<QPoint> waitForColour(const QRect& area, QRgb colour, QSize minimum,
                                        int timeoutMs = kActionTimeoutMs) const;

    // Types the account into the login window and presses Enter.
    void signInThroughLoginWindow(const DesktopWindow& login, const QString& userName,
                                  const QString& password);
    // Opens the tray icon's menu with the right button and presses `keys` in it.
    bool chooseFromTrayMenu(qint64 pid, const QStringList& keys);
    // The main window's title-bar buttons.
    void clickMinimise(const DesktopWindow& main) { Desktop::click(main.at(912 + 14, 8 + 8)); }
    void clickClose(const DesktopWindow& main) { Desktop::click(main.at(946 + 14, 8 + 8)); }

    XServer m_x;
    std::unique_ptr<TempProfile> m_profile;
    std::unique_ptr<DemoServerProcess> m_server;
    std::vector<std::unique_ptr<ClientProgram>> m_clients;
    // Clients the test did not start itself (the updater starts the new one); ended at the end.
    QList<qint64> m_otherClients;

private:
    void saveArtifacts();
};

} // namespace quorvane
