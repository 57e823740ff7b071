#pragma once

#include <QByteArray>
#include <functional>
#include <vector>

namespace quorvane {

// What decides the windowing system at start: the user's own choice and the session's displays.
struct PlatformSituation
{
    QByteArray qpaPlatform;        // QT_QPA_PLATFORM
    bool platformArgument = false; // "-platform" on the command line
    QByteArray waylandDisplay;     // WAYLAND_DISPLAY
    QByteArray sessionType;        // XDG_SESSION_TYPE
    QByteArray display;            // DISPLAY
};

// The platform plugin the client asks for, or empty to leave it to Qt. In a Wayland session with
// an X server at hand (XWayland) the client takes X11: only there can it shape its windows, place
// its notification at the bottom right and fade it. A choice of the user always stands.
// `xServerReachable` is asked only when its answer matters.
QByteArray chooseWindowSystem(const PlatformSituation& situation,
                              const std::function<bool(const QByteArray& display)>& xServerReachable);

// The situation of this process: its environment and command line.
PlatformSituation currentPlatformSituation(int argc, char** argv);

// The command line for the application object: `argv`, with "-platform xcb" added when
// chooseWindowSystem says so, and ending in a null pointer as argv does. It must outlive the
// application object, which keeps it.
std::vector<char*> argumentsWithWindowSystem(int argc, char** argv);

} // namespace quorvane
