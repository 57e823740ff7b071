#include "ui/share/BrowserForm.h"

#include "config/SelvorConfig.h"
#include "server/DataModule.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempProfile.h"
#include "tests/ui/dialogs/WindowTestApp.h"
#include "tests/ui/share/ShareServers.h"
#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/NavigateUrl.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>
#include <httplib.h>

namespace {

const char kSharePage[] = R"(<!doctype html><html><head><meta charset="utf-8"><title>share</title></head>
<body><form action="/share/success.php"><input type="hidden" name="urlpara"
value="http://127.0.0.1/house/detail?id=7&amp;shareType=2"><button id="send">分享</button></form></body></html>)";
const char kSuccessPage[] = "<!doctype html><title>success</title><p>分享成功</p>";
const char kShareInfo[] = "/quorvane2/personalcenter/shareInfo";

// The shared address percent-encoded, as the share page's form sends it.
QString Encoded(const char* text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf8(text)));
}

// A fresh profile whose application server is the loopback server that also plays
// "service.weibo.com", and a session signed in as user@example.com.
class BrowserFormTest : public ::testing::Test
{
protected:
    BrowserFormTest() : server(ShareHostServer())
    {
        UseApplicationServer(server.Url());
        DMod = &session;
        server.Reply("/share/share.php", kSharePage, 200, "text/html");
        server.Reply("/share/success.php", kSuccessPage, 200, "text/html");
        server.Reply("/other", "<!doctype html><title>other</title>", 200, "text/html");
        server.Reply(kShareInfo, "<responsed><code>0</code></responsed>");
        server.Get("/go", [](const httplib::Request& request, httplib::Response& response) {
            response.set_redirect(request.get_param_value("to"));
        });
        server.Reply("/quorvane2/users/userLogin",
                     "<responsed><code>0</code><token>T0KEN</token><role>1</role></responsed>");
        EXPECT_EQ(session.Login(QStringLiteral("user@example.com"), QStringLiteral("secret")).code, 0);
        server.ClearRequests();
        TakeEscapedFailures();
    }

    ~BrowserFormTest() override
    {
        delete frmBrowser;
        ProcessEvents();
        DMod = nullptr;
        EXPECT_EQ(TakeEscapedFailures(), QStringList()) << "failures nobody expected";
    }

    void UseApplicationServer(const QString& url)
    {
        TempProfile::WriteFile(profile.ConfigFile(), "[Common]\r\napp_root=" + url.toLatin1() + "\r\n");
        TSelvorConfig::ForgetCachedAddresses();
    }

    // The share window as the start-up sequence makes it, recording its completed documents.
    TfrmBrowser* Create(QWidget* owner = nullptr)
    {
        frmBrowser = new TfrmBrowser(owner);
        Record(frmBrowser);
        return frmBrowser;
    }

    void Record(TfrmBrowser* window)
    {
        completions.clear();
        QObject::connect(window->WebBrowser1->Page(), &TBrowserPage::DocumentComplete,
                         [this](const QString& url) { completions << url; });
    }

    // As the main window does for a new-window request.
    static void ExpectAndShow(TfrmBrowser* window)
    {
        window->ExpectSharePage();
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window, 20000));
    }

    // Loads the URL in the share window and waits until a document has completed.
    void Load(const QString& url)
    {
        const qsizetype before = completions.size();
        NavigateUrl(frmBrowser->WebBrowser1, url);
        ASSERT_TRUE(WaitUntil([&] { return completions.size() > before; })) << url.toStdString();
    }

    QStringList ShareReports() const
    {
        QStringList reports;
        for (const QString& target : server.Targets())
            if (target.startsWith(QLatin1String(kShareInfo)))
                reports << target.mid(target.indexOf(QLatin1Char('?')) + 1);
        return reports;
    }

    static QString Report(const char* shareType)
    {
        return QStringLiteral("format=xml&userName=user%40example.com&token=T0KEN&shareType=") +
               QLatin1String(shareType);
    }

    static QSize WindowSize(const TfrmBrowser* window) { return window->frameGeometry().size(); }

    TempProfile profile;
    LoopbackServer& server;
    TDMod session{THttpLimits{2000, 5000, 1024 * 1024, 0, 0}};
    QStringList completions;
};

