#include "platform/SystemPaths.h"
#include "upgrader/InvokingUser.h"
#include "upgrader/Updater.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>

namespace quorvane {

// The updater: started by the client from the application folder with the command line
// "fileName dstFileName", it checks the staged package against its built-in key, says "ready",
// waits for the client to end, installs the package and starts the new client, taking everything
// back when the new client fails before it is up.

static int programMain(int argc, char** argv)
{
    // The client stops reading once it has heard "ready"; a later line must not end us.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    const std::optional<UpdateRequest> request = parseUpdateRequest(app.arguments().mid(1));
    if (!request) {
        std::fputs("usage: upgrade \"NEW-FILE DESTINATION-NAME\"\n", stderr);
        return 1;
    }
    Updater updater(appDir());
    updater.setInvokingUser(invokingUserThroughPkexec());
    return int(updater.run(*request));
}

} // namespace quorvane

int main(int argc, char** argv)
{
    return quorvane::programMain(argc, argv);
}
