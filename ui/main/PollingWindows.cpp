// The start of the main window's polling thread and the notification window it hands records to.
// Kept in a file of their own so that the bench build of the client can supply these two calls
// with a shorter polling interval (bench/PollingInterval.cpp) and link everything else unchanged.

#include "ui/main/OtherWindows.h"

#include "notify/MessageForm.h"
#include "notify/TimerThread.h"

namespace OtherWindows {

TTimerThread* startPollingThread(TfrmMain* owner)
{
    auto* thread = new TTimerThread(owner);
    thread->start();
    return thread;
}

void showInformation(TTimerThread* thread, const APIResponse& information)
{
    if (frmMessage)
        frmMessage->showInformation(thread, information);
}

} // namespace OtherWindows
