#include "tests/ui/main/MainFixture.h"
#include "tests/support/NamedChild.h"

#include "config/ConfigStore.h"
#include "config/SavedLogin.h"
#include "ui/chrome/BrowserProfile.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/MessageBox.h"
#include "ui/login/LoginWindow.h"

#include <QCoreApplication>
#include <QTimer>

namespace quorvane {

namespace {

// The browser keeps its storage in the run's profile, not in that of the test that opens it first.
[[maybe_unused]] const bool runSteps = addTestAppSteps({.afterApp = [] {
    browserProfile();
    MessageBox::setTestMode(true);
}});

std::string page(const std::string& title, const std::string& body)
{
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + title + "</title></head><body>" +
           body + "</body></html>";
}

} // namespace

std::ostream& operator<<(std::ostream& out, RunEnd end)
{
    switch (end) {
    case RunEnd::ClientEnded:
        return out << "client ended";
    case RunEnd::Stopped:
        return out << "stopped";
    case RunEnd::TimedOut:
        return out << "timed out";
    }
    return out;
}

MainFixture::MainFixture()
{
    TempProfile::writeFile(m_profile.configFile(), "[Common]\r\napp_root=" + m_server.url().toLatin1() +
                                                       "\r\ndown_url=" + m_server.url().toLatin1() +
                                                       "/res/download\r\n");
    ConfigStore::forgetCachedAddresses();
    // Every page of the web application; the start page says whose it is.
    m_server.reply("/quorvane2/.*", page("page", "<p>page</p>"), 200, "text/html");
    m_server.get("/quorvane2/users/validateUser", [](const httplib::Request& request,
                                                     httplib::Response& response) {
        response.set_content(page("start", "<p id=\"user\">" + request.get_param_value("userName") + "</p>"),
                             "text/html");
    });
    MessageBox::setTestMode(true);
    MessageBox::takeShown();
    clearOpenedUrls();
}

MainFixture::~MainFixture()
{
    m_client.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    MessageBox::takeShown();
    clearOpenedUrls();
}

void MainFixture::setCloseOnExit(bool on)
{
    ConfigStore().setCloseOnExit(on);
}

void MainFixture::answer(const std::string& operation, const std::string& elements)
{
    m_server.reply("/quorvane2/users/" + operation, "<responsed>" + elements + "</responsed>");
}

void MainFixture::fail(const std::string& operation)
{
    m_server.reply("/quorvane2/users/" + operation, "<html>down</html>", 500, "text/html");
}

QStringList MainFixture::signInRequests() const
{
    QStringList operations;
    for (const QString& target : m_server.targets()) {
        for (const char* operation : {"userLogin", "weiboLogin", "userRegister"}) {
            if (target.startsWith(QStringLiteral("/quorvane2/users/%1?").arg(QLatin1String(operation))))
                operations.append(QString::fromLatin1(operation));
        }
    }
    return operations;
}

QStringList MainFixture::pageRequests() const
{
    QStringList targets = m_server.targets();
    targets.removeAll(QStringLiteral("/favicon.ico"));
    return targets;
}

bool MainFixture::wasRequested(const QString& prefix) const
{
    for (const QString& target : m_server.targets()) {
        if (target.startsWith(QStringLiteral("/quorvane2") + prefix))
            return true;
    }
    return false;
}

bool MainFixture::waitForRequest(const QString& prefix, int timeoutMs) const
{
    return const_cast<MainFixture*>(this)->runUntil([&] { return wasRequested(prefix); }, timeoutMs) ==
           RunEnd::Stopped;
}

MainWindow& MainFixture::createMainWindow(ClientOptions options)
{
    // The tests speak of a desktop with a tray unless they say otherwise; the test display has none.
    if (!options.trayAvailable)
        options.trayAvailable = [] { return true; };
    options.limits = HttpLimits{.connectTimeoutMs = 2000, .totalTimeoutMs = 5000};
    m_client = std::make_unique<Client>(options);
    m_client->start();
    return m_client->mainWindow();
}

MainWindow& MainFixture::signInAutomatically(const QString& userName, const QString& role,
                                             ClientOptions options)
{
    saveLogin(userName, QStringLiteral("secret1"), true, true, 0);
    answer("userLogin", "<code>0</code><token>T0K3N</token><role>" + role.toStdString() + "</role>");
    MainWindow& main = createMainWindow(std::move(options));
    EXPECT_EQ(runClient({}, [&] { return main.isVisible(); }), RunEnd::Stopped);
    return main;
}

RunEnd MainFixture::runClient(const std::function<void()>& action, const std::function<bool()>& stopWhen,
                              const std::function<void(LoginWindow&)>& onLoginWindow, int timeoutMs)
{
    enum
    {
        Ended = 0,
        Stop = 101,
        Timeout = 102
    };
    bool loginSeen = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        LoginWindow* login = m_client ? m_client->loginWindow() : nullptr;
        if (login && login->isVisible() && !loginSeen) {
            loginSeen = true;
            if (onLoginWindow)
                onLoginWindow(*login);
            return;
        }
        if (stopWhen && stopWhen())
            QCoreApplication::exit(Stop);
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(Timeout); });
    QTimer::singleShot(0, [&] {
        if (action)
            action();
        poll.start();
        guard.start(timeoutMs);
    });
    const int code = QCoreApplication::exec();
    if (code == Stop)
        return RunEnd::Stopped;
    if (code == Timeout)
        return RunEnd::TimedOut;
    return RunEnd::ClientEnded;
}

RunEnd MainFixture::runUntil(const std::function<bool()>& done, int timeoutMs)
{
    return runClient({}, done, {}, timeoutMs);
}

QString MainFixture::appUrl() const
{
    return m_server.url() + QStringLiteral("/quorvane2");
}

ClientUrlActions MainFixture::windowActions(MainWindow& main) const
{
    NotificationPopup* popup = &m_client->popup();
    return {.close = [&main] { main.hideToTray(); },
            .show = [popup](const QString& url) { emit popup->showRequested(url); }};
}

QString frameClass(const LoginWindow& login)
{
    // The class name without its namespace, as the tests spell it.
    return login.currentFrame() ? QString::fromLatin1(login.currentFrame()->metaObject()->className())
                                      .section(QStringLiteral("::"), -1)
                                : QString();
}

void cancelLogin(LoginWindow& login)
{
    child<ImageButton>(login, "closeButton")->click();
}

} // namespace quorvane
