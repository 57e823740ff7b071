// The bench build of the client polls every QUORVANE_BENCH_POLL_MS milliseconds instead of every
// two minutes, so that the cost of one poll can be measured in a short run and scaled, and shows
// no notification: the pop-up pauses polling while it is up (two minutes for the welcome notice of
// every sign-in), so a bench that showed it would measure no polls at all. Everything else is the
// client unchanged.

#include "app/Client.h"
#include "app/StartUp.h"

#include <QtGlobal>

using namespace quorvane;

int main(int argc, char** argv)
{
    ClientOptions options;
    bool ok = false;
    const uint interval = qEnvironmentVariable("QUORVANE_BENCH_POLL_MS").toUInt(&ok);
    if (ok && interval > 0)
        options.poller.interval = interval;
    options.showNotifications = false;
    return runClientProgram(argc, argv, options);
}
