#include "server/DataModule.h"
#include "platform/Failure.h"
#include "server/ClientVersion.h"
#include "tests/server/ServerFixture.h"

#include <QSet>

#include <atomic>
#include <cstdint>
#include <thread>

namespace {

class DataModuleTest : public ServerFixture
{
protected:
    // Answers every request with the given elements.
    void Answer(const std::string& elements) { server.Reply(".*", Envelope(elements)); }

    std::atomic<uint32_t> tick{1000};
    TDMod dmod{THttpLimits{}, [this] { return tick.load(); }};
};

TEST_F(DataModuleTest, FreshSessionIsSignedOut)
{
    EXPECT_FALSE(dmod.IsLoggedIn());
    EXPECT_FALSE(dmod.IsCertified());
    EXPECT_TRUE(dmod.IsAccountLogin());
    EXPECT_EQ(dmod.GetUserName(), "");
    EXPECT_EQ(dmod.GetToken(), "0");
    EXPECT_EQ(dmod.GetMainUrl(), AppUrl() + "/users/validateUser?userName=&token=0&v=" + CLIENT_VERSION);
    EXPECT_EQ(dmod.GetFeedbackUrl(), AppUrl() + "/users/opinion?userName=&token=0");
    // Before any sign-in the time counts from the start of the tick counter.
    EXPECT_EQ(dmod.GetLoginElapsed(), 1000);
    EXPECT_TRUE(server.Targets().isEmpty());
}

TEST_F(DataModuleTest, AccountSignInStartsTheSession)
{
    Answer("<code>0</code><token>TK1</token><role>2</role>");
    const APILoginResponse reply = dmod.Login("alice@example.com", "pw");
    EXPECT_EQ(reply.code, 0);
    EXPECT_EQ(reply.token, "TK1");
    EXPECT_TRUE(dmod.IsLoggedIn());
    EXPECT_TRUE(dmod.IsCertified());
    EXPECT_TRUE(dmod.IsAccountLogin());
    EXPECT_EQ(dmod.GetUserName(), "alice@example.com");
    EXPECT_EQ(dmod.GetToken(), "TK1");
    EXPECT_EQ(dmod.GetMainUrl(),
              AppUrl() + "/users/validateUser?userName=alice%40example.com&token=TK1&v=" + CLIENT_VERSION);
    EXPECT_EQ(dmod.GetFeedbackUrl(), AppUrl() + "/users/opinion?userName=alice%40example.com&token=TK1");
    EXPECT_EQ(&dmod.GetAPI(), &dmod.GetAPI());
}

TEST_F(DataModuleTest, RefusedSignInKeepsTheEarlierSession)
{
    Answer("<code>0</code><token>TK1</token><role>2</role>");
    dmod.Login("alice", "pw");
    tick = 5000;
    Answer("<code>1</code><msg>wrong</msg><role>1</role>");
    const APILoginResponse reply = dmod.Login("mallory", "bad");
    EXPECT_EQ(reply.code, 1);
    EXPECT_EQ(reply.msg, "wrong");
    EXPECT_EQ(dmod.GetUserName(), "alice");
    EXPECT_EQ(dmod.GetToken(), "TK1");
    EXPECT_TRUE(dmod.IsCertified());
    EXPECT_EQ(dmod.GetLoginElapsed(), 4000);

    Answer("<code>7</code><msg>taken</msg><token>TK2</token>");
    const APIResponse registration = dmod.Register("mallory", "bad");
    EXPECT_FALSE(registration.success);
    EXPECT_EQ(registration.msg, "taken");
    EXPECT_EQ(dmod.GetToken(), "TK1");

    server.Reply(".*", "<html>", 500);
    EXPECT_THROW(dmod.WeiboLogin("mallory", "bad"), TFailure);
    EXPECT_EQ(dmod.GetUserName(), "alice");
    EXPECT_TRUE(dmod.IsAccountLogin());
}

TEST_F(DataModuleTest, MicroblogSignInKeepsTheRole)
{
    Answer("<code>0</code><token>TK1</token><role>2</role>");
    dmod.Login("alice", "pw");
    Answer("<code>0</code><token>WB</token><role>1</role>");
    const APILoginResponse reply = dmod.WeiboLogin("weibo-bob", "pw");
    EXPECT_EQ(reply.token, "WB");
    EXPECT_EQ(dmod.GetUserName(), "weibo-bob");
    EXPECT_EQ(dmod.GetToken(), "WB");
    EXPECT_FALSE(dmod.IsAccountLogin());
    EXPECT_TRUE(dmod.IsCertified()); // the role of the account sign-in before

    // A later account sign-in makes it an account session again.
    Answer("<code>0</code><token>TK3</token><role>1</role>");
    dmod.Login("alice", "pw");
    EXPECT_TRUE(dmod.IsAccountLogin());
    EXPECT_FALSE(dmod.IsCertified());
}

TEST_F(DataModuleTest, FreshMicroblogSessionIsNotCertified)
{
    Answer("<code>0</code><token>WB</token><role>2</role>");
    dmod.WeiboLogin("weibo-bob", "pw");
    EXPECT_TRUE(dmod.IsLoggedIn());
    EXPECT_FALSE(dmod.IsCertified());
    EXPECT_FALSE(dmod.IsAccountLogin());
}

TEST_F(DataModuleTest, RegistrationSignsIn)
{
    tick = 70000;
    Answer("<code>0</code><token>NEW</token><role>2</role>");
    const APIResponse reply = dmod.Register("carol@example.com", "pw");
    EXPECT_TRUE(reply.success);
    EXPECT_EQ(reply.token, "NEW");
    EXPECT_EQ(dmod.GetUserName(), "carol@example.com");
    EXPECT_EQ(dmod.GetToken(), "NEW");
    EXPECT_TRUE(dmod.IsLoggedIn());
    EXPECT_TRUE(dmod.IsAccountLogin()); // unchanged
    EXPECT_FALSE(dmod.IsCertified());   // the role stays "1"
    tick = 70500;
    EXPECT_EQ(dmod.GetLoginElapsed(), 500);
}

TEST_F(DataModuleTest, OnlyRoleTwoIsCertified)
{
    const struct
    {
        const char* role;
        bool certified;
    } cases[] = {{"2", true}, {"02", false}, {" 2", false}, {"2 ", false}, {"1", false}, {"", false}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.role);
        Answer(std::string("<code>0</code><token>T</token><role>") + row.role + "</role>");
        dmod.Login("alice", "pw");
        EXPECT_EQ(dmod.IsCertified(), row.certified);
    }
}