TEST_F(BrowserFormTest, CreatedHiddenAtItsFirstSize)
{
    TfrmBrowser* window = Create();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->SharePending());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quorvane"));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window->size(), QSize(620, 290));
    EXPECT_EQ(window->WebBrowser1->geometry(), QRect(0, 0, 392, 278));
}

TEST_F(BrowserFormTest, SharePageFitsTheWindowToItsType)
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
        {QStringLiteral("http://v.t.sina.com.cn/share/share.php?url=") + Encoded("http://127.0.0.1/a") +
             QStringLiteral("&title=t&shareType=3"),
         528},
    };
    for (const auto& c : cases) {
        TfrmBrowser* window = Create();
        ExpectAndShow(window);
        Load(c.url);
        EXPECT_EQ(completions.last(), c.url);
        EXPECT_FALSE(window->SharePending()) << c.url.toStdString();
        EXPECT_EQ(WindowSize(window), QSize(628, c.height)) << c.url.toStdString();
        EXPECT_EQ(window->WebBrowser1->geometry(), window->rect()) << c.url.toStdString();
        EXPECT_TRUE(window->isVisible());
        // From now on the browser fills the window whatever its size.
        window->resize(700, 600);
        EXPECT_EQ(window->WebBrowser1->geometry(), QRect(0, 0, 700, 600));
        delete window;
    }
    EXPECT_EQ(ShareReports(), QStringList());
}

TEST_F(BrowserFormTest, OnlyAnExpectedSharePageFits)
{
    TfrmBrowser* window = Create();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window, 20000));
    Load(QStringLiteral("http://service.weibo.com/share/share.php?shareType=3"));
    EXPECT_EQ(window->size(), QSize(620, 290));
    EXPECT_EQ(window->WebBrowser1->geometry(), QRect(0, 0, 392, 278));

    // A first page that is no share page keeps the size and the expectation.
    window->ExpectSharePage();
    for (const QString& url : {server.Url() + QStringLiteral("/other"),
                               QStringLiteral("http://service.weibo.com/Share/share.php?shareType=3"),
                               QStringLiteral("https://service.weibo.com/share/share.php?shareType=3")}) {
        Load(url);
        EXPECT_EQ(window->size(), QSize(620, 290)) << url.toStdString();
        EXPECT_TRUE(window->SharePending()) << url.toStdString();
    }
    // A share page later in the same window fits it...
    Load(QStringLiteral("http://service.weibo.com/share/share.php?shareType=1"));
    EXPECT_EQ(WindowSize(window), QSize(628, 324));
    // ...and later share pages leave it alone until the next new-window request.
    Load(QStringLiteral("http://service.weibo.com/share/share.php?shareType=3"));
    EXPECT_EQ(WindowSize(window), QSize(628, 324));
    window->ExpectSharePage();
    Load(QStringLiteral("http://service.weibo.com/share/share.php?shareType=3"));
    EXPECT_EQ(WindowSize(window), QSize(628, 528));
}

TEST_F(BrowserFormTest, SharePageReachedThroughARedirectFits)
{
    TfrmBrowser* window = Create();
    ExpectAndShow(window);
    const QString target = QStringLiteral("http://service.weibo.com/share/share.php?shareType=3");
    Load(server.Url() + QStringLiteral("/go?to=") + Encoded(target.toUtf8().constData()));
    EXPECT_EQ(completions.last(), target);
    EXPECT_EQ(WindowSize(window), QSize(628, 528));
}

