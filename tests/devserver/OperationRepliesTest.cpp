#include "devserver/AppOperations.h"
#include "tests/devserver/DemoServerFixture.h"

#include <QStringList>
#include <vector>

namespace quorvane {

namespace {

class OperationReplies : public DemoServerTest
{
protected:
    void SetUp() override { startServer(); }
};

TEST_F(OperationReplies, EveryOperationAnswersSuccessRefusalsAndBadTokens)
{
    const QString demoToken = signIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));
    const QString weiboToken = weiboSignIn(QStringLiteral("demo@weibo.com"), QStringLiteral("weibo123"));
    const std::string demo = "userName=demo%40quorvane.com&token=" + demoToken.toStdString();
    const std::string weibo = "userName=demo%40weibo.com&token=" + weiboToken.toStdString();
    const std::string app = appBase();
    const std::string login = app + "/users/userLogin?format=xml&userName=";
    const std::string weiboLogin = app + "/users/weiboLogin?format=xml&userName=";
    const std::string poll = app + "/information/getInformationList?format=xml&v=01.00.201205281429&";
    const std::string change = app + "/users/changePassword?format=xml&";
    const std::string share = app + "/personalcenter/shareInfo?format=xml&";

    const struct
    {
        const char* what;
        std::string target;
        const char* code;
        bool token;       // the reply carries a token
        const char* role; // expected role element, or nullptr when none
    } cases[] = {
        {"sign-in", login + "demo%40quorvane.com&password=demo123", "0", true, "1"},
        {"certified sign-in", login + "agency%40quorvane.com&password=agency123", "0", true, "2"},
        {"e-mail in other letter case", login + "DEMO%40Quorvane.com&password=demo123", "0", true, "1"},
        {"awaiting approval", login + "pending%40quorvane.com&password=pending123", "3", false, "1"},
        {"awaiting approval, wrong password", login + "pending%40quorvane.com&password=nope123", "1", false,
         "0"},
        {"wrong password", login + "demo%40quorvane.com&password=demo1234", "1", false, "0"},
        {"password in other letter case", login + "demo%40quorvane.com&password=DEMO123", "1", false, "0"},
        {"unknown user", login + "nobody%40quorvane.com&password=demo123", "1", false, "0"},
        {"microblog account at account sign-in", login + "demo%40weibo.com&password=weibo123", "1", false,
         "0"},

        {"microblog sign-in", weiboLogin + "demo%40weibo.com&password=weibo123", "0", true, nullptr},
        {"microblog wrong password", weiboLogin + "demo%40weibo.com&password=weibo12", "1", false, nullptr},
        {"account at microblog sign-in", weiboLogin + "demo%40quorvane.com&password=demo123", "1", false,
         nullptr},

        {"registration", registerTarget(QStringLiteral("new@quorvane.com"), QStringLiteral("secret1")), "0",
         true, nullptr},
        {"registration of a taken name",
         registerTarget(QStringLiteral("Demo@Quorvane.com"), QStringLiteral("secret1")), "4", false, nullptr},
        {"registration with a bad signature",
         app + "/users/userRegister?format=xml&userName=x%40quorvane.com&password=secret1&sn=00112233", "5",
         false, nullptr},
        {"registration signed for another password",
         app + "/users/userRegister?format=xml&userName=x%40quorvane.com&password=secret2&sn=" +
             AppOperations::registrationSignature(QStringLiteral("x@quorvane.com"), QStringLiteral("secret1"))
                 .toStdString(),
         "5", false, nullptr},
        {"registration with a lower-case signature",
         app + "/users/userRegister?format=xml&userName=x%40quorvane.com&password=secret1&sn=" +
             AppOperations::registrationSignature(QStringLiteral("x@quorvane.com"), QStringLiteral("secret1"))
                 .toLower()
                 .toStdString(),
         "5", false, nullptr},
        {"registration without an e-mail address",
         registerTarget(QStringLiteral("abc"), QStringLiteral("secret1")), "7", false, nullptr},
        {"registration with a short password",
         registerTarget(QStringLiteral("y@quorvane.com"), QStringLiteral("12345")), "7", false, nullptr},

        {"poll", poll + demo + "&ot=1000", "0", false, nullptr},
        {"poll with a negative elapsed time", poll + demo + "&ot=-5", "0", false, nullptr},
        {"poll with a bad token", poll + "userName=demo%40quorvane.com&token=0&ot=1", "2", false, nullptr},
        {"poll with another user's token",
         poll + "userName=agency%40quorvane.com&token=" + demoToken.toStdString() + "&ot=1", "2", false,
         nullptr},

        {"password change, wrong old password",
         change + "userName=demo%40quorvane.com&oldPassword=nope123&newPassword=secret9&token=" +
             demoToken.toStdString(),
         "1", false, nullptr},
        {"password change, bad token",
         change + "userName=demo%40quorvane.com&oldPassword=demo123&newPassword=secret9&token=feed", "2",
         false, nullptr},
        {"password change, short new password",
         change + "userName=demo%40quorvane.com&oldPassword=demo123&newPassword=123&token=" +
             demoToken.toStdString(),
         "7", false, nullptr},
        {"password change of a microblog account",
         change + "userName=demo%40weibo.com&oldPassword=weibo123&newPassword=secret9&token=" +
             weiboToken.toStdString(),
         "7", false, nullptr},

        {"share report", share + demo + "&shareType=3", "0", false, nullptr},
        {"share report of a microblog user", share + weibo + "&shareType=1", "0", false, nullptr},
        {"share report with a bad token", share + "userName=demo%40quorvane.com&token=abc&shareType=3", "2",
         false, nullptr},
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const DemoReply reply = call(c.target);
        EXPECT_EQ(reply.status, 200);
        EXPECT_EQ(reply.contentType, "text/xml; charset=GBK");
        EXPECT_EQ(reply.code(), QLatin1String(c.code));
        EXPECT_EQ(reply.has("token"), c.token);
        if (c.token) {
            EXPECT_EQ(reply.value("token").size(), 32);
        }
        EXPECT_EQ(reply.has("role"), c.role != nullptr);
        if (c.role) {
            EXPECT_EQ(reply.value("role"), QLatin1String(c.role));
        }
        // A refusal always explains itself; a success carries no message.
        if (reply.code() == QLatin1String("0")) {
            EXPECT_FALSE(reply.has("msg"));
        } else {
            EXPECT_FALSE(reply.value("msg").isEmpty());
        }
    }
}

