// The application server misbehaves on purpose. Each operation fails with a message the caller
// can show (the login frame shows it under the field, the polling thread drops it), or reads what
// it can; the client keeps running, signs in as soon as the server behaves again, and writes
// nothing to quorvane.ini or the application folder.
#include "tests/hostile/HostileFixture.h"

#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"
#include "server/Session.h"

#include <QStringConverter>

#include <functional>
#include <optional>

namespace quorvane {

namespace {

const std::string kLogin = "/quorvane2/users/userLogin";
const std::string kPoll = "/quorvane2/information/getInformationList";

class ApplicationServerTest : public HostileFixture
{
protected:
    // Short limits, so that a stalled reply costs half a second.
    static HttpLimits limits()
    {
        HttpLimits limits;
        limits.connectTimeoutMs = 2000;
        limits.totalTimeoutMs = 500;
        return limits;
    }

    // The message of the failure `call` raises, or nothing when it raises none.
    static std::optional<QString> failureOf(const std::function<void()>& call)
    {
        try {
            call();
        } catch (const Failure& failure) {
            return failure.message();
        }
        return std::nullopt;
    }

    void serveGoodReplies()
    {
        m_server.reply(kLogin, envelope("<code>0</code><token>T</token><role>1</role>"));
        m_server.reply(kPoll, envelope("<code>0</code><url>0</url>"));
    }
};

TEST_F(ApplicationServerTest, RepliesThatFailAreReportedAndChangeNothing)
{
    const struct
    {
        const char* what;
        std::function<void(const std::string& path)> serve;
        QString expected; // part of the message
    } cases[] = {
        {"a reply that never ends", [&](const std::string& path) { serveEndless(path, 64 * 1024, 0); },
         "larger than 1 MiB"},
        {"a reply that trickles for ever", [&](const std::string& path) { serveEndless(path, 1, 20); },
         "within 500 ms"},
        {"a reply that stalls half way",
         [&](const std::string& path) { serveStallingHalfWay(path, 2000, 1000); }, "within 500 ms"},
        {"a 100 MiB body", [&](const std::string& path) { serveHuge(path, 100 * 1024 * 1024, 'x'); },
         "larger than 1 MiB"},
        {"a redirect loop",
         [&](const std::string& path) { serveRedirect(path, m_server.url().toStdString() + path); },
         "redirects are not followed"},
        {"a redirect to a file: URL",
         [&](const std::string& path) { serveRedirect(path, "file:///etc/passwd"); },
         "redirects are not followed"},
        {"a reply in UTF-16",
         [&](const std::string& path) {
             const QByteArray utf16 =
                 QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom)(
                     QString::fromStdString(envelope("<code>0</code><token>T</token>")));
             m_server.reply(path, utf16.toStdString());
         },
         "not well-formed XML"},
    };
    const auto before = snapshot();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Session session(limits());
        for (const std::string& path : {kLogin, kPoll})
            c.serve(path);
        for (const auto& [operation, call] :
             std::initializer_list<std::pair<const char*, std::function<void()>>>{
                 {"sign-in", [&] { session.login(QStringLiteral("alice"), QStringLiteral("secret")); }},
                 {"poll", [&] { session.getInformationList(); }}}) {
            SCOPED_TRACE(operation);
            m_server.clearRequests();
            const std::optional<QString> message = failureOf(call);
            ASSERT_TRUE(message.has_value());
            EXPECT_TRUE(message->contains(c.expected)) << message->toStdString();
            EXPECT_FALSE(message->contains(QLatin1String("secret"))) << message->toStdString();
            EXPECT_EQ(m_server.requests().size(), 1); // no redirect followed, nothing retried
            EXPECT_FALSE(session.isLoggedIn());
        }
        // The client carries on: once the server behaves, the same session signs in.
        serveGoodReplies();
        EXPECT_EQ(session.login(QStringLiteral("alice"), QStringLiteral("secret")).token,
                  QStringLiteral("T"));
        EXPECT_EQ(session.getInformationList().url, QStringLiteral("0"));
        EXPECT_EQ(snapshot(), before);
    }
}

// Replies the client can read, however odd: it reads them without hanging or running out of
// memory, and what it reads stays text.
TEST_F(ApplicationServerTest, OddRepliesAreReadAsTheyStandOrRefused)
{
    std::string deep;
    constexpr int kLevels = 140000; // just under the 1 MiB a reply may have
    deep.reserve(7 * kLevels + 64);
    for (int i = 0; i < kLevels; ++i)
        deep += "<a>";
    deep += "deep";
    for (int i = 0; i < kLevels; ++i)
        deep += "</a>";
    std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE responsed [<!ENTITY lol \"lol\">";
    for (int i = 1; i <= 9; ++i) {
        laughs += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j)
            laughs += i == 1 ? "&lol;" : "&lol" + std::to_string(i - 1) + ";";
        laughs += "\">";
    }
    laughs += "]>" + envelope("<code>1</code><msg>&lol9;</msg>");
    const std::string chinese = "用户名或密码不正确!";

    // A reply that names entities of its own is no well-formed reply of this service: refused
    // whole, nothing expanded.
    const QString refused = QStringLiteral("(refused)");
    const struct
    {
        const char* what;
        std::string body;
        QString expectedMsg;
    } cases[] = {
        {"deep nesting", envelope("<code>1</code><msg>" + deep + "</msg>"), QStringLiteral("deep")},
        {"a billion laughs", laughs, refused},
        {"UTF-8 where code page 936 is meant", envelope("<code>1</code><msg>" + chinese + "</msg>"),
         fromAnsi(QByteArray::fromStdString(chinese))},
        {"bytes no code page knows", envelope("<code>1</code><msg>\xFF\xFF</msg>"),
         QStringLiteral("\uFFFD\uFFFD")},
    };
    const auto before = snapshot();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_server.reply(kLogin, c.body);
        Session session(limits());
        if (c.expectedMsg == refused) {
            EXPECT_THROW(session.login(QStringLiteral("alice"), QStringLiteral("secret")), Failure);
        } else {
            const LoginReply response = session.login(QStringLiteral("alice"), QStringLiteral("secret"));
            EXPECT_EQ(response.code, 1);
            EXPECT_EQ(response.msg, c.expectedMsg);
        }
        EXPECT_FALSE(session.isLoggedIn());
    }
    EXPECT_EQ(snapshot(), before);
}

} // namespace

} // namespace quorvane
