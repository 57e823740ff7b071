#include "tests/devserver/DemoServerFixture.h"

#include <QRegularExpression>
#include <QUrl>

namespace quorvane {

namespace {

class Pages : public DemoServerTest
{
protected:
    void SetUp() override { startServer(); }

    // The start page as the client's main window asks for it.
    httplib::Result startPage(const QString& userName, const QString& token)
    {
        return get("/quorvane2/users/validateUser?userName=" + encode(userName) +
                   "&token=" + token.toStdString() + "&v=01.00.201205281429");
    }

    static QString body(const httplib::Result& result) { return QString::fromUtf8(result->body); }

    // The href of the first link whose markup matches `pattern` (one capture group: the href).
    static QString link(const QString& html, const QString& pattern)
    {
        const QRegularExpressionMatch match = QRegularExpression(pattern).match(html);
        EXPECT_TRUE(match.hasMatch()) << pattern.toStdString();
        return match.captured(1).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    }

    static httplib::Headers cookieOf(const httplib::Result& result)
    {
        const std::string setCookie = result->get_header_value("Set-Cookie");
        return {{"Cookie", setCookie.substr(0, setCookie.find(';'))}};
    }
};

TEST_F(Pages, StartPageShowsThePricesAndTheClientLinks)
{
    const QString token = signIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));
    const httplib::Result result = startPage(QStringLiteral("demo@quorvane.com"), token);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(result->get_header_value("Content-Type"), "text/html; charset=UTF-8");
    const QString html = body(result);
    EXPECT_TRUE(html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    EXPECT_TRUE(html.contains(QStringLiteral("欢迎您，demo@quorvane.com")));
    EXPECT_TRUE(html.contains(QStringLiteral("<th class=\"number\">均价</th>")));
    EXPECT_EQ(html.count(QStringLiteral("/house/detail?id=")), 8); // one detail link per row
    EXPECT_FALSE(html.contains(QStringLiteral("认证企业")));
    EXPECT_TRUE(html.contains(QStringLiteral("href=\"vemtraclient://close/\"")));

    // The open link carries a whole encoded address that the server itself answers.
    const QString open = link(html, QStringLiteral("href=\"(vemtraclient://open/\\?url=[^\"]+)\""));
    EXPECT_FALSE(open.mid(QStringLiteral("vemtraclient://open/?url=").size()).contains(QLatin1Char('&')));
    const QString address =
        QUrl::fromPercentEncoding(open.mid(open.indexOf(QLatin1Char('=')) + 1).toLatin1());
    const QString expectedStart =
        QStringLiteral("http://127.0.0.1:%1/quorvane2/house/report?district=").arg(port());
    ASSERT_TRUE(address.startsWith(expectedStart)) << address.toStdString();
    const httplib::Result report =
        get(address.mid(address.indexOf(QStringLiteral("/quorvane2"))).toStdString());
    ASSERT_TRUE(report);
    EXPECT_EQ(report->status, 200);
    EXPECT_TRUE(body(report).contains(QStringLiteral("市场报告")));

    // The share link opens a new window on the microblog share page.
    const QString share = link(
        html, QStringLiteral(
                  "target=\"_blank\" href=\"(http://service\\.weibo\\.com/share/share\\.php\\?[^\"]+)\""));
    EXPECT_TRUE(share.contains(QStringLiteral("shareType=")));
}

TEST_F(Pages, CertifiedAccountsSeeTheirBadge)
{
    const QString token = signIn(QStringLiteral("agency@quorvane.com"), QStringLiteral("agency123"));
    const httplib::Result result = startPage(QStringLiteral("agency@quorvane.com"), token);
    ASSERT_TRUE(result);
    EXPECT_TRUE(body(result).contains(QStringLiteral("认证企业")));
}

TEST_F(Pages, SignedInPagesRefuseBadTokensAndBadLinks)
{
    const QString token = signIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));
    const struct
    {
        std::string target;
        int status;
    } cases[] = {
        {"/quorvane2/users/validateUser?userName=demo%40quorvane.com&token=" + token.toStdString() + "&v=1",
         200},
        {"/quorvane2/users/validateUser?userName=demo%40quorvane.com&token=0&v=1", 403},
        {"/quorvane2/users/validateUser?userName=agency%40quorvane.com&token=" + token.toStdString() + "&v=1",
         403},
        {"/quorvane2/users/validateUser?userName=demo%40quorvane.com&token=" + token.toStdString(), 400},
        {"/quorvane2/users/validateUser", 400},
        {"/quorvane2/users/opinion?userName=demo%40quorvane.com&token=" + token.toStdString(), 200},
        {"/quorvane2/users/opinion?userName=demo%40quorvane.com&token=bad", 403},
        {"/quorvane2/users/opinion?userName=demo%40quorvane.com", 400},
        {"/quorvane2/users/saveOpinion?userName=demo%40quorvane.com&token=" + token.toStdString() +
             "&content=%E5%BE%88%E5%A5%BD%E7%94%A8",
         200},
        {"/quorvane2/users/saveOpinion?userName=demo%40quorvane.com&token=" + token.toStdString() +
             "&content=",
         400},
        {"/quorvane2/users/saveOpinion?userName=demo%40quorvane.com&token=bad&content=x", 403},
        {"/quorvane2/house/home", 403},
        {"/quorvane2/house/detail?id=1", 403},
        {"/quorvane2/house/report?district=haidian&month=2012-12", 200},
        {"/quorvane2/house/report?district=atlantis", 404},
        {"/quorvane2/information/message?id=1", 200},
        {"/quorvane2/information/message?id=2", 200},
        {"/quorvane2/information/message?id=99", 404},
        {"/quorvane2/information/message", 404},
    };
    for (const auto& c : cases) {
        const httplib::Result result = get(c.target);
        ASSERT_TRUE(result) << c.target;
        EXPECT_EQ(result->status, c.status) << c.target;
        EXPECT_EQ(result->get_header_value("Content-Type"), "text/html; charset=UTF-8") << c.target;
    }
}

