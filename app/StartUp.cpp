#include "app/StartUp.h"

#include "app/Application.h"
#include "app/CheckInstance.h"
#include "app/Client.h"
#include "app/ErrorDisplay.h"
#include "app/PlatformChoice.h"
#include "app/StartReport.h"
#include "config/DataFolder.h"
#include "platform/InstanceLock.h"
#include "ui/chrome/BrowserProfile.h"
#include "ui/main/MainWindow.h"

namespace quorvane {

namespace {

// Runs the client until its main window ends it, serving the show requests of later starts.
void runClient(Application& app, InstanceLock& lock, const ClientOptions& options)
{
    // Watches for the first window, which an updater that just installed this program waits for.
    StartReport startReport;
    Client client(options);
    lock.listen([&client](qint64 windowId) {
        // An id that names no window of this run (stale, or -1) has no effect.
        if (static_cast<qint64>(client.mainWindow().winId()) == windowId)
            client.showClient();
    });
    if (options.created)
        options.created(client);
    client.start();
    app.exec();
}

} // namespace

int runClientProgram(int argc, char** argv, const ClientOptions& options)
{
    // Pages reach the client through "vemtraclient://" URLs; the engine must know the scheme
    // before the application object exists.
    registerClientUrlScheme();
    // In a Wayland session the client takes X11 where it can, for its shaped windows, placement
    // and fades; decided before the application object loads the windowing system.
    std::vector<char*> arguments = argumentsWithWindowSystem(argc, argv);
    int argumentCount = static_cast<int>(arguments.size()) - 1;
    Application app(argumentCount, arguments.data());
    secureDataFolder();
    InstanceLock lock(QString::fromLatin1(kInstanceName));
    try {
        if (checkInstance(lock))
            runClient(app, lock, options);
    } catch (...) {
        showCurrentException();
    }
    return 0;
}

} // namespace quorvane