TEST_F(DataModuleTest, TokenZeroOrEmptyIsSignedOut)
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
        Answer(row.elements);
        dmod.Login("alice", "pw");
        EXPECT_EQ(dmod.IsLoggedIn(), row.loggedIn);
    }
}

TEST_F(DataModuleTest, ElapsedTimeWrapsAt32Bits)
{
    Answer("<code>0</code><token>T</token>");
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
        tick = row.signIn;
        dmod.Login("alice", "pw");
        tick = row.now;
        EXPECT_EQ(dmod.GetLoginElapsed(), row.elapsed);
    }
}

TEST_F(DataModuleTest, PollSendsTheSessionAndTheElapsedTime)
{
    Answer("<code>0</code><token>T&amp;1</token>");
    tick = 0xFFFFFF00u;
    dmod.Login("a&b=c", "pw");
    tick = 0x100u;
    Answer("<code>0</code><url>/information/7</url><width>300</width><height>200</height>"
           "<title_height>30</title_height>");
    server.ClearRequests();
    const APIResponse poll = dmod.GetInformationList();
    EXPECT_TRUE(poll.success);
    EXPECT_EQ(poll.url, AppUrl() + "/information/7");
    EXPECT_EQ(poll.width, 300);
    EXPECT_EQ(poll.height, 200);
    EXPECT_EQ(poll.titleHeight, 30);
    EXPECT_EQ(server.Targets(), QStringList{"/quorvane2/information/getInformationList?format=xml&v=" +
                                            CLIENT_VERSION + "&userName=a%26b%3Dc&token=T%261&ot=512"});
    EXPECT_EQ(dmod.GetMainUrl(),
              AppUrl() + "/users/validateUser?userName=a%26b%3Dc&token=T%261&v=" + CLIENT_VERSION);
    EXPECT_EQ(dmod.GetFeedbackUrl(), AppUrl() + "/users/opinion?userName=a%26b%3Dc&token=T%261");
}

TEST_F(DataModuleTest, ShareReportDropsTheAnswer)
{
    Answer("<code>0</code><token>TK</token>");
    dmod.Login("alice", "pw");
    Answer("<code>5</code><msg>refused</msg>");
    server.ClearRequests();
    EXPECT_NO_THROW(dmod.ShareInfo("2"));
    EXPECT_EQ(
        server.Targets(),
        QStringList{"/quorvane2/personalcenter/shareInfo?format=xml&userName=alice&token=TK&shareType=2"});
}

// The user-interface thread signs in again while the polling thread polls and reads the session:
// every poll carries a token the server handed out. Run under ThreadSanitizer by
// tools/run-sanitizers.
TEST_F(DataModuleTest, SignInWhilePollingKeepsEachRequestWhole)
{
    std::atomic<int> issued{0};
    server.Get(".*", [&issued](const httplib::Request& request, httplib::Response& response) {
        if (request.path.find("userLogin") != std::string::npos)
            response.set_content(Envelope("<code>0</code><token>T" + std::to_string(++issued) + "</token>"),
                                 "text/xml");
        else
            response.set_content(Envelope("<code>0</code><url>0</url>"), "text/xml");
    });
    dmod.Login("alice", "pw");
    constexpr int kRounds = 100;
    std::thread polling([&] {
        for (int i = 0; i < kRounds; ++i) {
            tick.fetch_add(120000);
            EXPECT_EQ(dmod.GetInformationList().url, "0");
            EXPECT_TRUE(dmod.IsLoggedIn());
        }
    });
    for (int i = 0; i < kRounds; ++i)
        EXPECT_EQ(dmod.Login("alice", "pw").code, 0);
    polling.join();

    QSet<QString> tokens;
    for (int i = 1; i <= issued; ++i)
        tokens.insert(QStringLiteral("T%1").arg(i));
    int polls = 0;
    for (const QString& target : server.Targets()) {
        if (!target.contains(QLatin1String("getInformationList")))
            continue;
        ++polls;
        const QString token = target.section(QStringLiteral("&token="), 1).section(QLatin1Char('&'), 0, 0);
        EXPECT_TRUE(tokens.contains(token)) << target.toStdString();
        EXPECT_TRUE(target.contains(QLatin1String("&userName=alice&"))) << target.toStdString();
    }
    EXPECT_EQ(polls, kRounds);
    EXPECT_EQ(dmod.GetToken(), QStringLiteral("T%1").arg(issued.load()));
}

TEST_F(DataModuleTest, GlobalStartsEmpty)
{
    EXPECT_EQ(DMod, nullptr);
}

} // namespace