TEST_F(BrowserFormTest, SuccessPageReportsTheSharedType)
{
    Create();
    const QString success = QStringLiteral("http://service.weibo.com/share/success.php?urlpara=") +
                            Encoded("http://127.0.0.1/house/detail?id=7&shareType=2") +
                            QStringLiteral("&content=%E5%88%86%E4%BA%AB");
    Load(success);
    EXPECT_EQ(ShareReports(), QStringList({Report("2")}));

    // A reload reports again.
    const qsizetype before = completions.size();
    frmBrowser->WebBrowser1->reload();
    ASSERT_TRUE(WaitUntil([&] { return completions.size() > before; }));
    EXPECT_EQ(ShareReports(), QStringList({Report("2"), Report("2")}));
}

TEST_F(BrowserFormTest, SuccessPageWithoutTypeReportsAnEmptyOne)
{
    Create();
    const QString pages[] = {
        QStringLiteral("http://v.t.sina.com.cn/share/success.php"),
        QStringLiteral("http://service.weibo.com/share/success.php?urlpara=") +
            Encoded("http://127.0.0.1/a?id=1"),
        QStringLiteral("http://service.weibo.com/share/success.php?urlpara=") + Encoded("shareType=4"),
    };
    for (const QString& page : pages)
        Load(page);
    EXPECT_EQ(ShareReports(), QStringList({Report(""), Report(""), Report("4")}));
}

TEST_F(BrowserFormTest, SharingFromTheSharePageReports)
{
    TfrmBrowser* window = Create();
    ExpectAndShow(window);
    Load(QStringLiteral("http://service.weibo.com/share/share.php?shareType=2"));
    RunScript(window->WebBrowser1->Page(), QStringLiteral("document.getElementById('send').click()"));
    ASSERT_TRUE(WaitUntil([&] { return !ShareReports().isEmpty(); }));
    EXPECT_EQ(ShareReports(), QStringList({Report("2")}));
    EXPECT_EQ(WindowSize(window), QSize(628, 324));
}

TEST_F(BrowserFormTest, ServerRefusalIsIgnoredAndFailureReachesTheErrorDisplay)
{
    Create();
    const QString success =
        QStringLiteral("http://service.weibo.com/share/success.php?urlpara=") + Encoded("x?shareType=1");

    server.Reply(kShareInfo, "<responsed><code>2</code><msg>bad token</msg></responsed>");
    Load(success);
    ProcessEvents();
    EXPECT_EQ(ShareReports().size(), 1);
    EXPECT_EQ(TakeEscapedFailures(), QStringList());

    server.Reply(kShareInfo, "<html>down</html>", 500, "text/html");
    Load(success);
    ASSERT_TRUE(WaitUntil([&] { return !TakeEscapedFailures().isEmpty(); }));
    EXPECT_EQ(ShareReports().size(), 2);
    EXPECT_TRUE(frmBrowser) << "the window stays";
}

TEST_F(BrowserFormTest, CloseDestroysTheWindowAndEmptiesTheReference)
{
    TfrmBrowser* window = Create();
    ExpectAndShow(window);
    QPointer<TfrmBrowser> alive(window);
    window->close();
    EXPECT_FALSE(frmBrowser);
    ProcessEvents();
    EXPECT_FALSE(alive);

    // A page that closes its own window closes the share window.
    window = Create();
    ExpectAndShow(window);
    alive = window;
    Load(server.Url() + QStringLiteral("/other"));
    RunScript(window->WebBrowser1->Page(), QStringLiteral("window.close()"));
    ASSERT_TRUE(WaitUntil([&] { return !frmBrowser; }));
    ProcessEvents();
    EXPECT_FALSE(alive);
}

