// The client as the end-to-end tests of a renewed session need it: it polls every second instead
// of every two minutes, and shows no notification, because the pop-up pauses polling while it is
// up (two minutes for the welcome notice of every sign-in). Everything else is the client unchanged.

#include "app/Client.h"
#include "app/StartUp.h"

int main(int argc, char** argv)
{
    quorvane::ClientOptions options;
    options.poller.interval = 1000;
    options.showNotifications = false;
    return quorvane::runClientProgram(argc, argv, options);
}
