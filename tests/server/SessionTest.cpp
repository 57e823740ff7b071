#include "server/Session.h"
#include "platform/Failure.h"
#include "server/ClientVersion.h"
#include "tests/server/ServerFixture.h"

#include <QSet>

#include <atomic>
#include <cstdint>
#include <thread>

namespace quorvane {

namespace {

class SessionTest : public ServerFixture
{
protected:
    // Answers every request with the given elements.
    void answer(const std::string& elements) { m_server.reply(".*", envelope(elements)); }

    std::atomic<uint32_t> m_tick{1000};
    Session m_dmod{HttpLimits{}, [this] { return m_tick.load(); }};
};

TEST_F(SessionTest, FreshSessionIsSignedOut)
{
    EXPECT_FALSE(m_dmod.isLoggedIn());
    EXPECT_FALSE(m_dmod.isCertified());
    EXPECT_TRUE(m_dmod.isAccountLogin());
    EXPECT_EQ(m_dmod.getUserName(), "");
    EXPECT_EQ(m_dmod.getToken(), "0");
    EXPECT_EQ(m_dmod.getMainUrl(), appUrl() + "/users/validateUser?userName=&token=0&v=" + CLIENT_VERSION);
    EXPECT_EQ(m_dmod.getFeedbackUrl(), appUrl() + "/users/opinion?userName=&token=0");
    // Before any sign-in the time counts from the start of the tick counter.
    EXPECT_EQ(m_dmod.getLoginElapsed(), 1000);
    EXPECT_TRUE(m_server.targets().isEmpty());
}

TEST_F(SessionTest, AccountSignInStartsTheSession)
{
    answer("<code>0</code><token>TK1</token><role>2</role>");
    const LoginReply reply = m_dmod.login("alice@example.com", "pw");
    EXPECT_EQ(reply.code, 0);
    EXPECT_EQ(reply.token, "TK1");
    EXPECT_TRUE(m_dmod.isLoggedIn());
    EXPECT_TRUE(m_dmod.isCertified());
    EXPECT_TRUE(m_dmod.isAccountLogin());
    EXPECT_EQ(m_dmod.getUserName(), "alice@example.com");
    EXPECT_EQ(m_dmod.getToken(), "TK1");
    EXPECT_EQ(m_dmod.getMainUrl(),
              appUrl() + "/users/validateUser?userName=alice%40example.com&token=TK1&v=" + CLIENT_VERSION);
    EXPECT_EQ(m_dmod.getFeedbackUrl(), appUrl() + "/users/opinion?userName=alice%40example.com&token=TK1");
    EXPECT_EQ(&m_dmod.getApi(), &m_dmod.getApi());
}

TEST_F(SessionTest, RefusedSignInKeepsTheEarlierSession)
{
    answer("<code>0</code><token>TK1</token><role>2</role>");
    m_dmod.login("alice", "pw");
    m_tick = 5000;
    answer("<code>1</code><msg>wrong</msg><role>1</role>");
    const LoginReply reply = m_dmod.login("mallory", "bad");
    EXPECT_EQ(reply.code, 1);
    EXPECT_EQ(reply.msg, "wrong");
    EXPECT_EQ(m_dmod.getUserName(), "alice");
    EXPECT_EQ(m_dmod.getToken(), "TK1");
    EXPECT_TRUE(m_dmod.isCertified());
    EXPECT_EQ(m_dmod.getLoginElapsed(), 4000);

    answer("<code>7</code><msg>taken</msg><token>TK2</token>");
    const Reply registration = m_dmod.registerAccount("mallory", "bad");
    EXPECT_FALSE(registration.success);
    EXPECT_EQ(registration.msg, "taken");
    EXPECT_EQ(m_dmod.getToken(), "TK1");

    m_server.reply(".*", "<html>", 500);
    EXPECT_THROW(m_dmod.weiboLogin("mallory", "bad"), Failure);
    EXPECT_EQ(m_dmod.getUserName(), "alice");
    EXPECT_TRUE(m_dmod.isAccountLogin());
}

TEST_F(SessionTest, MicroblogSignInKeepsTheRole)
{
    answer("<code>0</code><token>TK1</token><role>2</role>");
    m_dmod.login("alice", "pw");
    answer("<code>0</code><token>WB</token><role>1</role>");
    const LoginReply reply = m_dmod.weiboLogin("weibo-bob", "pw");
    EXPECT_EQ(reply.token, "WB");
    EXPECT_EQ(m_dmod.getUserName(), "weibo-bob");
    EXPECT_EQ(m_dmod.getToken(), "WB");
    EXPECT_FALSE(m_dmod.isAccountLogin());
    EXPECT_TRUE(m_dmod.isCertified()); // the role of the account sign-in before

    // A later account sign-in makes it an account session again.
    answer("<code>0</code><token>TK3</token><role>1</role>");
    m_dmod.login("alice", "pw");
    EXPECT_TRUE(m_dmod.isAccountLogin());
    EXPECT_FALSE(m_dmod.isCertified());
}

TEST_F(SessionTest, FreshMicroblogSessionIsNotCertified)
{
    answer("<code>0</code><token>WB</token><role>2</role>");
    m_dmod.weiboLogin("weibo-bob", "pw");
    EXPECT_TRUE(m_dmod.isLoggedIn());
    EXPECT_FALSE(m_dmod.isCertified());
    EXPECT_FALSE(m_dmod.isAccountLogin());
}

TEST_F(SessionTest, RegistrationSignsIn)
{
    m_tick = 70000;
    answer("<code>0</code><token>NEW</token><role>2</role>");
    const Reply reply = m_dmod.registerAccount("carol@example.com", "pw");
    EXPECT_TRUE(reply.success);
    EXPECT_EQ(reply.token, "NEW");
    EXPECT_EQ(m_dmod.getUserName(), "carol@example.com");
    EXPECT_EQ(m_dmod.getToken(), "NEW");
    EXPECT_TRUE(m_dmod.isLoggedIn());
    EXPECT_TRUE(m_dmod.isAccountLogin()); // unchanged
    EXPECT_FALSE(m_dmod.isCertified());   // the role stays "1"
    m_tick = 70500;
    EXPECT_EQ(m_dmod.getLoginElapsed(), 500);
}

TEST_F(SessionTest, OnlyRoleTwoIsCertified)
{
    const struct
    {
        const char* role;
        bool certified;
    } cases[] = {{"2", true}, {"02", false}, {" 2", false}, {"2 ", false}, {"1", false}, {"", false}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.role);
        answer(std::string("<code>0</code><token>T</token><role>") + row.role + "</role>");
        m_dmod.login("alice", "pw");
        EXPECT_EQ(m_dmod.isCertified(), row.certified);
    }
}

TEST_F(SessionTest, TokenZeroOrEmptyIsSignedOut)
{
    const struct
    {
        const char* elements;
        bool loggedIn;
    } cases[] = {
        {"<code>0</code><token>T</token>", true},
        {"<code>0</code><token>0</token>", false},
        {"<code>0</code><token></token>", false},
        {"<code>0</code>", false}, // a missing token reads "0"
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.elements);
        answer(row.elements);
        m_dmod.login("alice", "pw");
        EXPECT_EQ(m_dmod.isLoggedIn(), row.loggedIn);
    }
}

