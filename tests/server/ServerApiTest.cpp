#include "server/ServerApi.h"
#include "platform/AnsiCodePage.h"
#include "platform/Failure.h"
#include "server/ClientVersion.h"
#include "server/RequestCancel.h"
#include "server/RequestFailures.h"
#include "tests/server/RefusingPort.h"
#include "tests/server/ServerFixture.h"

#include <chrono>
#include <functional>
#include <thread>

namespace quorvane {

namespace {

QString describe(const LoginReply& r)
{
    return QStringLiteral("code=%1 token=%2 role=%3 msg=%4").arg(r.code).arg(r.token, r.role, r.msg);
}

QString describe(const Reply& r)
{
    return QStringLiteral("success=%1 msg=%2 token=%3 url=%4 size=%5x%6/%7")
        .arg(r.success)
        .arg(r.msg, r.token, r.url)
        .arg(r.width)
        .arg(r.height)
        .arg(r.titleHeight);
}

QString failureOf(const std::function<void()>& request)
{
    try {
        request();
    } catch (const Failure& failure) {
        return failure.message();
    }
    ADD_FAILURE() << "no failure was raised";
    return {};
}

std::string ansi(const char* utf8)
{
    return toAnsi(QString::fromUtf8(utf8)).toStdString();
}

class ServerApiTest : public ServerFixture
{
protected:
    ServerApiTest() { m_server.reply(".*", envelope("<code>0</code><token>T</token>")); }

