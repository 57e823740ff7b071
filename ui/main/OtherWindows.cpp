#include "ui/main/OtherWindows.h"

#include "notify/TimerThread.h"
#include "platform/Shell.h"
#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/PageOrigin.h"
#include "ui/dialogs/AboutForm.h"
#include "ui/dialogs/ChangePasswordForm.h"
#include "ui/dialogs/FeedbackForm.h"
#include "ui/dialogs/SettingForm.h"
#include "ui/share/BrowserForm.h"

#include <QDebug>
#include <QUrl>

namespace OtherWindows {

void StopPollingThread(TTimerThread* thread)
{
    if (!thread)
        return;
    thread->Stop();
    delete thread;
}

void OpenNewWindow(QWidget* owner, const QUrl& url)
{
    switch (RouteNewWindow(url)) {
    case TNewWindowRoute::ShareWindow:
        if (!frmBrowser)
            frmBrowser = new TfrmBrowser(owner);
        frmBrowser->ExpectSharePage();
        // A load of its own: the share page gets no opener, so it cannot reach the page that
        // asked for it.
        frmBrowser->WebBrowser1->Page()->Navigate(UrlText(url));
        frmBrowser->show();
        break;
    case TNewWindowRoute::DefaultBrowser:
        OpenInDefaultBrowser(UrlText(url));
        break;
    case TNewWindowRoute::Drop:
        qWarning().noquote() << "New window dropped:" << url.toString();
        break;
    }
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
