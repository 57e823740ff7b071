#include "ui/share/ShareWindow.h"

#include "config/ConfigStore.h"
#include "server/Session.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/NamedChild.h"
#include "tests/support/TempProfile.h"
#include "tests/support/WindowRequests.h"
#include "tests/ui/dialogs/WindowTestApp.h"
#include "tests/ui/share/ShareServers.h"
#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/NavigateUrl.h"
#include "ui/chrome/OpenWindows.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>
#include <httplib.h>

namespace quorvane {

namespace {

const char kSharePage[] = R"(<!doctype html><html><head><meta charset="utf-8"><title>share</title></head>
<body><form action="/share/success.php"><input type="hidden" name="urlpara"
value="http://127.0.0.1/house/detail?id=7&amp;shareType=2"><button id="send">分享</button></form></body></html>)";
const char kSuccessPage[] = "<!doctype html><title>success</title><p>分享成功</p>";
const char kShareInfo[] = "/quorvane2/personalcenter/shareInfo";

// The shared address percent-encoded, as the share page's form sends it.
QString encoded(const char* text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf8(text)));
}

// A fresh profile whose application server is the loopback server that also plays
// "service.weibo.com", and a session signed in as user@example.com.
class ShareWindowTest : public ::testing::Test
{
protected:
    ShareWindowTest() : m_server(shareHostServer())
    {
        useApplicationServer(m_server.url());
        m_server.reply("/share/share.php", kSharePage, 200, "text/html");
        m_server.reply("/share/success.php", kSuccessPage, 200, "text/html");
        m_server.reply("/other", "<!doctype html><title>other</title>", 200, "text/html");
        m_server.reply(kShareInfo, "<responsed><code>0</code></responsed>");
        m_server.get("/go", [](const httplib::Request& request, httplib::Response& response) {
            response.set_redirect(request.get_param_value("to"));
        });
        m_server.reply("/quorvane2/users/userLogin",
                       "<responsed><code>0</code><token>T0KEN</token><role>1</role></responsed>");
        EXPECT_EQ(m_session.login(QStringLiteral("user@example.com"), QStringLiteral("secret")).code, 0);
        m_server.clearRequests();
        takeEscapedFailures();
    }

    ~ShareWindowTest() override
    {
        delete findOpenWindow<ShareWindow>();
        processEvents();
        EXPECT_EQ(takeEscapedFailures(), QStringList()) << "failures nobody expected";
    }

    void useApplicationServer(const QString& url)
    {
        TempProfile::writeFile(m_profile.configFile(), "[Common]\r\napp_root=" + url.toLatin1() + "\r\n");
        ConfigStore::forgetCachedAddresses();
    }

    // The share window as the client makes it, recording its completed documents.
    ShareWindow* create(QWidget* owner = nullptr)
    {
        auto* window = new ShareWindow(m_session, owner);
        record(window);
        return window;
    }

    void record(ShareWindow* window)
    {
        m_completions.clear();
        QObject::connect(child<BrowserView>(window, "browser")->browserPage(), &BrowserPage::documentComplete,
                         [this](const QString& url) { m_completions << url; });
    }

    // As the main window does for a new-window request.
    static void expectAndShow(ShareWindow* window)
    {
        window->expectSharePage();
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window, 20000));
    }

    // Loads the URL in the share window and waits until a document has completed.
    void load(const QString& url)
    {
        const qsizetype before = m_completions.size();
        navigateUrl(child<BrowserView>(findOpenWindow<ShareWindow>(), "browser"), url);
        ASSERT_TRUE(waitUntil([&] { return m_completions.size() > before; })) << url.toStdString();
        // A success page's report goes to the server off this thread.
        ASSERT_TRUE(waitForWindowRequests());
    }

    QStringList shareReports() const
    {
        QStringList reports;
        for (const QString& target : m_server.targets())
            if (target.startsWith(QLatin1String(kShareInfo)))
                reports << target.mid(target.indexOf(QLatin1Char('?')) + 1);
        return reports;
    }

    static QString report(const char* shareType)
    {
        return QStringLiteral("format=xml&userName=user%40example.com&token=T0KEN&shareType=") +
               QLatin1String(shareType);
    }

    static QSize windowSize(const ShareWindow* window) { return window->frameGeometry().size(); }

    TempProfile m_profile;
    LoopbackServer& m_server;
    Session m_session{HttpLimits{2000, 5000, 1024 * 1024, 0, 0}};
    QStringList m_completions;
};