TEST_F(Pages, TheStartPageOpensAWebSessionForTheOtherPages)
{
    const QString token = signIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));
    const httplib::Result start = startPage(QStringLiteral("demo@quorvane.com"), token);
    ASSERT_TRUE(start);
    EXPECT_NE(start->get_header_value("Set-Cookie").find("HttpOnly"), std::string::npos);
    const httplib::Headers cookie = cookieOf(start);

    const httplib::Result home = get("/quorvane2/house/home", cookie);
    ASSERT_TRUE(home);
    EXPECT_EQ(home->status, 200);
    EXPECT_TRUE(body(home).contains(QStringLiteral("我关注的小区房价")));

    const httplib::Result detail = get("/quorvane2/house/detail?id=3", cookie);
    ASSERT_TRUE(detail);
    EXPECT_EQ(detail->status, 200);
    EXPECT_TRUE(body(detail).contains(QStringLiteral("华清嘉园")));
    EXPECT_TRUE(body(detail).contains(QStringLiteral("近12个月均价走势")));
    EXPECT_EQ(get("/quorvane2/house/detail?id=13", cookie)->status, 404);
    EXPECT_EQ(get("/quorvane2/house/detail?id=x", cookie)->status, 404);
    EXPECT_EQ(get("/quorvane2/house/home", {{"Cookie", "quorvane_token=forged"}})->status, 403);
}

TEST_F(Pages, NotificationPagesLeadTheMainWindowToAPage)
{
    const QString token = signIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));
    const httplib::Result page = get("/quorvane2/information/message?id=1");
    ASSERT_TRUE(page);
    const QString html = body(page);
    const QString show = link(html, QStringLiteral("href=\"(vemtraclient://show/\\?url=[^\"]+)\""));
    EXPECT_EQ(show, QStringLiteral("vemtraclient://show/?url=house/detail?id=3"));
    EXPECT_TRUE(html.contains(QStringLiteral("href=\"vemtraclient://open/?url=http%3A%2F%2F")));

    // The client goes to the application URL, "/" and the raw value, with the web session of its start page.
    const httplib::Headers cookie = cookieOf(startPage(QStringLiteral("demo@quorvane.com"), token));
    const httplib::Result target =
        get("/quorvane2/" + show.section(QLatin1Char('='), 1).toStdString(), cookie);
    ASSERT_TRUE(target);
    EXPECT_EQ(target->status, 200);
}

TEST_F(Pages, FeedbackFormSendsWhatTheThanksPageNeeds)
{
    const QString token = signIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));
    const httplib::Result form =
        get("/quorvane2/users/opinion?userName=demo%40quorvane.com&token=" + token.toStdString());
    ASSERT_TRUE(form);
    const QString html = body(form);
    EXPECT_TRUE(html.contains(QStringLiteral("action=\"saveOpinion\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("name=\"userName\" value=\"demo@quorvane.com\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("name=\"token\" value=\"") + token + QLatin1Char('"')));
    EXPECT_TRUE(html.contains(QStringLiteral("name=\"content\"")));
}

TEST_F(Pages, ValuesAreEscapedInPages)
{
    const QString name = QStringLiteral("<b>\"x\"@quorvane.com");
    ASSERT_EQ(call(registerTarget(name, QStringLiteral("secret1"))).code(), "0");
    const QString token = signIn(name, QStringLiteral("secret1"));
    const httplib::Result result = startPage(name, token);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_FALSE(body(result).contains(QStringLiteral("<b>\"x\"")));
    EXPECT_TRUE(body(result).contains(QStringLiteral("&lt;b&gt;&quot;x&quot;@quorvane.com")));
}

