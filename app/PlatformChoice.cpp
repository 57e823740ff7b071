#include "app/PlatformChoice.h"

#include "platform/DisplayServer.h"

#include <cstring>

namespace quorvane {

namespace {

// The application object may reorder the argument list but never writes into the strings.
char platformOption[] = "-platform";
char x11Platform[] = "xcb";

bool isPlatformOption(const char* argument)
{
    // Qt takes the option with one dash or two.
    return std::strcmp(argument, "-platform") == 0 || std::strcmp(argument, "--platform") == 0;
}

} // namespace

QByteArray chooseWindowSystem(const PlatformSituation& situation,
                              const std::function<bool(const QByteArray& display)>& xServerReachable)
{
    if (!situation.qpaPlatform.isEmpty() || situation.platformArgument)
        return {};
    const bool waylandSession = !situation.waylandDisplay.isEmpty() || situation.sessionType == "wayland";
    if (!waylandSession || situation.display.isEmpty())
        return {};
    // DISPLAY may be left over from another session; only a server that answers will do.
    return xServerReachable(situation.display) ? QByteArray(x11Platform) : QByteArray();
}

PlatformSituation currentPlatformSituation(int argc, char** argv)
{
    PlatformSituation situation;
    situation.qpaPlatform = qgetenv("QT_QPA_PLATFORM");
    situation.waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    situation.sessionType = qgetenv("XDG_SESSION_TYPE");
    situation.display = qgetenv("DISPLAY");
    for (int i = 1; i < argc; ++i) {
        if (isPlatformOption(argv[i]))
            situation.platformArgument = true;
    }
    return situation;
}

std::vector<char*> argumentsWithWindowSystem(int argc, char** argv)
{
    std::vector<char*> arguments(argv, argv + argc);
    if (chooseWindowSystem(currentPlatformSituation(argc, argv), xServerReachable) == x11Platform) {
        arguments.push_back(platformOption);
        arguments.push_back(x11Platform);
    }
    arguments.push_back(nullptr);
    return arguments;
}

} // namespace quorvane
