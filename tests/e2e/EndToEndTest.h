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
class TEndToEndTest : public ::testing::Test
{
protected:
    static const QString kUser;
    static const QString kPassword;

    void SetUp() override;
    void TearDown() override;

    // The size of the private screen.
    virtual QSize ScreenSize() const { return QSize(1280, 1024); }
    // Options of the demo server besides its port and data folder (called once the profile exists).
    virtual QStringList ServerOptions() { return {}; }

    // The saved login a person would have after ticking "自动登录" once.
    void SaveLogin(const QString& userName, const QString& password);
    QString ConfigFile() const { return profile->ConfigFile(); }
    QString IniValue(const QString& key) const;
    QString UpgradeIniValue(const QString& key) const;

    // Starts a client program (the build's client unless given) in the profile.
    TClientProgram* StartClient(const QString& program = QString());
    QProcessEnvironment ClientEnvironment() const;

    // Waits for a shown window of `pid` with that size.
    std::optional<TWindow> WaitForWindow(qint64 pid, QSize size, int timeoutMs = kStartTimeoutMs) const;
    // Waits until `pid` shows no window of that size.
    bool WaitForWindowGone(qint64 pid, QSize size, int timeoutMs = kActionTimeoutMs) const;
    // Waits for a shown window of `pid` of that type ("DIALOG", "UTILITY") that is not in `known`.
    std::optional<TWindow> WaitForWindowOfType(qint64 pid, const QString& type, const QSet<qint64>& known,
                                               int timeoutMs = kActionTimeoutMs) const;
    // The ids of the windows `pid` shows now.
    QSet<qint64> ShownWindowIds(qint64 pid) const;
    std::optional<TWindow> TrayIcon(qint64 pid) const;
    // Waits for `count` requests to `path` at the server and gives them.
    QList<TLoggedRequest> WaitForRequests(const QString& path, int count = 1,
                                          int timeoutMs = kActionTimeoutMs) const;
    // Waits until an area of the screen shows a control of that colour; gives its centre.
    std::optional<QPoint> WaitForColour(const QRect& area, QRgb colour, QSize minimum,
                                        int timeoutMs = kActionTimeoutMs) const;

    // Types the account into the login window and presses Enter.
    void SignInThroughLoginWindow(const TWindow& login, const QString& userName, const QString& password);
    // Opens the tray icon's menu with the right button and presses `keys` in it.
    bool ChooseFromTrayMenu(qint64 pid, const QStringList& keys);
    // The main window's title-bar buttons.
    void ClickMinimise(const TWindow& main) { Desktop::Click(main.At(912 + 14, 8 + 8)); }
    void ClickClose(const TWindow& main) { Desktop::Click(main.At(946 + 14, 8 + 8)); }

    TXServer x;
    std::unique_ptr<TempProfile> profile;
    std::unique_ptr<TDemoServerProcess> server;
    std::vector<std::unique_ptr<TClientProgram>> clients;
    // Clients the test did not start itself (the updater starts the new one); ended at the end.
    QList<qint64> otherClients;

private:
    void SaveArtifacts();
};