TEST_F(ShareWindowTest, CreatedHiddenAtItsFirstSize)
{
    ShareWindow* window = create();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->sharePending());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quorvane"));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window->size(), QSize(620, 290));
    EXPECT_EQ(child<BrowserView>(window, "browser")->geometry(), QRect(0, 0, 392, 278));
}

TEST_F(ShareWindowTest, SharePageFitsTheWindowToItsType)
{
    const struct
    {
        QString url;
        int height;
    } cases[] = {
        {QStringLiteral("http://service.weibo.com/share/share.php?shareType=3"), 528},
        {QStringLiteral("http://service.weibo.com/share/share.php?url=x&shareType=1"), 324},
        {QStringLiteral("http://service.weibo.com/share/share.php?url=x"), 324},
        {QStringLiteral("http://service.weibo.com/share/share.php"), 324},
        {QStringLiteral("http://v.t.sina.com.cn/share/share.php?url=") + encoded("http://127.0.0.1/a") +
             QStringLiteral("&title=t&shareType=3"),
         528},
    };
    for (const auto& c : cases) {
        ShareWindow* window = create();
        expectAndShow(window);
        load(c.url);
        EXPECT_EQ(m_completions.last(), c.url);
        EXPECT_FALSE(window->sharePending()) << c.url.toStdString();
        EXPECT_EQ(windowSize(window), QSize(628, c.height)) << c.url.toStdString();
        EXPECT_EQ(child<BrowserView>(window, "browser")->geometry(), window->rect()) << c.url.toStdString();
        EXPECT_TRUE(window->isVisible());
        // From now on the browser fills the window whatever its size.
        window->resize(700, 600);
        EXPECT_EQ(child<BrowserView>(window, "browser")->geometry(), QRect(0, 0, 700, 600));
        delete window;
    }
    EXPECT_EQ(shareReports(), QStringList());
}

TEST_F(ShareWindowTest, OnlyAnExpectedSharePageFits)
{
    ShareWindow* window = create();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window, 20000));
    load(QStringLiteral("http://service.weibo.com/share/share.php?shareType=3"));
    EXPECT_EQ(window->size(), QSize(620, 290));
    EXPECT_EQ(child<BrowserView>(window, "browser")->geometry(), QRect(0, 0, 392, 278));

    // A first page that is no share page keeps the size and the expectation.
    window->expectSharePage();
    for (const QString& url : {m_server.url() + QStringLiteral("/other"),
                               QStringLiteral("http://service.weibo.com/Share/share.php?shareType=3"),
                               QStringLiteral("https://service.weibo.com/share/share.php?shareType=3")}) {
        load(url);
        EXPECT_EQ(window->size(), QSize(620, 290)) << url.toStdString();
        EXPECT_TRUE(window->sharePending()) << url.toStdString();
    }
    // A share page later in the same window fits it...
    load(QStringLiteral("http://service.weibo.com/share/share.php?shareType=1"));
    EXPECT_EQ(windowSize(window), QSize(628, 324));
    // ...and later share pages leave it alone until the next new-window request.
    load(QStringLiteral("http://service.weibo.com/share/share.php?shareType=3"));
    EXPECT_EQ(windowSize(window), QSize(628, 324));
    window->expectSharePage();
    load(QStringLiteral("http://service.weibo.com/share/share.php?shareType=3"));
    EXPECT_EQ(windowSize(window), QSize(628, 528));
}

TEST_F(ShareWindowTest, SharePageReachedThroughARedirectFits)
{
    ShareWindow* window = create();
    expectAndShow(window);
    const QString target = QStringLiteral("http://service.weibo.com/share/share.php?shareType=3");
    load(m_server.url() + QStringLiteral("/go?to=") + encoded(target.toUtf8().constData()));
    EXPECT_EQ(m_completions.last(), target);
    EXPECT_EQ(windowSize(window), QSize(628, 528));
}

