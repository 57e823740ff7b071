#pragma once

#include "server/Reply.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class MainWindow;

// What the polling thread asks of the user-interface thread. The functions run there, one at a
// time, while the polling thread waits.
struct PollerOwner
{
    // Owns the update prompt.
    QPointer<QWidget> window;
    // Shows a notification (the main window passes it on to the pop-up).
    std::function<void(const Reply& information)> showInformation;
    // Ends the client after the updater has been started.
    std::function<void()> exitApplication;
};

// The main window as the owner of the polling thread.
PollerOwner mainWindowOwner(MainWindow* owner);
