#include "tests/ui/main/MainFixture.h"

#include "config/SelvorConfig.h"
#include "config/SelvorConfigInfo.h"
#include "ui/chrome/BrowserProfile.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/MessageBox.h"
#include "ui/login/LoginForm.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

// The browser keeps its storage in the run's profile, not in that of the test that opens it first.
[[maybe_unused]] const bool runSteps = AddTestAppSteps({.afterApp = [] {
    BrowserProfile();
    TMessageBox::SetTestMode(true);
}});

std::string Page(const std::string& title, const std::string& body)
{
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + title + "</title></head><body>" +
           body + "</body></html>";
}

} // namespace

std::ostream& operator<<(std::ostream& out, TRunEnd end)
{
    switch (end) {
    case TRunEnd::ClientEnded:
        return out << "client ended";
    case TRunEnd::Stopped:
        return out << "stopped";
    case TRunEnd::TimedOut:
        return out << "timed out";
    }
    return out;
}

MainFixture::MainFixture()
{
    TempProfile::WriteFile(profile.ConfigFile(), "[Common]\r\napp_root=" + server.Url().toLatin1() +
                                                     "\r\ndown_url=" + server.Url().toLatin1() +
                                                     "/res/download\r\n");
    TSelvorConfig::ForgetCachedAddresses();
    // Every page of the web application; the start page says whose it is.
    server.Reply("/quorvane2/.*", Page("page", "<p>page</p>"), 200, "text/html");
    server.Get("/quorvane2/users/validateUser", [](const httplib::Request& request,
                                                   httplib::Response& response) {
        response.set_content(Page("start", "<p id=\"user\">" + request.get_param_value("userName") + "</p>"),
                             "text/html");
    });
    DMod = &session;
    TMessageBox::SetTestMode(true);
    TMessageBox::TakeShown();
    ClearOpenedUrls();
}

MainFixture::~MainFixture()
{
    window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    DMod = nullptr;
    TMessageBox::TakeShown();
    ClearOpenedUrls();
}

void MainFixture::SetCloseOnExit(bool on)
{
    TSelvorConfig().SetCloseOnExit(on);
}

void MainFixture::Answer(const std::string& operation, const std::string& elements)
{
    server.Reply("/quorvane2/users/" + operation, "<responsed>" + elements + "</responsed>");
}

void MainFixture::Fail(const std::string& operation)
{
    server.Reply("/quorvane2/users/" + operation, "<html>down</html>", 500, "text/html");
}

QStringList MainFixture::SignInRequests() const
{
    QStringList operations;
    for (const QString& target : server.Targets()) {
        for (const char* operation : {"userLogin", "weiboLogin", "userRegister"}) {
            if (target.startsWith(QStringLiteral("/quorvane2/users/%1?").arg(QLatin1String(operation))))
                operations.append(QString::fromLatin1(operation));
        }
    }
    return operations;
}

QStringList MainFixture::PageRequests() const
{
    QStringList targets = server.Targets();
    targets.removeAll(QStringLiteral("/favicon.ico"));
    return targets;
}

bool MainFixture::WasRequested(const QString& prefix) const
{
    for (const QString& target : server.Targets()) {
        if (target.startsWith(QStringLiteral("/quorvane2") + prefix))
            return true;
    }
    return false;
}

bool MainFixture::WaitForRequest(const QString& prefix, int timeoutMs) const
{
    return const_cast<MainFixture*>(this)->RunUntil([&] { return WasRequested(prefix); }, timeoutMs) ==
           TRunEnd::Stopped;
}

TfrmMain& MainFixture::CreateMainWindow()
{
    window = std::make_unique<TfrmMain>();
    return *window;
}

TfrmMain& MainFixture::SignInAutomatically(const QString& userName, const QString& role)
{
    SaveLogin(userName, QStringLiteral("secret1"), true, true, 0);
    Answer("userLogin", "<code>0</code><token>T0K3N</token><role>" + role.toStdString() + "</role>");
    TfrmMain& main = CreateMainWindow();
    EXPECT_EQ(RunClient({}, [&] { return main.isVisible(); }), TRunEnd::Stopped);
    return main;
}

TRunEnd MainFixture::RunClient(const std::function<void()>& action, const std::function<bool()>& stopWhen,
                               const std::function<void(TfrmLogin&)>& onLoginWindow, int timeoutMs)
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
        TfrmLogin* login = frmMain ? frmMain->LoginWindow() : nullptr;
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
        return TRunEnd::Stopped;
    if (code == Timeout)
        return TRunEnd::TimedOut;
    return TRunEnd::ClientEnded;
}

TRunEnd MainFixture::RunUntil(const std::function<bool()>& done, int timeoutMs)
{
    return RunClient({}, done, {}, timeoutMs);
}

QString MainFixture::AppUrl() const
{
    return server.Url() + QStringLiteral("/quorvane2");
}

QString FrameClass(const TfrmLogin& login)
{
    return login.CurrentFrame() ? QString::fromLatin1(login.CurrentFrame()->metaObject()->className())
                                : QString();
}

void CancelLogin(TfrmLogin& login)
{
    login.imgClose->Click();
}
