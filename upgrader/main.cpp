#include "platform/SystemPaths.h"
#include "upgrader/InvokingUser.h"
#include "upgrader/Updater.h"

#include <QCoreApplication>
#include <cstdio>

// The updater: started by the client from the application folder with the command line
// "fileName dstFileName", it waits for the client to end, replaces dstFileName in this folder
// with fileName and starts the client again.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::optional<TUpdateRequest> request = ParseUpdateRequest(app.arguments().mid(1));
    if (!request) {
        std::fputs("usage: upgrade \"NEW-FILE DESTINATION-NAME\"\n", stderr);
        return 1;
    }
    TUpdater updater(AppDir());
    updater.SetInvokingUser(InvokingUserThroughPkexec());
    return int(updater.Run(*request));
}
