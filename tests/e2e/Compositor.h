#pragma once

#include <QList>
#include <QProcess>
#include <QSize>
#include <QString>

namespace quorvane {

// A private Wayland compositor (weston on its headless back end), as a person's Wayland session
// has, with or without an X server beside it. Its socket lies in the runtime folder it is given,
// which the client must share. With an X server, DISPLAY of this process names it while it runs,
// so xdotool and xwininfo see the client's X windows.
class Compositor final
{
    Q_DISABLE_COPY_MOVE(Compositor)

public:
    // The X server of the session.
    enum class XServer
    {
        None,
        // Weston's own XWayland: weston is the X window manager and places every X window itself.
        Managed,
        // An XWayland whose screen is one Wayland window, with no X window manager: X windows
        // stand where their programs put them, as on an X desktop.
        Rootful,
    };

    Compositor() = default;
    ~Compositor();

    // Why a session of that kind cannot run here (weston or Xwayland missing); empty when it can.
    static QString missingParts(XServer xServer);

    // Starts weston with one output of `size`, and the X server; false (see Error) when they do
    // not come up.
    bool start(const QString& runtimeDir, QSize size, XServer xServer);
    void stop();

    // The name for WAYLAND_DISPLAY.
    QString socketName() const { return m_socketName; }
    // The name for DISPLAY; empty without an X server.
    QString xDisplay() const { return m_xDisplay; }
    // What weston wrote to its log so far.
    QString log() const;
    // The sizes of the Wayland windows that clients showed, oldest first. Known only without an X
    // server: then weston logs the requests of its clients.
    QList<QSize> waylandWindowSizes() const;
    QString error() const { return m_error; }

private:
    bool startWeston(const QString& runtimeDir, QSize size, XServer xServer);
    bool startRootfulXWayland(const QString& runtimeDir);

    QProcess m_weston;
    QProcess m_xwayland;
    QString m_socketName;
    QString m_logFile;
    QString m_xDisplay;
    QString m_error;
    QByteArray m_previousDisplay;
    bool m_displaySet = false;
};

} // namespace quorvane
