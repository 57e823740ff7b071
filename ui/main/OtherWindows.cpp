#include "ui/main/OtherWindows.h"

#include "notify/TimerThread.h"
#include "ui/chrome/BrowserView.h"
#include "ui/share/BrowserForm.h"
#include "ui/dialogs/AboutForm.h"
#include "ui/dialogs/ChangePasswordForm.h"
#include "ui/dialogs/FeedbackForm.h"
#include "ui/dialogs/SettingForm.h"

namespace OtherWindows {

void StopPollingThread(TTimerThread* thread)
{
    if (!thread)
        return;
    thread->Stop();
    delete thread;
}

QWebEnginePage* SharePageForNewWindow(QWidget* owner)
{
    if (!frmBrowser)
        frmBrowser = new TfrmBrowser(owner);
    frmBrowser->ExpectSharePage();
    return frmBrowser->WebBrowser1->page();
}

void ShowShareWindow()
{
    if (frmBrowser)
        frmBrowser->show();
}

void ShowSettingWindow(QWidget* owner)
{
    ::ShowSettingWindow(owner);
}

void ShowChangePasswordWindow(QWidget* owner)
{
    ::ShowChangePasswordWindow(owner);
}

void ShowFeedbackWindow(QWidget* owner)
{
    ::ShowFeedbackWindow(owner);
}

void ShowAboutWindow(QWidget* owner)
{
    ::ShowAboutWindow(owner);
}

} // namespace OtherWindows
