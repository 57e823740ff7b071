#pragma once

// What the main window asks of the windows around it: the polling thread and the notification
// window, the share window, and the secondary windows of the menus. Every call to them goes
// through here.

class QUrl;
class QWidget;
class Poller;
class MainWindow;
struct Reply;

namespace OtherWindows {

// Creates the polling thread owned by the main window and starts it; none when polling is not
// built in.
Poller* startPollingThread(MainWindow* owner);
// Stops the thread, waits for it and destroys it.
void stopPollingThread(Poller* thread);
// Hands a notification to the notification window.
void showInformation(Poller* thread, const Reply& information);

// A page's request for a new window: a share page loads afresh in the share window (created if
// there is none and told to expect a share page), any other web address opens in the user's
// browser, anything else is dropped.
void openNewWindow(QWidget* owner, const QUrl& url);

void showSettingWindow(QWidget* owner);
void showChangePasswordWindow(QWidget* owner);
void showFeedbackWindow(QWidget* owner);
void showAboutWindow(QWidget* owner);

} // namespace OtherWindows
