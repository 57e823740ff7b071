#pragma once

// What the main window asks of the windows around it: the polling thread and the notification
// window, the share window, and the secondary windows of the menus. Every call to them goes
// through here.

class QWebEnginePage;
class QWidget;
class TTimerThread;
class TfrmMain;
struct APIResponse;

namespace OtherWindows {

// Creates the polling thread owned by the main window and starts it; none when polling is not
// built in.
TTimerThread* StartPollingThread(TfrmMain* owner);
// Stops the thread, waits for it and destroys it.
void StopPollingThread(TTimerThread* thread);
// Hands a notification to the notification window.
void ShowInformation(TTimerThread* thread, const APIResponse& information);

// The share window's page for a new-window request of the main browser: the window is created
// if there is none and told to expect a share page. None when sharing is not built in.
QWebEnginePage* SharePageForNewWindow(QWidget* owner);
void ShowShareWindow();

void ShowSettingWindow(QWidget* owner);
void ShowChangePasswordWindow(QWidget* owner);
void ShowFeedbackWindow(QWidget* owner);
void ShowAboutWindow(QWidget* owner);

} // namespace OtherWindows