TEST_F(OperationReplies, PasswordChangeTakesEffect)
{
    const QString token = signIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));
    const DemoReply reply = call(appBase() +
                                 "/users/changePassword?format=xml&userName=demo%40quorvane.com"
                                 "&oldPassword=demo123&newPassword=fresh%26pass%3D1&token=" +
                                 token.toStdString());
    EXPECT_EQ(reply.code(), "0");
    EXPECT_FALSE(reply.has("msg"));
    EXPECT_EQ(
        call(appBase() + "/users/userLogin?format=xml&userName=demo%40quorvane.com&password=demo123").code(),
        "1");
    signIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("fresh&pass=1"));
}

TEST_F(OperationReplies, TokensAreRandomPerSignIn)
{
    const QString first = signIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));
    const QString second = signIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));
    EXPECT_NE(first, second);
    // An earlier sign-in stays valid: a second client does not sign out the first.
    const std::string poll =
        appBase() + "/information/getInformationList?format=xml&v=1&userName=demo%40quorvane.com&ot=0&token=";
    EXPECT_EQ(call(poll + first.toStdString()).code(), "0");
    EXPECT_EQ(call(poll + second.toStdString()).code(), "0");
}

TEST_F(OperationReplies, ChineseAndReservedCharactersTravelAsCodePage936)
{
    const QString name = QStringLiteral("wang@quorvane.com");
    const QString password = QStringLiteral("密码 a&b=c+d%");
    EXPECT_EQ(call(registerTarget(name, password)).code(), "0");
    signIn(name, password);
    // The same password sent as UTF-8 is another password.
    const std::string utf8 = QString(password).toUtf8().toPercentEncoding().toStdString();
    EXPECT_NE(
        call(appBase() + "/users/userLogin?format=xml&userName=wang%40quorvane.com&password=" + utf8).code(),
        "0");
}

TEST_F(OperationReplies, MessagesArriveInCodePage936)
{
    const httplib::Result result =
        get(appBase() + "/users/userLogin?format=xml&userName=demo%40quorvane.com&password=wrong1");
    ASSERT_TRUE(result);
    const QByteArray body = QByteArray::fromStdString(result->body);
    // "用户名" in code page 936.
    EXPECT_TRUE(body.contains(QByteArrayLiteral("\xD3\xC3\xBB\xA7\xC3\xFB")));
    EXPECT_TRUE(body.startsWith("<?xml version=\"1.0\" encoding=\"GBK\"?>"));
}

