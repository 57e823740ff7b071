// The start of the main window's polling thread and the notification window it hands records to.
// Kept in a file of their own so that the bench build of the client can supply these two calls
// with a shorter polling interval (bench/PollingInterval.cpp) and link everything else unchanged.

#include "ui/main/OtherWindows.h"

#include "notify/NotificationPopup.h"
#include "notify/Poller.h"

namespace OtherWindows {

Poller* startPollingThread(MainWindow* owner)
{
    auto* thread = new Poller(owner);
    thread->start();
    return thread;
}

void showInformation(Poller* thread, const Reply& information)
{
    if (frmMessage)
        frmMessage->showInformation(thread, information);
}

} // namespace OtherWindows
