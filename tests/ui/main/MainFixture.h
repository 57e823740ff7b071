#pragma once

#include "app/Client.h"
#include "server/Session.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/SavedLogin.h"
#include "tests/support/TempProfile.h"
#include "tests/support/TestApplication.h"
#include "tests/ui/main/OpenedUrls.h"
#include "ui/chrome/ClientUrl.h"
#include "ui/main/MainWindow.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>

namespace quorvane {

class LoginWindow;

// How a run of the event loop ended.
enum class RunEnd
{
    ClientEnded, // the client ended the application
    Stopped,     // the condition of the test held
    TimedOut
};
std::ostream& operator<<(std::ostream& out, RunEnd end);

// A fresh profile whose quorvane.ini points both servers at a loopback server, a client whose
// session talks to it, and message boxes answered in advance.
class MainFixture : public ::testing::Test
{
protected:
    MainFixture();
    ~MainFixture() override;

    void setCloseOnExit(bool on);

    // Answers a sign-in operation ("userLogin", "weiboLogin") with a reply holding these elements.
    void answer(const std::string& operation, const std::string& elements);
    // Answers a sign-in operation with an HTTP error.
    void fail(const std::string& operation);
    // The sign-in operations asked for so far, in order ("userLogin", "weiboLogin").
    QStringList signInRequests() const;
    // The requests of the web application's pages so far, without the browser's own requests
    // for a site icon.
    QStringList pageRequests() const;
    // True once the server has been asked for a path (below the application root) whose
    // request target starts with `prefix`, e.g. "/users/validateUser?".
    bool wasRequested(const QString& prefix) const;
    bool waitForRequest(const QString& prefix, int timeoutMs = 20000) const;

    // The main window as the client creates it: hidden, sign-in about to begin.
    MainWindow& createMainWindow(ClientOptions options = {});
    // Saves a login for automatic sign-in that the server accepts with this role, and runs the
    // event loop until the main window shows.
    MainWindow& signInAutomatically(const QString& userName = QStringLiteral("demo@quorvane.com"),
                                    const QString& role = QStringLiteral("1"), ClientOptions options = {});

    // Runs the event loop as the client's start-up does: `action` runs first, inside the loop;
    // the loop ends when the client ends the application, when `stopWhen` holds, or after
    // `timeoutMs`. When a login window comes up, `onLoginWindow` runs inside its modal loop.
    RunEnd runClient(const std::function<void()>& action, const std::function<bool()>& stopWhen,
                     const std::function<void(LoginWindow&)>& onLoginWindow = {}, int timeoutMs = 30000);
    // Runs the event loop until `done` holds; false after `timeoutMs`.
    RunEnd runUntil(const std::function<bool()>& done, int timeoutMs = 20000);

    QString appUrl() const;
    // The window actions of client URLs as the two listening windows have them: the main window
    // hides itself, and the pop-up's "show" goes through the client to the main window.
    ClientUrlActions windowActions(MainWindow& main) const;

    TempProfile m_profile;
    LoopbackServer m_server;
    // The client of the test, once createMainWindow has made it.
    std::unique_ptr<Client> m_client;
};

// The class name of the frame a login window shows ("AccountLoginFrame", "MicroblogLoginFrame").
QString frameClass(const LoginWindow& login);
// Ends the login window as its close button does.
void cancelLogin(LoginWindow& login);

} // namespace quorvane
