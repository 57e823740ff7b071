#include "app/Client.h"

#include "app/AutoSignIn.h"
#include "config/ConfigStore.h"
#include "notify/NotificationPopup.h"
#include "notify/NotificationRoad.h"
#include "platform/Shell.h"
#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/OpenWindows.h"
#include "ui/chrome/PageOrigin.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/ChangePasswordDialog.h"
#include "ui/dialogs/FeedbackWindow.h"
#include "ui/dialogs/SettingsDialog.h"
#include "ui/login/LoginWindow.h"
#include "ui/main/MainWindow.h"
#include "ui/share/ShareWindow.h"

#include <QCoreApplication>
#include <QDebug>
#include <QTimer>

namespace quorvane {

void PollerStop::operator()(Poller* poller) const
{
    poller->stop();
    delete poller;
}

Client::Client(ClientOptions options)
    : m_options(std::move(options)), m_session(m_options.limits),
      m_mainWindow(std::make_unique<MainWindow>(m_session)), m_popup(std::make_unique<NotificationPopup>())
{
    MainWindow* main = m_mainWindow.get();
    // Owned by the main window; it closes itself for good and is made anew for the next share.
    new ShareWindow(m_session, main);

    connect(main, &MainWindow::openRequested, this, &Client::showClient);
    connect(main, &MainWindow::settingsRequested, this, [main] { showSettingWindow(main); });
    connect(main, &MainWindow::changePasswordRequested, this,
            [this, main] { showChangePasswordWindow(m_session, main); });
    connect(main, &MainWindow::feedbackRequested, this,
            [this, main] { showFeedbackWindow(m_session, main); });
    connect(main, &MainWindow::aboutRequested, this, [main] { showAboutWindow(main); });
    connect(main, &MainWindow::newWindowRequested, this, &Client::openNewWindow);

    connect(m_popup.get(), &NotificationPopup::showRequested, this, &Client::showInMainWindow);
    connect(m_popup.get(), &NotificationPopup::newWindowRequested, this, &Client::openNewWindow);
}

Client::~Client()
{
    // A request still running on another thread fails at once instead of holding up the end.
    m_session.abortRequests();
    m_poller.reset();
    m_popup.reset();
    m_mainWindow.reset();
}

void Client::start()
{
    QTimer::singleShot(0, this, &Client::signIn);
}

void Client::signIn()
{
    if (m_signInStarted)
        return;
    m_mainWindow->beginSignIn();
    m_signInStarted = true;
    if (!signInSavedOrAsk()) {
        QCoreApplication::exit(0);
        return;
    }
    m_mainWindow->showSignedIn();
    startPolling();
}

bool Client::signInSavedOrAsk()
{
    const ConfigStore config;
    const SavedLogin saved = config.loadConfigInfo();
    if (config.canAutoLogin(saved) && signInAutomatically(m_session, saved))
        return true;

    // Owned by the application, not by the hidden main window.
    auto window = std::make_unique<LoginWindow>(m_session);
    m_loginWindow = window.get();
    const int result = window->showModal();
    window.reset();
    return result == LoginWindow::ResultOk;
}

void Client::startPolling()
{
    m_poller.reset(new Poller(m_session, m_options.poller));
    m_poller->setPromptParent(m_mainWindow.get());
    if (m_options.showNotifications)
        showNotificationsIn(*m_popup, *m_poller);
    connect(m_poller.get(), &Poller::exitRequested, m_mainWindow.get(), &MainWindow::exitApplication);
    m_poller->start();
}

ShareWindow* Client::shareWindow() const
{
    return findOpenWindow<ShareWindow>();
}

void Client::showClient()
{
    if (!m_signInStarted)
        return;
    if (m_loginWindow) {
        // The login window may have been hidden by its minimise button; it is still modal.
        m_loginWindow->show();
        m_loginWindow->raise();
        m_loginWindow->activateWindow();
        return;
    }
    m_mainWindow->bringToFront();
}

void Client::showInMainWindow(const QString& url)
{
    m_mainWindow->navigateTo(url);
    m_mainWindow->bringToFront();
}

void Client::openNewWindow(const QUrl& url)
{
    switch (routeNewWindow(url)) {
    case NewWindowRoute::ShareWindow: {
        ShareWindow* share = shareWindow();
        if (!share)
            share = new ShareWindow(m_session, m_mainWindow.get());
        share->openSharePage(urlText(url));
        share->show();
        break;
    }
    case NewWindowRoute::DefaultBrowser:
        openInDefaultBrowser(urlText(url));
        break;
    case NewWindowRoute::Drop:
        qWarning().noquote() << "New window dropped:" << url.toString();
        break;
    }
}

} // namespace quorvane