    pugi::xml_document m_document;
    ServerApi m_api{m_document};
};

// The request line of every operation, as the server receives it.
TEST_F(ServerApiTest, RequestLines)
{
    const QString v = QStringLiteral("&v=") + CLIENT_VERSION;
    const struct
    {
        const char* name;
        std::function<void(ServerApi&)> call;
        QString expected;
    } cases[] = {
        {"account sign-in", [](ServerApi& a) { a.userLogin("alice", "secret1"); },
         "/quorvane2/users/userLogin?format=xml&userName=alice&password=secret1"},
        {"microblog sign-in", [](ServerApi& a) { a.weiboLogin("bob", "Pw2"); },
         "/quorvane2/users/weiboLogin?format=xml&userName=bob&password=Pw2"},
        {"registration with its signature", [](ServerApi& a) { a.userRegister("abc", "xyz"); },
         "/quorvane2/users/userRegister?format=xml&userName=abc&password=xyz&sn=11300633351631"},
        {"notification poll", [](ServerApi& a) { a.getInformationList("alice", "T0K3N", 120000); },
         "/quorvane2/information/getInformationList?format=xml" + v +
             "&userName=alice&token=T0K3N&ot=120000"},
        {"notification poll, negative time", [](ServerApi& a) { a.getInformationList("alice", "T0K3N", -5); },
         "/quorvane2/information/getInformationList?format=xml" + v + "&userName=alice&token=T0K3N&ot=-5"},
        {"change password", [](ServerApi& a) { a.changePassword("alice", "old1", "new2", "T0K3N"); },
         "/quorvane2/users/"
         "changePassword?format=xml&userName=alice&oldPassword=old1&newPassword=new2&token=T0K3N"},
        {"share report", [](ServerApi& a) { a.shareInfo("alice", "T0K3N", "1"); },
         "/quorvane2/personalcenter/shareInfo?format=xml&userName=alice&token=T0K3N&shareType=1"},
        {"e-mail address", [](ServerApi& a) { a.userLogin("a.b@example.com", "x"); },
         "/quorvane2/users/userLogin?format=xml&userName=a.b%40example.com&password=x"},
        {"password with & # + blank %", [](ServerApi& a) { a.userLogin("alice", "a&b#c+d e%"); },
         "/quorvane2/users/userLogin?format=xml&userName=alice&password=a%26b%23c%2Bd%20e%25"},
        {"user name that tries to add a parameter", [](ServerApi& a) { a.userLogin("u&token=x", "p"); },
         "/quorvane2/users/userLogin?format=xml&userName=u%26token%3Dx&password=p"},
        {"unreserved characters stay", [](ServerApi& a) { a.userLogin("A-z_0.9~", "p"); },
         "/quorvane2/users/userLogin?format=xml&userName=A-z_0.9~&password=p"},
        {"Chinese name as code page 936 bytes",
         [](ServerApi& a) { a.userLogin(QString::fromUtf8("张三"), "p"); },
         "/quorvane2/users/userLogin?format=xml&userName=%D5%C5%C8%FD&password=p"},
        {"registration signature over code page 936 bytes",
         [](ServerApi& a) { a.userRegister(QString::fromUtf8("张三"), "p&w"); },
         "/quorvane2/users/userRegister?format=xml&userName=%D5%C5%C8%FD&password=p%26w&sn=A597AD91121F6D43"},
        {"token and new password encoded",
         [](ServerApi& a) { a.changePassword("alice", "o ld", "n#w", "t/k=="); },
         "/quorvane2/users/changePassword?format=xml&userName=alice&oldPassword=o%20ld&newPassword=n%23w"
         "&token=t%2Fk%3D%3D"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        m_server.clearRequests();
        row.call(m_api);
        EXPECT_EQ(m_server.targets(), QStringList{row.expected});
    }
}

TEST_F(ServerApiTest, PasswordReachesTheServerWhole)
{
    std::string received;
    std::string names;
    m_server.get(".*", [&](const httplib::Request& request, httplib::Response& response) {
        received = request.get_param_value("password");
        for (const auto& [name, value] : request.params)
            names += name + ",";
        response.set_content(envelope("<code>0</code>"), "text/xml");
    });
    m_api.userLogin("u&token=x", "a&b#c+d e");
    EXPECT_EQ(received, "a&b#c+d e");
    EXPECT_EQ(names, "format,password,userName,");
}

// What each operation makes of a reply.
TEST_F(ServerApiTest, ReadingReplies)
{
    const auto raw = [](ServerApi& a, pugi::xml_document& d, const QString& url) {
        a.invokeRemote(d, url);
        const bool success = a.isSuccess(d);
        const int code = a.getResultCode(d);
        return QStringLiteral("success=%1 code=%2 msg=%3 token=%4")
            .arg(success)
            .arg(code)
            .arg(a.getNodeText(d, "/responsed/msg"), a.getNodeText(d, "/responsed/token"));
    };
    using Op = std::function<QString(ServerApi&, pugi::xml_document&, const QString&)>;
    const Op rawOp = raw;
    const Op login = [](ServerApi& a, pugi::xml_document&, const QString&) {
        return describe(a.userLogin("u", "p"));
    };
    const Op weibo = [](ServerApi& a, pugi::xml_document&, const QString&) {
        return describe(a.weiboLogin("u", "p"));
    };
    const Op reg = [](ServerApi& a, pugi::xml_document&, const QString&) {
        return describe(a.userRegister("u", "p"));
    };
    const Op poll = [](ServerApi& a, pugi::xml_document&, const QString&) {
        return describe(a.getInformationList("u", "t", 1));
    };
    const Op change = [](ServerApi& a, pugi::xml_document&, const QString&) {
        return QStringLiteral("result=") + a.changePassword("u", "o", "n", "t");
    };
    const Op share = [](ServerApi& a, pugi::xml_document&, const QString&) {
        return QStringLiteral("result=") + a.shareInfo("u", "t", "1");
    };
    const QString app = appUrl();
    std::string nested;
    for (int i = 0; i < 20000; ++i)
        nested += "<a>";
    nested += "deep";
    for (int i = 0; i < 20000; ++i)
        nested += "</a>";
    const struct
    {
        const char* name;
        std::string body;
        Op op;
        QString expected; // "failure" when the operation raises Failure
    } cases[] = {
        {"code only", envelope("<code>0</code>"), rawOp, "success=1 code=0 msg=0 token=0"},
        {"code 1", envelope("<code>1</code>"), rawOp, "success=0 code=1 msg=0 token=0"},
        {"code 00", envelope("<code>00</code>"), rawOp, "success=0 code=0 msg=0 token=0"},
        {"code of letters", envelope("<code>abc</code>"), rawOp, "success=0 code=-1 msg=0 token=0"},
        {"code with a blank", envelope("<code> 0</code>"), rawOp, "success=0 code=-1 msg=0 token=0"},
        {"code with a plus", envelope("<code>+0</code>"), rawOp, "success=0 code=-1 msg=0 token=0"},
        {"negative code", envelope("<code>-7</code>"), rawOp, "success=0 code=-7 msg=0 token=0"},
        {"code beyond 32 bits", envelope("<code>2147483648</code>"), rawOp,
         "success=0 code=-1 msg=0 token=0"},
        // What is no reply of this service is never a success.
        {"no code element", envelope("<token>T9</token>"), rawOp, "failure"},
        {"another root element", "<html><body>hello</body></html>", rawOp, "failure"},
        {"a captive portal's page", "<html><head><title>Sign in</title></head><body><form/></body></html>",
         login, "failure"},
        {"JSON", "{\"code\": 0, \"token\": \"T\"}", login, "failure"},
        {"content after the root", envelope("<code>0</code><token>T</token>") + "junk", login, "failure"},
        {"a second root", envelope("<code>0</code><token>T</token>") + "<responsed/>", login, "failure"},
        {"a bare ampersand", envelope("<code>0</code><token>T&T</token>"), login, "failure"},
        {"an undeclared entity", envelope("<code>0</code><token>&nbsp;</token>"), login, "failure"},
        {"an ampersand in a CDATA section is text", envelope("<code>1</code><msg><![CDATA[a&b]]></msg>"),
         rawOp, "success=0 code=1 msg=a&b token=0"},
        {"empty body", "", rawOp, "failure"},
        {"blank body", " \r\n", login, "failure"},
        {"HTML error page", "<html><body><p>Error 502<br></body></html>", rawOp, "failure"},
        {"two msg elements", envelope("<code>1</code><msg>first</msg><msg>second</msg>"), rawOp,
         "success=0 code=1 msg=first token=0"},
        {"text of descendants", envelope("<code>1</code><msg>a<b>b<i>c</i></b><![CDATA[<d>]]></msg>"), rawOp,
         "success=0 code=1 msg=abc<d> token=0"},
        {"msg in code page 936, declaration says UTF-8",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" +
             envelope("<code>1</code><msg>" + ansi("用户名或密码不正确!") + "</msg>"),
         login, QString::fromUtf8("code=1 token= role=0 msg=用户名或密码不正确!")},
        {"msg in code page 936, no declaration",
         envelope("<code>3</code><msg>" + ansi("用户未激活，等待审核中!") + "</msg><role>1</role>"), login,
         QString::fromUtf8("code=3 token= role=1 msg=用户未激活，等待审核中!")},
        {"predefined entities are decoded", envelope("<code>1</code><msg>a&amp;b&lt;c&#x41;</msg>"), rawOp,
         "success=0 code=1 msg=a&b<cA token=0"},
        {"the reply's own entities are not expanded: the reply is refused",
         "<!DOCTYPE responsed [<!ENTITY x \"expanded\"><!ENTITY y SYSTEM \"file:///etc/hostname\">]>" +
             envelope("<code>1</code><msg>&x;&y;</msg>"),
         rawOp, "failure"},
        {"a document type declaration is passed over",
         "<!DOCTYPE responsed [<!ENTITY x \"expanded\">]>" + envelope("<code>1</code><msg>m</msg>"), rawOp,
         "success=0 code=1 msg=m token=0"},
        {"deeply nested msg", envelope("<code>1</code><msg>" + nested + "</msg>"), rawOp,
         "success=0 code=1 msg=deep token=0"},
        {"sign-in refused", envelope("<code>1</code><msg>M</msg>"), login, "code=1 token= role=0 msg=M"},
        {"sign-in refused with a role", envelope("<code>1</code><msg>M</msg><role>2</role>"), login,
         "code=1 token= role=2 msg=M"},
        {"sign-in", envelope("<code>0</code><token>TK</token><role>2</role><msg>ignored</msg>"), login,
         "code=0 token=TK role=2 msg="},
        {"sign-in without code or token", envelope(""), login, "failure"},
        {"sign-in with a code of letters", envelope("<code>x</code><msg>M</msg>"), login,
         "code=-1 token= role=0 msg=M"},
        {"microblog sign-in reads no role", envelope("<code>0</code><token>TK</token><role>2</role>"), weibo,
         "code=0 token=TK role= msg="},
        {"registration", envelope("<code>0</code><token>TK</token><msg>ignored</msg>"), reg,
         "success=1 msg= token=TK url= size=0x0/0"},
        {"registration refused", envelope("<code>2</code><token>TK</token><msg>taken</msg>"), reg,
         "success=0 msg=taken token= url= size=0x0/0"},
        {"poll without url", envelope("<code>0</code><width>300</width>"), poll,
         "success=1 msg= token= url=0 size=0x0/0"},
        {"poll with url 0", envelope("<code>0</code><url>0</url><width>300</width>"), poll,
         "success=1 msg= token= url=0 size=0x0/0"},
        {"poll with a notification",
         envelope("<code>0</code><url>/information/show?id=7</url><width>300</width><height>200</height>"
                  "<title_height>30</title_height>"),
         poll, "success=1 msg= token= url=" + app + "/information/show?id=7 size=300x200/30"},
        {"poll with sizes missing", envelope("<code>0</code><url>/n</url><height> 200 </height>"), poll,
         "success=1 msg= token= url=" + app + "/n size=0x200/0"},
        {"poll with a width of letters", envelope("<code>0</code><url>/n</url><width>wide</width>"), poll,
         "failure"},
        {"poll with a width beyond 32 bits",
         envelope("<code>0</code><url>/n</url><width>99999999999</width>"), poll, "failure"},
        {"poll refused", envelope("<code>1</code><url>/n</url><msg>M</msg>"), poll,
         "success=0 msg= token= url= size=0x0/0"},
        {"password changed", envelope("<code>0</code><msg>M</msg>"), change, "result="},
        {"password change refused without msg", envelope("<code>9</code>"), change, "result=0"},
        {"password change refused", envelope("<code>9</code><msg>wrong</msg>"), change, "result=wrong"},
        {"share reported", envelope("<code>0</code>"), share, "result="},
        {"share refused", envelope("<code>5</code><msg>no</msg>"), share, "result=no"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        m_server.reply(".*", row.body);
        QString result;
        try {
            result = row.op(m_api, m_document, m_server.url() + "/reply");
        } catch (const Failure&) {
            result = QStringLiteral("failure");
        }
        EXPECT_EQ(result, row.expected);
    }
}

// The reading half of each operation, fed a body without the network (as the fuzz target does).
TEST_F(ServerApiTest, ReadingStepsTakeABodyThatHasArrived)
{
    m_api.loadReply(m_document,
                    QByteArray::fromStdString(envelope(
                        "<code>0</code><token>TK</token><role>2</role><url>/n</url><width>3</width>")));
    EXPECT_EQ(describe(m_api.readLoginReply(true)), "code=0 token=TK role=2 msg=");
    EXPECT_EQ(describe(m_api.readLoginReply(false)), "code=0 token=TK role= msg=");
    EXPECT_EQ(describe(m_api.readRegisterReply()), "success=1 msg= token=TK url= size=0x0/0");
    EXPECT_EQ(describe(m_api.readInformationReply("http://a")),
              "success=1 msg= token= url=http://a/n size=3x0/0");
    EXPECT_EQ(m_api.readMessageReply(), "");

    m_api.loadReply(m_document, QByteArray::fromStdString(envelope("<code>4</code><msg>no</msg>")));
    EXPECT_EQ(describe(m_api.readLoginReply(true)), "code=4 token= role=0 msg=no");
    EXPECT_EQ(m_api.readMessageReply(), "no");
    // A body that is not XML fails and leaves nothing of the earlier reply to be read by mistake.
    EXPECT_FALSE(failureOf([&] { m_api.loadReply(m_document, "<html><p>broken"); }).isEmpty());
    EXPECT_FALSE(m_document.first_child());
    EXPECT_FALSE(failureOf([&] { m_api.readMessageReply(); }).isEmpty());
    EXPECT_TRUE(m_server.requests().isEmpty());
}

TEST_F(ServerApiTest, FailedRequestReplacesTheClientAndKeepsTheDocument)
{
    m_server.reply("/ok", envelope("<code>0</code><token>first</token>"));
    m_server.reply("/fail", "", 500); // no body: the connection itself stays usable
    const QString ok = m_server.url() + "/ok";
    m_api.invokeRemote(m_document, ok);
    m_api.invokeRemote(m_document, ok);
    const QString message = failureOf([&] { m_api.invokeRemote(m_document, m_server.url() + "/fail"); });
    EXPECT_TRUE(message.contains(QLatin1String("500"))) << message.toStdString();
    EXPECT_EQ(m_api.getNodeText(m_document, "/responsed/token"), "first");
    m_api.invokeRemote(m_document, ok);

    const auto requests = m_server.requests();
    ASSERT_EQ(requests.size(), 4);
    EXPECT_EQ(requests[1].remotePort, requests[0].remotePort); // one connection while all goes well
    EXPECT_NE(requests[3].remotePort, requests[0].remotePort); // a fresh one after the failure
}

TEST_F(ServerApiTest, RefusedConnectionFailsAndTheNextRequestWorks)
{
    RefusingPort refusing;
    pointAppRootAt(refusing.url());
    const QString message = failureOf([&] { m_api.userLogin("alice", "secret"); });
    EXPECT_TRUE(message.startsWith(QLatin1String("Could not connect"))) << message.toStdString();
    EXPECT_FALSE(message.contains(QLatin1String("secret")));

    pointAppRootAt(m_server.url());
    EXPECT_EQ(m_api.userLogin("alice", "secret").token, "T");
}

TEST_F(ServerApiTest, RepliesThatAreRefused)
{
    m_server.get("/quorvane2/users/userLogin", [this](const httplib::Request&, httplib::Response& response) {
        response.set_redirect(m_server.url().toStdString() + "/elsewhere");
    });
    m_server.reply("/quorvane2/users/weiboLogin",
                   envelope("<code>0</code><msg>" + std::string(1024 * 1024, 'x') + "</msg>"));
    const QString redirect = failureOf([&] { m_api.userLogin("a", "b"); });
    EXPECT_TRUE(redirect.contains(QLatin1String("302"))) << redirect.toStdString();
    const QString large = failureOf([&] { m_api.weiboLogin("a", "b"); });
    EXPECT_TRUE(large.contains(QLatin1String("larger than 1 MiB"))) << large.toStdString();
    EXPECT_EQ(m_server.targets().size(), 2);
}

TEST_F(ServerApiTest, ServerThatNeverAnswersFailsAfterTheTimeLimit)
{
    m_server.stall(".*");
    HttpLimits limits;
    limits.totalTimeoutMs = 300;
    ServerApi shortApi(m_document, limits);
    const QString message = failureOf([&] { shortApi.getInformationList("alice", "t", 1); });
    EXPECT_TRUE(message.contains(QLatin1String("within 300 ms"))) << message.toStdString();
}

TEST_F(ServerApiTest, AbortEndsTheRunningOperationAndLaterOnes)
{
    m_server.stall(".*");
    QString message;
    std::thread poller([&] { message = failureOf([&] { m_api.getInformationList("alice", "t", 1); }); });
    ASSERT_TRUE(m_server.waitForRequests(1));
    m_api.abort();
    poller.join();
    EXPECT_TRUE(message.contains(QLatin1String("cancelled"))) << message.toStdString();
    failureOf([&] { m_api.shareInfo("alice", "t", "1"); });
    EXPECT_EQ(m_server.requests().size(), 1);
}

// A window's request is cut short when its window closes: at once, whether it waits for the
// server or for another thread's request to end, and only that request. The next one works.
TEST_F(ServerApiTest, ACancelledRequestEndsAtOnceAndOnlyItself)
{
    m_server.stall("/quorvane2/users/changePassword");
    m_server.stall("/quorvane2/information/getInformationList");
    const struct
    {
        const char* name;
        bool otherRequestRunning; // a poll that stalls holds the operation lock
    } cases[] = {{"waiting for the server", false}, {"waiting for its turn", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HttpLimits limits;
        limits.totalTimeoutMs = 1500;
        ServerApi api(m_document, limits);
        m_server.clearRequests();
        std::thread poll;
        if (c.otherRequestRunning) {
            poll = std::thread([&] { failureOf([&] { api.getInformationList("alice", "t", 1); }); });
            ASSERT_TRUE(m_server.waitForRequests(1));
        }
        RequestCancel cancel;
        bool cancelled = false;
        std::thread window([&] {
            const RequestCancelScope scope(cancel);
            try {
                api.changePassword("alice", "old", "new", "t");
            } catch (const RequestCancelled&) {
                cancelled = true;
            } catch (const Failure&) {
            }
        });
        if (!c.otherRequestRunning)
            ASSERT_TRUE(m_server.waitForRequests(1));
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const auto start = std::chrono::steady_clock::now();
        cancel.cancel();
        window.join();
        // Well before the 1.5 s limit would have ended it.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
        EXPECT_TRUE(cancelled);
        if (poll.joinable())
            poll.join();
        EXPECT_EQ(m_server.requests().size(), 1) << "the cancelled request went out after all";

        // The object serves the next request as before.
        m_server.reply("/quorvane2/personalcenter/shareInfo", envelope("<code>0</code>"));
        EXPECT_EQ(api.shareInfo("alice", "t", "1"), QString());
    }
}

TEST_F(ServerApiTest, ARequestCancelledBeforeItBeganNeverGoesOut)
{
    RequestCancel cancel;
    cancel.cancel();
    const RequestCancelScope scope(cancel);
    EXPECT_THROW(m_api.shareInfo("alice", "t", "1"), RequestCancelled);
    EXPECT_TRUE(m_server.requests().isEmpty());
}

// The polling thread and the user-interface thread share one object: each operation must read
// its own reply.
TEST_F(ServerApiTest, ConcurrentOperationsEachReadTheirOwnReply)
{
    // Many elements before the values make each reading step take a while, so that a reply loaded
    // by the other thread in the middle of an operation would be noticed.
    std::string filler;
    for (int i = 0; i < 2000; ++i)
        filler += "<f/>";
    m_server.get(".*", [filler](const httplib::Request& request, httplib::Response& response) {
        const std::string user = request.get_param_value("userName");
        response.set_content(envelope(filler + "<code>0</code><token>token-" + user + "</token><role>role-" +
                                      user + "</role><url>/n/" + user + "</url><width>" +
                                      std::to_string(user.size()) + "</width>"),
                             "text/xml");
    });
    constexpr int kRounds = 300;
    int loginMismatches = 0;
    int pollMismatches = 0;
    std::thread ui([&] {
        for (int i = 0; i < kRounds; ++i) {
            const LoginReply r = m_api.userLogin("alice", "p");
            loginMismatches += r.token != "token-alice" || r.role != "role-alice";
        }
    });
    std::thread polling([&] {
        for (int i = 0; i < kRounds; ++i) {
            const Reply r = m_api.getInformationList("robert", "t", i);
            pollMismatches += r.url != appUrl() + "/n/robert" || r.width != 6;
        }
    });
    ui.join();
    polling.join();
    EXPECT_EQ(loginMismatches, 0);
    EXPECT_EQ(pollMismatches, 0);
    EXPECT_EQ(m_server.requests().size(), 2 * kRounds);
}

} // namespace

} // namespace quorvane
