// A session the server stops accepting (a server restart, an expired token): after two refused
// polls the client signs in again with the saved login and reloads the main page, or asks.
#include "tests/support/NamedChild.h"
#include "tests/ui/main/MainFixture.h"

#include "platform/AnsiCodePage.h"
#include "ui/login/AccountLoginFrame.h"
#include "ui/login/LoginWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QUrlQuery>

#include <atomic>
#include <mutex>
#include <string>

namespace quorvane {

namespace {

QString shownNotice(const LoginWindow& login)
{
    for (const QLabel* label : login.currentFrame()->findChildren<QLabel*>()) {
        if (label->objectName().endsWith(QLatin1String("Error")) && !label->isHidden())
            return label->text();
    }
    return {};
}

class SessionRenewalTest : public MainFixture
{
protected:
    SessionRenewalTest()
    {
        // Each sign-in gets a token of its own; polls of any but the newest token are refused.
        m_server.get(
            "/quorvane2/users/userLogin", [this](const httplib::Request&, httplib::Response& response) {
                const int number = ++m_signIns;
                if (number > 1 && !m_acceptAgain) {
                    // The server writes its code page.
                    response.set_content(
                        toAnsi(QStringLiteral(
                                   "<responsed><code>1</code><msg>密码已修改，请重新登录</msg></responsed>"))
                            .toStdString(),
                        "text/xml");
                    return;
                }
                setToken("T" + std::to_string(number));
                response.set_content("<responsed><code>0</code><token>T" + std::to_string(number) +
                                         "</token></responsed>",
                                     "text/xml");
            });
        m_server.get("/quorvane2/information/getInformationList", [this](const httplib::Request& request,
                                                                         httplib::Response& response) {
            const bool current = request.get_param_value("token") == token() && !m_forget;
            response.set_content(current ? "<responsed><code>0</code><url>0</url></responsed>"
                                         : "<responsed><code>2</code><msg>登录已失效</msg></responsed>",
                                 "text/xml");
        });
    }

    QStringList pagesWithToken(const QString& token) const
    {
        QStringList pages;
        for (const QString& target : m_server.targets()) {
            if (target.startsWith(QStringLiteral("/quorvane2/users/validateUser?")) &&
                QUrlQuery(target.section(QLatin1Char('?'), 1)).queryItemValue(QStringLiteral("token")) ==
                    token)
                pages.append(target);
        }
        return pages;
    }

    int pollsWithToken(const QString& token) const
    {
        return static_cast<int>(m_server.targets()
                                    .filter(QStringLiteral("/quorvane2/information/getInformationList?"))
                                    .filter(QStringLiteral("&token=") + token + QLatin1Char('&'))
                                    .size());
    }

    std::atomic<int> m_signIns = 0;
    std::atomic<bool> m_acceptAgain = true;
    std::atomic<bool> m_forget = false;
    void setToken(std::string token)
    {
        const std::lock_guard lock(m_tokenMutex);
        m_token = std::move(token);
    }
    std::string token()
    {
        const std::lock_guard lock(m_tokenMutex);
        return m_token;
    }

    // The token of the newest sign-in; the server's thread writes and reads it.
    std::mutex m_tokenMutex;
    std::string m_token;
};

TEST_F(SessionRenewalTest, RefusedPollsRenewTheSessionSilentlyWithTheRememberedPassword)
{
    saveLogin(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"), true, true, 0);
    ClientOptions options;
    options.poller.interval = 150;
    MainWindow& main = createMainWindow(options);
    ASSERT_EQ(runUntil([&] { return main.isVisible() && pollsWithToken("T1") > 0; }), RunEnd::Stopped);

    // The server forgets the session: two refused polls, a new sign-in, the page with the new
    // token, and polls with it that are answered.
    m_forget = true;
    ASSERT_EQ(runUntil([&] { return m_signIns == 2; }), RunEnd::Stopped);
    m_forget = false;
    ASSERT_EQ(runUntil([&] { return !pagesWithToken("T2").isEmpty() && pollsWithToken("T2") > 0; }),
              RunEnd::Stopped);
    bool loginShown = false;
    runClient(
        {}, [] { return false; },
        [&](LoginWindow& login) {
            loginShown = true;
            cancelLogin(login);
        },
        800);
    EXPECT_FALSE(loginShown);
    EXPECT_EQ(m_signIns, 2) << "one sign-in renews the session";
    EXPECT_EQ(m_client->session().getToken(), QStringLiteral("T2"));
    EXPECT_TRUE(main.isVisible());
}

TEST_F(SessionRenewalTest, WithoutASilentSignInTheLoginWindowAsks)
{
    const struct
    {
        const char* name;
        bool rememberPass;
        bool serverAccepts;
        QString notice; // shown in the login window
        int signInsBeforeTheWindow;
    } cases[] = {
        {"the saved login is refused", true, false, QStringLiteral("密码已修改，请重新登录"), 2},
        {"no remembered password", false, true, QString(), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_signIns = 0;
        m_forget = false;
        m_acceptAgain = c.serverAccepts;
        saveLogin(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"), c.rememberPass, true, 0);
        ClientOptions options;
        options.poller.interval = 150;
        MainWindow& main = createMainWindow(options);
        if (!c.rememberPass) {
            // Without a remembered password the first sign-in is by hand as well.
            ASSERT_EQ(runClient(
                          {}, [&] { return main.isVisible(); },
                          [&](LoginWindow& login) {
                              auto* frame = qobject_cast<AccountLoginFrame*>(login.currentFrame());
                              ASSERT_NE(frame, nullptr);
                              child<QLineEdit>(frame, "edPassword")->setText(QStringLiteral("demo123"));
                              frame->submitLogin();
                          }),
                      RunEnd::Stopped);
        }
        ASSERT_EQ(runUntil([&] { return main.isVisible() && pollsWithToken("T1") > 0; }), RunEnd::Stopped);

        m_forget = true;
        QString notice;
        const RunEnd end = runClient(
            {}, [&] { return !pagesWithToken("T" + QString::number(m_signIns)).isEmpty() && m_signIns > 1; },
            [&](LoginWindow& login) {
                notice = shownNotice(login);
                EXPECT_EQ(m_signIns, c.signInsBeforeTheWindow);
                // The user signs in again by hand; the main page follows with the new token.
                m_forget = false;
                m_acceptAgain = true;
                auto* frame = qobject_cast<AccountLoginFrame*>(login.currentFrame());
                ASSERT_NE(frame, nullptr);
                child<QLineEdit>(frame, "edPassword")->setText(QStringLiteral("demo123"));
                frame->submitLogin();
            });
        EXPECT_EQ(end, RunEnd::Stopped);
        EXPECT_EQ(notice, c.notice);
        EXPECT_EQ(m_client->loginWindow(), nullptr);
        EXPECT_TRUE(main.isVisible());
        m_client.reset();
        m_server.clearRequests();
    }
}

} // namespace

} // namespace quorvane