TEST_F(BrowserFormTest, FirstShownCentredWithoutMainWindow)
{
    TfrmBrowser* window = Create();
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
TEST_F(BrowserFormTest, ServesNewWindowRequestsOfAnotherBrowser)
{
    server.Reply(
        "/start",
        "<!doctype html><title>start</title>"
        "<a id='share' target='_blank' href='http://service.weibo.com/share/share.php?shareType=3'>share</a>",
        200, "text/html");
    QWidget mainWindow;
    auto* layout = new QHBoxLayout(&mainWindow);
    auto* mainView = new TBrowserView(&mainWindow);
    layout->addWidget(mainView);
    mainWindow.resize(500, 300);
    QObject::connect(mainView->Page(), &TBrowserPage::NewWindow,
                     [&](const QString&, QWebEnginePage*& target, bool&) {
                         if (!frmBrowser) {
                             frmBrowser = new TfrmBrowser(&mainWindow);
                             Record(frmBrowser);
                         }
                         frmBrowser->ExpectSharePage();
                         target = frmBrowser->WebBrowser1->page();
                         frmBrowser->show();
                     });
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow, 20000));
    bool started = false;
    QObject::connect(mainView->Page(), &TBrowserPage::DocumentComplete,
                     [&](const QString&) { started = true; });
    NavigateUrl(mainView, server.Url() + QStringLiteral("/start"));
    ASSERT_TRUE(WaitUntil([&] { return started; }));

    for (int round = 0; round < 2; ++round) {
        RunScript(mainView->Page(), QStringLiteral("document.getElementById('share').click()"));
        ASSERT_TRUE(WaitUntil([&] {
            return frmBrowser && frmBrowser->isVisible() && !frmBrowser->SharePending();
        })) << round;
        TfrmBrowser* window = frmBrowser;
        EXPECT_EQ(window->parentWidget(), &mainWindow);
        EXPECT_EQ(WindowSize(window), QSize(628, 528));
        EXPECT_TRUE(
            window->WebBrowser1->url().toString().startsWith(QLatin1String("http://service.weibo.com/")));
        QPointer<TfrmBrowser> alive(window);
        window->close();
        ProcessEvents();
        EXPECT_FALSE(alive);
        EXPECT_FALSE(frmBrowser);
    }
}

// The whole road against the demo server, which plays the application server and, as
// "v.t.sina.com.cn", the microblog service.
TEST_F(BrowserFormTest, ShareWithTheDemoServer)
{
    UseApplicationServer(DemoServerUrl());
    ASSERT_EQ(session.Login(QStringLiteral("demo@quorvane.com"), QStringLiteral("demo123")).code, 0);
    const QString token = session.GetToken();

    TfrmBrowser* window = Create();
    ExpectAndShow(window);
    const QString detail = DemoServerUrl() + QStringLiteral("/quorvane2/house/detail?id=1");
    Load(QStringLiteral("http://v.t.sina.com.cn/share/share.php?url=") +
         Encoded(detail.toUtf8().constData()) + QStringLiteral("&title=") + Encoded("房价") +
         QStringLiteral("&shareType=2"));
    EXPECT_EQ(WindowSize(window), QSize(628, 324));
    EXPECT_EQ(RunScript(window->WebBrowser1->Page(), QStringLiteral("document.title")).toString(),
              QStringLiteral("分享到微博"));
    SaveScreenshot(*window, QStringLiteral("share"));

    const QString expected =
        QStringLiteral("GET /quorvane2/personalcenter/shareInfo?format=xml&userName=demo%40quorvane.com"
                       "&token=%1&shareType=2")
            .arg(token);
    const auto requestLog = [] {
        httplib::Client client("127.0.0.1", QUrl(DemoServerUrl()).port());
        const auto result = client.Get("/admin/requests?key=" + DemoServerAdminKey().toStdString());
        return result ? QString::fromStdString(result->body) : QString();
    };
    RunScript(window->WebBrowser1->Page(), QStringLiteral("document.getElementById('send').click()"));
    ASSERT_TRUE(WaitUntil([&] { return requestLog().contains(expected); })) << requestLog().toStdString();
    EXPECT_TRUE(completions.last().startsWith(QLatin1String("http://v.t.sina.com.cn/share/success.php?")));
}

} // namespace
