#pragma once

#include "config/SavedLogin.h"
#include "server/Session.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/SavedLogin.h"
#include "tests/support/TempProfile.h"
#include "tests/support/TestApplication.h"
#include "ui/login/LoginWindow.h"

#include <QString>
#include <QWidget>

#include <gtest/gtest.h>
#include <memory>
#include <string>

class QLabel;
class QLineEdit;

namespace quorvane {

class LoginFrame;

// A fresh profile whose quorvane.ini points the application server at a loopback server, a
// session that talks to it, and message boxes answered in advance.
class LoginFixture : public ::testing::Test
{
protected:
    LoginFixture();
    ~LoginFixture() override;

    SavedLogin savedLogin() const;
    // The raw value of a key of quorvane.ini.
    QString iniValue(const char* key) const;

    // A reply document holding these elements (UTF-8 here), in the server's code page.
    static std::string replyBody(const std::string& elements);
    // A query value of a request, decoded from the server's code page.
    static QString param(const httplib::Request& request, const char* name);

    // Answers the server operation (e.g. "userLogin") with a reply holding these elements.
    void answer(const std::string& operation, const std::string& elements);
    // Answers the server operation with an HTTP error.
    void fail(const std::string& operation);
    // The requests made so far, as "operation?query".
    QStringList requests() const;

    // A login window made as the main window makes it, shown and active.
    std::unique_ptr<LoginWindow> openWindow();

    TempProfile m_profile;
    LoopbackServer m_server;
    Session m_session{HttpLimits{2000, 5000, 1024 * 1024, 0, 0}};
};

// Shows a top-level widget and waits until it is exposed and active.
bool showAndActivate(QWidget& window);
// Runs the event loop once, so that deferred deletions and queued calls happen.
void processEvents();

// Presses and releases a key through the window system, as a keyboard does, and waits for the
// answer to a request it sent.
void pressKey(QWidget& window, Qt::Key key);
// A left click in the middle of the widget, and the answer to a request it sent.
void click(QWidget* widget);

// Which error of a frame is visible: "" for none, else the label's object name and text.
struct ErrorShown
{
    QString label;
    QString text;
};
ErrorShown shownError(const LoginFrame& frame);
// The widget of the window that has the caret, by object name ("" for none).
QString caret(const QWidget& window);

} // namespace quorvane