class SharePages : public DemoServerTest
{
protected:
    void SetUp() override { startServer(); }

    httplib::Result getOn(const std::string& host, const std::string& target)
    {
        return get(target, {{"Host", host}});
    }
};

TEST_F(SharePages, AreServedOnTheShareHostsOnly)
{
    const std::string sharePage = "/share/share.php?url=http%3A%2F%2Fexample.com%2Fa&title=t&shareType=1";
    const struct
    {
        std::string host;
        std::string target;
        int status;
    } cases[] = {
        {"service.weibo.com", sharePage, 200},
        {"v.t.sina.com.cn", sharePage, 200},
        {"SERVICE.Weibo.com:80", sharePage, 200},
        {"service.weibo.com", "/share/success.php?urlpara=x%3FshareType%3D1", 200},
        {"service.weibo.com", "/share/success.php", 200},
        {"service.weibo.com", "/share/share.php?title=t", 400},
        {"service.weibo.com", "/share/other.php", 404},
        {"service.weibo.com", "/quorvane2/users/userLogin?format=xml&userName=a&password=b", 404},
        {"127.0.0.1:" + std::to_string(port()), sharePage, 404},
        // Names that are not the server's own are not answered at all.
        {"127.0.0.1", sharePage, 403},
        {"weibo.com", sharePage, 403},
    };
    for (const auto& c : cases) {
        const httplib::Result result = getOn(c.host, c.target);
        ASSERT_TRUE(result) << c.host << c.target;
        EXPECT_EQ(result->status, c.status) << c.host << c.target;
    }
}

TEST_F(SharePages, TheShareFormCarriesTheShareTypeToTheSuccessPage)
{
    const struct
    {
        const char* shareType;
        const char* url;
        QString urlpara;
        bool picture;
    } cases[] = {
        {"3", "http%3A%2F%2Fh%2Fquorvane2%2Fhouse%2Fdetail%3Fid%3D2",
         QStringLiteral("http://h/quorvane2/house/detail?id=2&amp;shareType=3"), true},
        {"1", "http%3A%2F%2Fh%2Fnews", QStringLiteral("http://h/news?shareType=1"), false},
        {"2", "http%3A%2F%2Fh%2Fx%3FshareType%3D5", QStringLiteral("http://h/x?shareType=5"), false},
        {"", "http%3A%2F%2Fh%2Fy", QStringLiteral("http://h/y"), false},
    };
    for (const auto& c : cases) {
        const httplib::Result result =
            getOn("service.weibo.com", std::string("/share/share.php?url=") + c.url +
                                           "&title=%E6%88%BF%E4%BB%B7&shareType=" + c.shareType);
        ASSERT_TRUE(result);
        const QString html = QString::fromUtf8(result->body);
        EXPECT_TRUE(html.contains(QStringLiteral("action=\"/share/success.php\"")));
        EXPECT_TRUE(html.contains(QStringLiteral("name=\"urlpara\" value=\"") + c.urlpara + QLatin1Char('"')))
            << html.toStdString();
        EXPECT_TRUE(html.contains(QStringLiteral("房价")));
        EXPECT_EQ(html.contains(QStringLiteral("class=\"picture\"")), c.picture) << c.shareType;
    }

    const httplib::Result success = getOn(
        "service.weibo.com", "/share/success.php?urlpara=http%3A%2F%2Fh%2Fnews%3FshareType%3D1&content=x");
    ASSERT_TRUE(success);
    EXPECT_TRUE(QString::fromUtf8(success->body).contains(QStringLiteral("分享成功")));
    EXPECT_TRUE(QString::fromUtf8(success->body).contains(QStringLiteral("http://h/news?shareType=1")));
}

TEST_F(SharePages, ShareHostsComeFromTheCommandLine)
{
    stopServer();
    DemoServerOptions options = this->options();
    options.shareHosts = {QStringLiteral("share.example")};
    startServer(options);
    const std::string sharePage = "/share/share.php?url=http%3A%2F%2Fexample.com%2Fa";
    EXPECT_EQ(getOn("share.example", sharePage)->status, 200);
    EXPECT_EQ(getOn("service.weibo.com", sharePage)->status, 403); // no name of this server now

    const QString token = signIn(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123"));
    const httplib::Result start = get(
        "/quorvane2/users/validateUser?userName=demo%40quorvane.com&token=" + token.toStdString() + "&v=1");
    EXPECT_TRUE(QString::fromUtf8(start->body)
                    .contains(QStringLiteral("href=\"http://share.example/share/share.php?")));
}

} // namespace

} // namespace quorvane
