#include "ui/main/OtherWindows.h"

#include "notify/Poller.h"
#include "platform/Shell.h"
#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/PageOrigin.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/ChangePasswordDialog.h"
#include "ui/dialogs/FeedbackWindow.h"
#include "ui/dialogs/SettingsDialog.h"
#include "ui/share/ShareWindow.h"

#include <QDebug>
#include <QUrl>

namespace OtherWindows {

void stopPollingThread(Poller* thread)
{
    if (!thread)
        return;
    thread->stop();
    delete thread;
}

void openNewWindow(QWidget* owner, const QUrl& url)
{
    switch (routeNewWindow(url)) {
    case NewWindowRoute::ShareWindow:
        if (!frmBrowser)
            frmBrowser = new ShareWindow(owner);
        frmBrowser->expectSharePage();
        // A load of its own: the share page gets no opener, so it cannot reach the page that
        // asked for it.
        frmBrowser->webBrowser1->browserPage()->navigate(urlText(url));
        frmBrowser->show();
        break;
    case NewWindowRoute::DefaultBrowser:
        openInDefaultBrowser(urlText(url));
        break;
    case NewWindowRoute::Drop:
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
