#include "app/Client.h"

#include "app/AutoSignIn.h"
#include "app/NetworkWatch.h"
#include "app/ResumeWatch.h"
#include "config/ConfigStore.h"
#include "notify/NotificationPopup.h"
#include "notify/NotificationRoad.h"
#include "platform/Shell.h"
#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/OpenWindows.h"
#include "ui/chrome/PageOrigin.h"
#include "ui/chrome/RequestRunner.h"
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
      m_signInRunner(std::make_unique<RequestRunner>()), m_retryDelay(m_options.signInRetry)
{
    // The saved sign-in goes out first: its answer is on its way while the windows and the
    // browser engine start up.
    if (const ConfigStore config; config.canAutoLogin(config.loadConfigInfo())) {
        m_automaticSignIn = true;
        startAutomaticSignIn();
    }
    m_mainWindow = std::make_unique<MainWindow>(m_session);
    m_popup = std::make_unique<NotificationPopup>();

    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &Client::retryNow);

    MainWindow* main = m_mainWindow.get();
    if (m_options.trayAvailable)
        main->setTrayAvailability(m_options.trayAvailable);
    if (m_options.hiddenPageDiscardDelay)
        main->setHiddenPageDiscardDelay(*m_options.hiddenPageDiscardDelay);
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
    m_signInRunner.reset();
    m_poller.reset();
    m_popup.reset();
    m_mainWindow.reset();
}

void Client::start()
{
    signIn();
}

void Client::signIn()
{
    if (m_signInStarted)
        return;
    m_signInStarted = true;
    // An answer that came while the engine started is read now rather than after the rest of
    // the main window is made: the start page is then on its way first.
    QCoreApplication::sendPostedEvents(m_signInRunner.get(), QEvent::MetaCall);
    m_mainWindow->beginSignIn();
    m_resumeWatch = new ResumeWatch(this);
    connect(m_resumeWatch, &ResumeWatch::resumed, this, &Client::checkAfterResume);
    // Without a saved sign-in the login window opens, in the event loop.
    if (!m_automaticSignIn)
        QTimer::singleShot(0, this, &Client::askForLogin);
}

void Client::trySavedLogin(void (Client::*read)(const AutoSignInResult&))
{
    // Read for each attempt: a sign-in by hand in the meantime has stored its own login.
    const SavedLogin saved = ConfigStore().loadConfigInfo();
    Session& session = m_session;
    m_signInRunner->start(
        [&session, saved] { return signInAutomatically(session, saved); },
        [this, read](const RequestOutcome<AutoSignInResult>& outcome) { (this->*read)(outcome.get()); });
}

void Client::startAutomaticSignIn()
{
    if (!m_signInRunner->running())
        trySavedLogin(&Client::readAutomaticSignIn);
}

void Client::readAutomaticSignIn(const AutoSignInResult& result)
{
    switch (result.kind) {
    case AutoSignInResult::SignedIn:
        stopWaitingForNetwork();
        // A login window opened meanwhile ends, and askForLogin goes on from there.
        if (m_loginWindow)
            m_loginWindow->setModalResult(LoginWindow::ResultOk);
        else
            finishSignIn();
        break;
    case AutoSignInResult::Unreachable:
        waitForNetwork();
        break;
    case AutoSignInResult::Refused:
        stopWaitingForNetwork();
        // In the event loop: the answer may be read while the sign-in begins.
        QTimer::singleShot(0, this, &Client::askForLogin);
        break;
    }
}

void Client::waitForNetwork()
{
    if (!m_waitingForNetwork) {
        m_waitingForNetwork = true;
        m_networkWatch = new NetworkWatch(this);
        connect(m_networkWatch, &NetworkWatch::networkCameBack, this, &Client::retryNow);
        if (m_loginWindow)
            m_loginWindow->showWaitingForNetwork(true);
    }
    m_retryTimer.start(m_retryDelay.next());
    // Without a tray nothing would show that the client runs at all.
    if (!m_mainWindow->trayAvailable() && !m_loginWindow)
        QTimer::singleShot(0, this, &Client::askForLogin);
}

