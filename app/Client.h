#pragma once

#include "app/AutoSignIn.h"
#include "app/RetryDelay.h"
#include "notify/NotificationPopup.h"
#include "notify/Poller.h"
#include "server/HttpClient.h"
#include "server/Session.h"
#include "ui/login/LoginWindow.h"
#include "ui/main/MainWindow.h"
#include "ui/share/ShareWindow.h"

#include <QTimer>

#include <QObject>
#include <QPointer>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace quorvane {

class Client;
class NetworkWatch;
class RequestRunner;
class ResumeWatch;

// What a run of the client may change; the client keeps the defaults.
struct ClientOptions
{
    // The time limits of the session's requests.
    HttpLimits limits;
    // The polling thread's settings (the benchmark shortens the interval).
    PollerOptions poller;
    // The benchmark measures polls without the pop-up, which pauses polling while it is up.
    bool showNotifications = true;
    // The waits between automatic sign-in attempts while the server cannot be reached.
    RetryDelay signInRetry;
    // Whether the desktop has a tray (asked at each use); the system's answer when empty.
    std::function<bool()> trayAvailable;
    // How long the main window stays hidden before its frozen page is discarded; the main
    // window's own hour when empty.
    std::optional<std::chrono::milliseconds> hiddenPageDiscardDelay;
    // The polling starts once the start page has loaded after the sign-in, or after this long.
    std::chrono::milliseconds firstPollWait{5000};
    // Called by the client program once the client exists, before the event loop runs: the
    // benchmark drives the windows from there.
    std::function<void(Client&)> created;
};

// Ends the polling thread before it is destroyed: a poller owned this way never outlives its
// owner's session.
struct PollerStop
{
    void operator()(Poller* poller) const;
};
using PollerPointer = std::unique_ptr<Poller, PollerStop>;

// The client: creates and owns the session, the windows and the polling thread, and wires them
// together. Windows ask with signals; nothing reaches another window but through here.
//
// Created before the event loop runs, and start() called before it runs too. The saved sign-in
// request goes out at creation, so that it is answered while the windows and the browser engine
// start; start() reads its answer once the event loop runs, or opens the login window when there
// is no saved login to sign in with. While the server cannot be reached
// the automatic sign-in waits in the tray and tries again, sooner when the network comes back. The
// client ends (the event loop is left) when the user closes the login window, or when the main
// window closes for good.
class Client final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Client)

public:
    explicit Client(ClientOptions options = {});
    ~Client() override;

    // Begins the sign-in; its answer, or the login window, comes once the event loop runs.
    void start();
    // Brings the client to the front: the login window while it is open, else the main window.
    // While the automatic sign-in waits for the network it opens the login window. Does nothing
    // before sign-in has begun.
    void showClient();

    Session& session() { return m_session; }
    MainWindow& mainWindow() const { return *m_mainWindow; }
    NotificationPopup& popup() const { return *m_popup; }
    // The login window while it is open modally.
    LoginWindow* loginWindow() const { return m_loginWindow; }
    // The share window until the user closes it: created hidden, made anew for the next share.
    ShareWindow* shareWindow() const;
    // The polling thread, once the user is signed in.
    Poller* poller() const { return m_poller.get(); }
    bool signInStarted() const { return m_signInStarted; }
    // True while a session the server has refused is being renewed.
    bool renewingSession() const { return m_renewing; }
    // True while the automatic sign-in waits for the server to become reachable.
    bool waitingForNetwork() const { return m_waitingForNetwork; }

private:
    void signIn();
    // Signs in with the saved login off this thread; `read` takes the result here.
    void trySavedLogin(void (Client::*read)(const AutoSignInResult&));
    void startAutomaticSignIn();
    void readAutomaticSignIn(const AutoSignInResult& result);
    void waitForNetwork();
    void stopWaitingForNetwork();
    void retryNow();
    // Opens the login window and runs it until the user signs in or gives up.
    void askForLogin();
    // Runs the login window, showing `notice` if there is one; true once the user has signed in.
    // Giving up ends the client.
    bool runLoginWindow(const QString& notice);
    void finishSignIn();
    // The server refuses the session's polls: sign in again with the saved login, or ask.
    void renewSession();
    void readRenewal(const AutoSignInResult& result);
    void askToSignInAgain(const QString& notice);
    // After a suspend: try the waiting sign-in, or poll, at once.
    void checkAfterResume();
    void startPolling();
    // A page's request for a new window: a share page loads afresh in the share window (created
    // if there is none and told to expect a share page), any other web address opens in the
    // user's browser, anything else is dropped.
    void openNewWindow(const QUrl& url);
    void showInMainWindow(const QString& url);

    ClientOptions m_options;
    Session m_session;
    // Declared after the session, so it ends its request before the session goes.
    std::unique_ptr<RequestRunner> m_signInRunner;
    QTimer m_retryTimer;
    RetryDelay m_retryDelay;
    NetworkWatch* m_networkWatch = nullptr;
    ResumeWatch* m_resumeWatch = nullptr;
    bool m_waitingForNetwork = false;
    bool m_signedIn = false;
    bool m_renewing = false;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<NotificationPopup> m_popup;
    QPointer<LoginWindow> m_loginWindow;
    PollerPointer m_poller;
    bool m_signInStarted = false;
    // The saved login allowed an automatic sign-in at creation.
    bool m_automaticSignIn = false;
};

} // namespace quorvane