TEST_F(OperationReplies, MissingOrMalformedItemsAnswerAFailureNamingTheItem)
{
    const QString token = signIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));
    const std::string sn =
        AppOperations::registrationSignature(QStringLiteral("q@quorvane.com"), QStringLiteral("secret1"))
            .toStdString();
    using Items = std::vector<std::pair<std::string, std::string>>;
    const struct
    {
        const char* path;
        Items items;
    } operations[] = {
        {"/users/userLogin",
         {{"format", "xml"}, {"userName", "demo%40quorvane.com"}, {"password", "demo123"}}},
        {"/users/weiboLogin",
         {{"format", "xml"}, {"userName", "demo%40weibo.com"}, {"password", "weibo123"}}},
        {"/users/userRegister",
         {{"format", "xml"}, {"userName", "q%40quorvane.com"}, {"password", "secret1"}, {"sn", sn}}},
        {"/information/getInformationList",
         {{"format", "xml"},
          {"v", "01.00.201205281429"},
          {"userName", "demo%40quorvane.com"},
          {"token", token.toStdString()},
          {"ot", "10"}}},
        {"/users/changePassword",
         {{"format", "xml"},
          {"userName", "demo%40quorvane.com"},
          {"oldPassword", "demo123"},
          {"newPassword", "demo123"},
          {"token", token.toStdString()}}},
        {"/personalcenter/shareInfo",
         {{"format", "xml"},
          {"userName", "demo%40quorvane.com"},
          {"token", token.toStdString()},
          {"shareType", "1"}}},
    };
    const auto target = [this](const char* path, const Items& items) {
        std::string query;
        for (const auto& [name, value] : items)
            query += (query.empty() ? "?" : "&") + name + (value == "\x01" ? std::string() : "=" + value);
        return appBase() + path + query;
    };

    for (const auto& operation : operations) {
        // The complete request is accepted, so every refusal below comes from the one item changed.
        EXPECT_EQ(call(target(operation.path, operation.items)).code(), "0") << operation.path;
        for (size_t i = 0; i < operation.items.size(); ++i) {
            const std::string& name = operation.items[i].first;
            const struct
            {
                const char* change;
                std::optional<std::string> value; // nothing: the item is left out
            } changes[] = {
                {"missing", std::nullopt},
                {"empty", std::string()},
                {"without =", std::string("\x01")},
                {"broken percent-encoding", std::string("ab%zz")},
                {"truncated percent-encoding", std::string("ab%4")},
                {"not code page 936", std::string("%FF%FF")},
            };
            for (const auto& change : changes) {
                SCOPED_TRACE(std::string(operation.path) + " " + name + " " + change.change);
                Items items;
                for (size_t j = 0; j < operation.items.size(); ++j) {
                    if (j != i)
                        items.push_back(operation.items[j]);
                    else if (change.value)
                        items.push_back({name, *change.value});
                }
                const DemoReply reply = call(target(operation.path, items));
                EXPECT_EQ(reply.status, 200);
                EXPECT_EQ(reply.code(), "6");
                EXPECT_TRUE(reply.value("msg").contains(QString::fromStdString(name)))
                    << reply.value("msg").toStdString();
            }
        }
    }

    const struct
    {
        const char* what;
        std::string target;
    } others[] = {
        {"format other than xml",
         "/users/userLogin?format=json&userName=demo%40quorvane.com&password=demo123"},
        {"no query at all", "/users/userLogin"},
        {"ot that is no number",
         "/information/getInformationList?format=xml&v=1&userName=demo%40quorvane.com&ot=12a&token=" +
             token.toStdString()},
        {"ot beyond 32 bits",
         "/information/getInformationList?format=xml&v=1&userName=demo%40quorvane.com&ot=4294967296&token=" +
             token.toStdString()},
    };
    for (const auto& other : others) {
        SCOPED_TRACE(other.what);
        const DemoReply reply = call(appBase() + other.target);
        EXPECT_EQ(reply.code(), "6");
        EXPECT_FALSE(reply.value("msg").isEmpty());
    }
}

TEST(RegistrationSignature, IsTheClientsScrambleOfNameUnderscorePassword)
{
    EXPECT_EQ(AppOperations::registrationSignature(QStringLiteral("abc"), QStringLiteral("xyz")),
              QByteArrayLiteral("11300633351631"));
}

} // namespace

} // namespace quorvane