void Client::stopWaitingForNetwork()
{
    if (!m_waitingForNetwork)
        return;
    m_waitingForNetwork = false;
    m_retryTimer.stop();
    m_retryDelay.reset();
    delete m_networkWatch;
    m_networkWatch = nullptr;
    if (m_loginWindow)
        m_loginWindow->showWaitingForNetwork(false);
}

void Client::retryNow()
{
    if (!m_waitingForNetwork)
        return;
    m_retryTimer.stop();
    startAutomaticSignIn();
}

void Client::askForLogin()
{
    if (m_loginWindow || m_signedIn)
        return;
    if (runLoginWindow(m_waitingForNetwork ? LoginWindow::waitingForNetworkText() : QString()))
        finishSignIn();
}

bool Client::runLoginWindow(const QString& notice)
{
    // Owned here, not by the hidden main window.
    auto window = std::make_unique<LoginWindow>(m_session);
    m_loginWindow = window.get();
    if (!notice.isEmpty())
        window->showNotice(notice);
    // A sign-in by hand takes over from the automatic one: its answer, should it still come, is
    // dropped, so that it cannot replace the user's own sign-in.
    connect(&window->requestRunner(), &RequestRunner::started, this, [this] {
        m_signInRunner->cancel();
        stopWaitingForNetwork();
    });
    const int result = window->showModal();
    window.reset();
    if (result == LoginWindow::ResultOk)
        return true;
    stopWaitingForNetwork();
    m_signInRunner->cancel();
    QCoreApplication::exit(0);
    return false;
}

void Client::finishSignIn()
{
    if (m_signedIn)
        return;
    m_signedIn = true;
    m_mainWindow->showSignedIn();
    // The first poll waits for the start page, whose load a notification's page would slow
    // down, but not for long.
    connect(m_mainWindow.get(), &MainWindow::pageLoaded, this, &Client::startPolling,
            Qt::SingleShotConnection);
    QTimer::singleShot(m_options.firstPollWait, this, &Client::startPolling);
}

void Client::renewSession()
{
    // Only one sign-in at a time; the next refused polls ask again.
    if (m_renewing || m_loginWindow || !m_signedIn || m_signInRunner->running())
        return;
    const SavedLogin saved = ConfigStore().loadConfigInfo();
    if (!saved.rememberPass || saved.userName.isEmpty() || saved.password.isEmpty()) {
        askToSignInAgain({});
        return;
    }
    m_renewing = true;
    trySavedLogin(&Client::readRenewal);
}

void Client::readRenewal(const AutoSignInResult& result)
{
    m_renewing = false;
    switch (result.kind) {
    case AutoSignInResult::SignedIn:
        // The page still holds the old token; the polls take the new one by themselves.
        m_mainWindow->navigateTo(m_session.getMainUrl());
        break;
    case AutoSignInResult::Refused:
        askToSignInAgain(result.message);
        break;
    case AutoSignInResult::Unreachable:
        // The next refused polls try again.
        break;
    }
}

void Client::askToSignInAgain(const QString& notice)
{
    if (m_loginWindow)
        return;
    if (runLoginWindow(notice))
        m_mainWindow->showSignedIn();
}

void Client::checkAfterResume()
{
    if (m_waitingForNetwork)
        retryNow();
    else if (m_poller)
        m_poller->pollNow();
}

void Client::startPolling()
{
    if (m_poller)
        return;
    m_poller.reset(new Poller(m_session, m_options.poller));
    m_poller->setPromptParent(m_mainWindow.get());
    if (m_options.showNotifications)
        showNotificationsIn(*m_popup, *m_poller);
    connect(m_poller.get(), &Poller::exitRequested, m_mainWindow.get(), &MainWindow::exitApplication);
    connect(m_poller.get(), &Poller::sessionRefused, this, &Client::renewSession);
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
    if (m_waitingForNetwork) {
        // The user may want to sign in by hand, or see why nothing happens.
        QTimer::singleShot(0, this, &Client::askForLogin);
        return;
    }
    if (m_signedIn)
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
