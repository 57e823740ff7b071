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

void stopPollingThread(TTimerThread* thread)
{
    if (!thread)
        return;
    thread->stop();
    delete thread;
}

void openNewWindow(QWidget* owner, const QUrl& url)
{
    switch (routeNewWindow(url)) {
    case TNewWindowRoute::ShareWindow:
        if (!frmBrowser)
            frmBrowser = new TfrmBrowser(owner);
        frmBrowser->expectSharePage();
        // A load of its own: the share page gets no opener, so it cannot reach the page that
        // asked for it.
        frmBrowser->webBrowser1->browserPage()->navigate(urlText(url));
        frmBrowser->show();
        break;
    case TNewWindowRoute::DefaultBrowser:
        openInDefaultBrowser(urlText(url));
        break;
    case TNewWindowRoute::Drop:
        qWarning().noquote() << "New window dropped:" << url.toString();
        break;
    }
}

void showSettingWindow(QWidget* owner)
{
    ::showSettingWindow(owner);
}

void showChangePasswordWindow(QWidget* owner)
{
    ::showChangePasswordWindow(owner);
}

void showFeedbackWindow(QWidget* owner)
{
    ::showFeedbackWindow(owner);
}

void showAboutWindow(QWidget* owner)
{
    ::showAboutWindow(owner);
}

} // namespace OtherWindows