TEST_F(ShareWindowTest, SuccessPageReportsTheSharedType)
{
    create();
    const QString success = QStringLiteral("http://service.weibo.com/share/success.php?urlpara=") +
                            encoded("http://127.0.0.1/house/detail?id=7&shareType=2") +
                            QStringLiteral("&content=%E5%88%86%E4%BA%AB");
    load(success);
    EXPECT_EQ(shareReports(), QStringList({report("2")}));

    // A reload reports again.
    const qsizetype before = m_completions.size();
    child<BrowserView>(findOpenWindow<ShareWindow>(), "browser")->reload();
    ASSERT_TRUE(waitUntil([&] { return m_completions.size() > before; }));
    ASSERT_TRUE(waitForWindowRequests());
    EXPECT_EQ(shareReports(), QStringList({report("2"), report("2")}));
}

TEST_F(ShareWindowTest, SuccessPageWithoutTypeReportsAnEmptyOne)
{
    create();
    const QString pages[] = {
        QStringLiteral("http://v.t.sina.com.cn/share/success.php"),
        QStringLiteral("http://service.weibo.com/share/success.php?urlpara=") +
            encoded("http://127.0.0.1/a?id=1"),
        QStringLiteral("http://service.weibo.com/share/success.php?urlpara=") + encoded("shareType=4"),
    };
    for (const QString& page : pages)
        load(page);
    EXPECT_EQ(shareReports(), QStringList({report(""), report(""), report("4")}));
}

TEST_F(ShareWindowTest, SharingFromTheSharePageReports)
{
    ShareWindow* window = create();
    expectAndShow(window);
    load(QStringLiteral("http://service.weibo.com/share/share.php?shareType=2"));
    runScript(child<BrowserView>(window, "browser")->browserPage(),
              QStringLiteral("document.getElementById('send').click()"));
    ASSERT_TRUE(waitUntil([&] { return !shareReports().isEmpty(); }));
    EXPECT_EQ(shareReports(), QStringList({report("2")}));
    EXPECT_EQ(windowSize(window), QSize(628, 324));
}

TEST_F(ShareWindowTest, ServerRefusalIsIgnoredAndFailureReachesTheErrorDisplay)
{
    create();
    const QString success =
        QStringLiteral("http://service.weibo.com/share/success.php?urlpara=") + encoded("x?shareType=1");

    m_server.reply(kShareInfo, "<responsed><code>2</code><msg>bad token</msg></responsed>");
    load(success);
    processEvents();
    EXPECT_EQ(shareReports().size(), 1);
    EXPECT_EQ(takeEscapedFailures(), QStringList());

    m_server.reply(kShareInfo, "<html>down</html>", 500, "text/html");
    load(success);
    ASSERT_TRUE(waitUntil([&] { return !takeEscapedFailures().isEmpty(); }));
    EXPECT_EQ(shareReports().size(), 2);
    EXPECT_TRUE(findOpenWindow<ShareWindow>()) << "the window stays";
}

TEST_F(ShareWindowTest, CloseDestroysTheWindowAndEmptiesTheReference)
{
    ShareWindow* window = create();
    expectAndShow(window);
    QPointer<ShareWindow> alive(window);
    window->close();
    EXPECT_FALSE(findOpenWindow<ShareWindow>());
    processEvents();
    EXPECT_FALSE(alive);

    // A page that closes its own window closes the share window.
    window = create();
    expectAndShow(window);
    alive = window;
    load(m_server.url() + QStringLiteral("/other"));
    runScript(child<BrowserView>(window, "browser")->browserPage(), QStringLiteral("window.close()"));
    ASSERT_TRUE(waitUntil([&] { return !findOpenWindow<ShareWindow>(); }));
    processEvents();
    EXPECT_FALSE(alive);
}

TEST_F(ShareWindowTest, FirstShownCentredWithoutMainWindow)
{
    ShareWindow* window = create();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window, 20000));
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_NEAR(window->frameGeometry().center().x(), centre.x(), 1);
    EXPECT_NEAR(window->frameGeometry().center().y(), centre.y(), 1);
    // Placed only when first shown.
    window->hide();
    window->move(10, 20);
    window->show();
    EXPECT_EQ(window->pos(), QPoint(10, 20));
}