TEST_F(SessionTest, ElapsedTimeWrapsAt32Bits)
{
    answer("<code>0</code><token>T</token>");
    const struct
    {
        uint32_t signIn;
        uint32_t now;
        int elapsed;
    } cases[] = {
        {0xFFFFFF00u, 0x00000100u, 512}, {0xFFFFFFFFu, 0x00000000u, 1},      {100u, 100u, 0},
        {0u, 0x7FFFFFFFu, 2147483647},   {0u, 0x80000000u, -2147483647 - 1}, {10u, 5u, -5},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.now);
        m_tick = row.signIn;
        m_dmod.login("alice", "pw");
        m_tick = row.now;
        EXPECT_EQ(m_dmod.getLoginElapsed(), row.elapsed);
    }
}

TEST_F(SessionTest, PollSendsTheSessionAndTheElapsedTime)
{
    answer("<code>0</code><token>T&amp;1</token>");
    m_tick = 0xFFFFFF00u;
    m_dmod.login("a&b=c", "pw");
    m_tick = 0x100u;
    answer("<code>0</code><url>/information/7</url><width>300</width><height>200</height>"
           "<title_height>30</title_height>");
    m_server.clearRequests();
    const Reply poll = m_dmod.getInformationList();
    EXPECT_TRUE(poll.success);
    EXPECT_EQ(poll.url, appUrl() + "/information/7");
    EXPECT_EQ(poll.width, 300);
    EXPECT_EQ(poll.height, 200);
    EXPECT_EQ(poll.titleHeight, 30);
    EXPECT_EQ(m_server.targets(), QStringList{"/quorvane2/information/getInformationList?format=xml&v=" +
                                              CLIENT_VERSION + "&userName=a%26b%3Dc&token=T%261&ot=512"});
    EXPECT_EQ(m_dmod.getMainUrl(),
              appUrl() + "/users/validateUser?userName=a%26b%3Dc&token=T%261&v=" + CLIENT_VERSION);
    EXPECT_EQ(m_dmod.getFeedbackUrl(), appUrl() + "/users/opinion?userName=a%26b%3Dc&token=T%261");
}

