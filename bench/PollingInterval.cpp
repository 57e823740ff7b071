// The bench build of the client polls every QUORVANE_BENCH_POLL_MS milliseconds instead of every
// two minutes, so that the cost of one poll can be measured in a short run and scaled. It supplies
// the two calls of ui/main/PollingWindows.cpp (which the linker then leaves out of the static
// library) and links the rest of the client unchanged:
// - the start of the polling thread hands the interval to the thread's constructor;
// - a notification is not shown. The pop-up pauses polling while it is up (two minutes for the
//   welcome notice of every sign-in), so a bench that showed it would measure no polls at all.

#include "notify/Poller.h"
#include "ui/main/OtherWindows.h"

#include <QtGlobal>

namespace OtherWindows {

Poller* startPollingThread(MainWindow* owner)
{
    bool ok = false;
    const uint interval = qEnvironmentVariable("QUORVANE_BENCH_POLL_MS").toUInt(&ok);
    PollerOptions options;
    if (ok && interval > 0)
        options.interval = interval;
    auto* thread = new Poller(owner, options);
    thread->start();
    return thread;
}

void showInformation(Poller*, const Reply&) {}

} // namespace OtherWindows