// The road of the main window: its browser's new-window request is served by the share window,
// created anew after each close.
TEST_F(ShareWindowTest, ServesNewWindowRequestsOfAnotherBrowser)
{
    m_server.reply(
        "/start",
        "<!doctype html><title>start</title>"
        "<a id='share' target='_blank' href='http://service.weibo.com/share/share.php?shareType=3'>share</a>",
        200, "text/html");
    QWidget mainWindow;
    auto* layout = new QHBoxLayout(&mainWindow);
    auto* mainView = new BrowserView(&mainWindow);
    layout->addWidget(mainView);
    mainWindow.resize(500, 300);
    QObject::connect(mainView->browserPage(), &BrowserPage::newWindow,
                     [&](const QString&, QWebEnginePage*& target, bool&) {
                         if (!findOpenWindow<ShareWindow>())
                             record(new ShareWindow(m_session, &mainWindow));
                         findOpenWindow<ShareWindow>()->expectSharePage();
                         target = child<BrowserView>(findOpenWindow<ShareWindow>(), "browser")->browserPage();
                         findOpenWindow<ShareWindow>()->show();
                     });
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow, 20000));
    bool started = false;
    QObject::connect(mainView->browserPage(), &BrowserPage::documentComplete,
                     [&](const QString&) { started = true; });
    navigateUrl(mainView, m_server.url() + QStringLiteral("/start"));
    ASSERT_TRUE(waitUntil([&] { return started; }));

    for (int round = 0; round < 2; ++round) {
        runScript(mainView->browserPage(), QStringLiteral("document.getElementById('share').click()"));
        ASSERT_TRUE(waitUntil([&] {
            return findOpenWindow<ShareWindow>() && findOpenWindow<ShareWindow>()->isVisible() &&
                   !findOpenWindow<ShareWindow>()->sharePending();
        })) << round;
        ShareWindow* window = findOpenWindow<ShareWindow>();
        EXPECT_EQ(window->parentWidget(), &mainWindow);
        EXPECT_EQ(windowSize(window), QSize(628, 528));
        EXPECT_TRUE(child<BrowserView>(window, "browser")
                        ->url()
                        .toString()
                        .startsWith(QLatin1String("http://service.weibo.com/")));
        QPointer<ShareWindow> alive(window);
        window->close();
        processEvents();
        EXPECT_FALSE(alive);
        EXPECT_FALSE(findOpenWindow<ShareWindow>());
    }
}

// The whole road against the demo server, which plays the application server and, as
// "v.t.sina.com.cn", the microblog service.
TEST_F(ShareWindowTest, ShareWithTheDemoServer)
{
    useApplicationServer(demoServerUrl());
    ASSERT_EQ(m_session.login(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123")).code, 0);
    const QString token = m_session.getToken();

    ShareWindow* window = create();
    expectAndShow(window);
    const QString detail = demoServerUrl() + QStringLiteral("/quorvane2/house/detail?id=1");
    load(QStringLiteral("http://v.t.sina.com.cn/share/share.php?url=") +
         encoded(detail.toUtf8().constData()) + QStringLiteral("&title=") + encoded("房价") +
         QStringLiteral("&shareType=2"));
    EXPECT_EQ(windowSize(window), QSize(628, 324));
    EXPECT_EQ(
        runScript(child<BrowserView>(window, "browser")->browserPage(), QStringLiteral("document.title"))
            .toString(),
        QStringLiteral("分享到微博"));
    saveScreenshot(*window, QStringLiteral("share"));

    const QString expected =
        QStringLiteral("GET /quorvane2/personalcenter/shareInfo?format=xml&userName=demo%40quorvane.com"
                       "&token=%1&shareType=2")
            .arg(token);
    const auto requestLog = [] {
        httplib::Client client("127.0.0.1", QUrl(demoServerUrl()).port());
        const auto result = client.Get("/admin/requests?key=" + demoServerAdminKey().toStdString());
        return result ? QString::fromStdString(result->body) : QString();
    };
    runScript(child<BrowserView>(window, "browser")->browserPage(),
              QStringLiteral("document.getElementById('send').click()"));
    ASSERT_TRUE(waitUntil([&] { return requestLog().contains(expected); })) << requestLog().toStdString();
    EXPECT_TRUE(m_completions.last().startsWith(QLatin1String("http://v.t.sina.com.cn/share/success.php?")));
}

} // namespace

} // namespace quorvane