TEST_F(SessionTest, ShareReportDropsTheAnswer)
{
    answer("<code>0</code><token>TK</token>");
    m_dmod.login("alice", "pw");
    answer("<code>5</code><msg>refused</msg>");
    m_server.clearRequests();
    EXPECT_NO_THROW(m_dmod.shareInfo("2"));
    EXPECT_EQ(
        m_server.targets(),
        QStringList{"/quorvane2/personalcenter/shareInfo?format=xml&userName=alice&token=TK&shareType=2"});
}

// The user-interface thread signs in again while the polling thread polls and reads the session:
// every poll carries a token the server handed out. Run under ThreadSanitizer by
// tools/run-sanitizers.
TEST_F(SessionTest, SignInWhilePollingKeepsEachRequestWhole)
{
    std::atomic<int> issued{0};
    m_server.get(".*", [&issued](const httplib::Request& request, httplib::Response& response) {
        if (request.path.find("userLogin") != std::string::npos)
            response.set_content(envelope("<code>0</code><token>T" + std::to_string(++issued) + "</token>"),
                                 "text/xml");
        else
            response.set_content(envelope("<code>0</code><url>0</url>"), "text/xml");
    });
    m_dmod.login("alice", "pw");
    constexpr int kRounds = 100;
    std::thread polling([&] {
        for (int i = 0; i < kRounds; ++i) {
            m_tick.fetch_add(120000);
            EXPECT_EQ(m_dmod.getInformationList().url, "0");
            EXPECT_TRUE(m_dmod.isLoggedIn());
        }
    });
    for (int i = 0; i < kRounds; ++i)
        EXPECT_EQ(m_dmod.login("alice", "pw").code, 0);
    polling.join();

    QSet<QString> tokens;
    for (int i = 1; i <= issued; ++i)
        tokens.insert(QStringLiteral("T%1").arg(i));
    int polls = 0;
    for (const QString& target : m_server.targets()) {
        if (!target.contains(QLatin1String("getInformationList")))
            continue;
        ++polls;
        const QString token = target.section(QStringLiteral("&token="), 1).section(QLatin1Char('&'), 0, 0);
        EXPECT_TRUE(tokens.contains(token)) << target.toStdString();
        EXPECT_TRUE(target.contains(QLatin1String("&userName=alice&"))) << target.toStdString();
    }
    EXPECT_EQ(polls, kRounds);
    EXPECT_EQ(m_dmod.getToken(), QStringLiteral("T%1").arg(issued.load()));
}

} // namespace

} // namespace quorvane
