#include "app/StartUp.h"

#include "app/Application.h"
#include "platform/InstanceLock.h"
#include "ui/main/MainForm.h"
#include "ui/main/WindowMessages.h"

#include <memory>

void RunClient(TApplication& app, TInstanceLock& lock)
{
    // Created in this order, destroyed in reverse.
    auto mainForm = std::make_unique<TfrmMain>();

    lock.Listen([](qint64 windowId) {
        // An id that names no window of this run (stale, or -1) has no effect.
        if (frmMain && static_cast<qint64>(frmMain->winId()) == windowId) {
            QEvent request(WM_SHOWMAINFORM);
            QCoreApplication::sendEvent(frmMain, &request);
        }
    });

    app.exec();
}
