#include "ui/chrome/OfflinePage.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TestApplication.h"
#include "tests/ui/chrome/ReturningServer.h"
#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/NavigateUrl.h"
#include "ui/chrome/ReconnectWatch.h"

#include <QTest>
#include <QUrl>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

namespace quorvane {

namespace {

const char kBackPage[] = "<!doctype html><html><head><meta charset=\"utf-8\"><title>back</title></head>"
                         "<body>服务器已恢复</body></html>";

// A browser view and an application server that is down, with every event of the view's page
// recorded.
class OfflinePageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testApp();
        m_view = std::make_unique<BrowserView>();
        m_view->resize(600, 400);
        BrowserPage* page = m_view->browserPage();
        QObject::connect(page, &BrowserPage::beforeNavigate,
                         [this](const QString& url, bool&, bool mainFrame) {
                             if (mainFrame)
                                 m_navigations << url;
                         });
        QObject::connect(page, &BrowserPage::documentComplete,
                         [this](const QString& url) { m_completions << url; });
        QObject::connect(page, &BrowserPage::offlinePageShown,
                         [this](const QString& url) { m_shown << url; });
        ASSERT_TRUE(showAndExpose(*m_view));
    }

    BrowserPage* page() const { return m_view->browserPage(); }
    ReconnectWatch* watch() const
    {
        return page()->findChild<ReconnectWatch*>(QStringLiteral("reconnectWatch"));
    }

    // Opens the address, which cannot be reached, and waits for the offline page. Its address is
    // the one the engine navigated to, which the engine may have encoded further.
    void openOffline(const QString& address)
    {
        const qsizetype before = m_shown.size();
        navigateUrl(m_view.get(), address);
        ASSERT_TRUE(waitUntil([&] { return m_shown.size() > before; })) << address.toStdString();
        EXPECT_EQ(m_shown.last(), page()->offlineUrl());
    }

    QVariant js(const QString& script)
    {
        QVariant result;
        bool done = false;
        page()->runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        EXPECT_TRUE(waitUntil([&] { return done; })) << script.toStdString();
        return result;
    }

    QString plainText()
    {
        QString text;
        bool done = false;
        page()->toPlainText([&](const QString& value) {
            text = value;
            done = true;
        });
        EXPECT_TRUE(waitUntil([&] { return done; }));
        return text;
    }

    // Clicks the retry link with the mouse until the page takes the click: the renderer may not
    // take input at once.
    void clickRetry()
    {
        const QVariantList centre =
            js(QStringLiteral(
                   "(function () { var r = document.getElementById('retry').getBoundingClientRect();"
                   " return [r.left + r.width / 2, r.top + r.height / 2]; })()"))
                .toList();
        ASSERT_EQ(centre.size(), 2);
        const QPoint point(centre[0].toInt(), centre[1].toInt());
        const qsizetype before = m_navigations.size();
        for (int attempt = 0; attempt < 20 && m_navigations.size() == before; ++attempt) {
            QTest::mouseClick(m_view->window()->windowHandle(), Qt::LeftButton, {},
                              m_view->mapTo(m_view->window(), point));
            waitUntil([&] { return m_navigations.size() > before; }, 1000);
        }
        ASSERT_GT(m_navigations.size(), before) << "the retry link took no click";
    }

    ReturningServer m_server{kBackPage};
    std::unique_ptr<BrowserView> m_view;
    QStringList m_navigations;
    QStringList m_completions;
    QStringList m_shown;
};

TEST_F(OfflinePageTest, AnAddressThatRefusesShowsTheClientsOwnPage)
{
    const QString address = m_server.url(QStringLiteral("/news?id=7"));
    openOffline(address);

    EXPECT_TRUE(page()->showingOfflinePage());
    EXPECT_EQ(page()->offlineUrl(), address);
    EXPECT_EQ(m_view->url().toString(), address) << "the failed address stays the page's URL";
    const QString text = plainText();
    for (const char* expected :
         {"无法连接到服务器", "网络连接中断或服务器暂时无法访问。连接恢复后页面会自动重新载入。", "重试"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << " in " << text.toStdString();
    for (const char* engines : {"This site can", "ERR_CONNECTION_REFUSED", "refused to connect"})
        EXPECT_FALSE(text.contains(QLatin1String(engines))) << text.toStdString();
    EXPECT_EQ(js(QStringLiteral("document.title")).toString(), QStringLiteral("无法连接到服务器"));
    EXPECT_EQ(js(QStringLiteral("getComputedStyle(document.querySelector('h1')).color")).toString(),
              QStringLiteral("rgb(22, 80, 153)"));
    EXPECT_EQ(js(QStringLiteral("document.getElementById('retry').getAttribute('href')")).toString(),
              address);

    // The failed load is announced and completes once, with its own address; putting the offline
    // page in place is neither.
    EXPECT_EQ(m_navigations, QStringList{address});
    EXPECT_EQ(m_completions, QStringList{address});
    EXPECT_EQ(m_shown, QStringList{address});
    EXPECT_TRUE(watch()->isWatching());
}

TEST_F(OfflinePageTest, ThePageLoadsTheAddressAgainByItselfOnceTheServerAnswers)
{
    const QString address = m_server.url(QStringLiteral("/news?id=7"));
    openOffline(address);
    ASSERT_TRUE(m_server.start());

    ASSERT_TRUE(waitUntil([&] { return m_completions.count(address) == 2; }, 60000))
        << m_completions.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(plainText(), QStringLiteral("服务器已恢复"));
    EXPECT_FALSE(page()->showingOfflinePage());
    EXPECT_EQ(page()->offlineUrl(), QString());
    EXPECT_FALSE(watch()->isWatching()) << "nothing runs once the offline page is gone";
    EXPECT_EQ(m_navigations, QStringList({address, address}));
    // The tries connected and sent nothing: the only request the server saw is the reload.
    EXPECT_EQ(m_server.requests(), QStringList{QStringLiteral("GET /news?id=7 HTTP/1.1")});
    EXPECT_GE(m_server.connections(), 2);
}

TEST_F(OfflinePageTest, AHiddenPageLeavesTheServerAloneUntilItShowsAgain)
{
    const QString address = m_server.url(QStringLiteral("/news"));
    openOffline(address);
    ASSERT_TRUE(watch()->isWatching());

    m_view->hide();
    ASSERT_TRUE(waitUntil([&] { return !watch()->isWatching(); }));
    EXPECT_TRUE(page()->showingOfflinePage());

    ASSERT_TRUE(showAndExpose(*m_view));
    ASSERT_TRUE(waitUntil([&] { return watch()->isWatching(); }));
    ASSERT_TRUE(m_server.start());
    ASSERT_TRUE(waitUntil([&] { return m_completions.count(address) == 2; }, 60000));
    EXPECT_EQ(plainText(), QStringLiteral("服务器已恢复"));
}

TEST_F(OfflinePageTest, TheRetryLinkLoadsTheFailedAddressAgain)
{
    const QString address = m_server.url(QStringLiteral("/news?id=7"));
    openOffline(address);
    m_navigations.clear();

    clickRetry();
    EXPECT_EQ(m_navigations.first(), address);
    // Still away: the retried load ends on the offline page again, which goes on watching.
    ASSERT_TRUE(waitUntil([&] { return m_shown.count(address) >= 2; }));
    EXPECT_TRUE(page()->showingOfflinePage());
    EXPECT_TRUE(watch()->isWatching());
    EXPECT_TRUE(plainText().contains(QStringLiteral("无法连接到服务器")));
}

TEST_F(OfflinePageTest, LoadingAnotherPageEndsTheOfflinePageAndItsTries)
{
    openOffline(m_server.url(QStringLiteral("/news")));
    LoopbackServer other;
    other.reply("/elsewhere", "<!doctype html><html><body>elsewhere</body></html>", 200, "text/html");
    const QString elsewhere = other.url() + QStringLiteral("/elsewhere");

    navigateUrl(m_view.get(), elsewhere);
    ASSERT_TRUE(waitUntil([&] { return m_completions.contains(elsewhere); }));
    EXPECT_FALSE(page()->showingOfflinePage());
    EXPECT_FALSE(watch()->isWatching());
    EXPECT_EQ(plainText(), QStringLiteral("elsewhere"));
}

// An HTTP error status is the server's own answer: its page shows, not the offline page.
TEST_F(OfflinePageTest, AnHttpErrorStatusKeepsTheServersOwnPage)
{
    LoopbackServer server;
    for (const int status : {404, 500, 503}) {
        SCOPED_TRACE(status);
        const std::string path = "/status" + std::to_string(status);
        const std::string body = "服务器的页面 " + std::to_string(status);
        server.reply(path,
                     "<!doctype html><html><head><meta charset=\"utf-8\"></head><body>" + body +
                         "</body></html>",
                     status, "text/html; charset=utf-8");
        const QString address = server.url() + QString::fromStdString(path);
        navigateUrl(m_view.get(), address);
        ASSERT_TRUE(waitUntil([&] { return m_completions.contains(address); }));
        EXPECT_EQ(plainText(), QString::fromStdString(body));
        EXPECT_FALSE(page()->showingOfflinePage());
        EXPECT_FALSE(watch()->isWatching());
    }
    EXPECT_EQ(m_shown, QStringList());
}

// The failed address may come from a hostile page: it shows as text and stays inside the
// retry link's attribute, whatever it holds.
TEST_F(OfflinePageTest, TheFailedAddressCannotAddToTheOfflinePage)
{
    const char* const paths[] = {
        "/x?q=<img src=x onerror=\"document.title='pwned'\">",
        "/x?q=\"><b id=\"injected\">b</b><a href=\"",
        "/x?q='><script>document.title='pwned'</script>",
        "/x?q=&lt;b&gt;&amp;&quot;%3Cb%3E",
    };
    for (const char* path : paths) {
        SCOPED_TRACE(path);
        m_shown.clear();
        openOffline(m_server.url(QString::fromUtf8(path)));
        const QString failed = page()->offlineUrl();
        // The heading, the sentence, the address, the retry link in its paragraph, in one box.
        EXPECT_EQ(js(QStringLiteral("document.querySelectorAll('body *').length")).toInt(), 6);
        EXPECT_EQ(js(QStringLiteral("document.images.length + document.scripts.length")).toInt(), 0);
        EXPECT_EQ(js(QStringLiteral("document.title")).toString(), QStringLiteral("无法连接到服务器"));
        EXPECT_EQ(js(QStringLiteral("document.getElementById('address').textContent")).toString(),
                  QUrl(failed).toDisplayString());
        EXPECT_EQ(js(QStringLiteral("document.getElementById('retry').getAttribute('href')")).toString(),
                  failed);
    }
}

TEST(OfflinePageHtml, OnlyWebAddressesGetARetryLink)
{
    const struct
    {
        const char* url;
        bool retry;
    } cases[] = {
        {"http://127.0.0.1:8080/news?id=7", true},
        {"HTTPS://example.com/", true},
        {"vemtraclient://close/", false},
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
        {"about:blank", false},
        {"http:no-host", false},
    };
    for (const auto& c : cases) {
        const QUrl url(QString::fromLatin1(c.url));
        EXPECT_EQ(mayRetry(url), c.retry) << c.url;
        EXPECT_EQ(offlinePageHtml(url).contains(QLatin1String("id=\"retry\"")), c.retry) << c.url;
        EXPECT_TRUE(offlinePageHtml(url).contains(QStringLiteral("无法连接到服务器"))) << c.url;
    }
}

TEST(OfflinePageFailures, OnlyAMissingAnswerCountsAsOffline)
{
    using Info = QWebEngineLoadingInfo;
    const struct
    {
        const char* what;
        Info::ErrorDomain domain;
        int code;
        bool offline;
    } cases[] = {
        {"connection refused", Info::ConnectionErrorDomain, -102, true},
        {"connection reset", Info::ConnectionErrorDomain, -101, true},
        {"name not resolved", Info::ConnectionErrorDomain, -105, true},
        {"internet disconnected", Info::ConnectionErrorDomain, -106, true},
        {"connection timed out", Info::ConnectionErrorDomain, -118, true},
        {"timed out", Info::InternalErrorDomain, -7, true},
        {"network changed", Info::InternalErrorDomain, -21, true},
        {"empty response", Info::HttpErrorDomain, -324, true},
        {"resolver failure", Info::DnsErrorDomain, -800, true},
        {"aborted", Info::InternalErrorDomain, -3, false},
        {"blocked by the client", Info::InternalErrorDomain, -20, false},
        {"unknown scheme", Info::HttpErrorDomain, -302, false},
        {"certificate authority invalid", Info::CertificateErrorDomain, -202, false},
        {"not found", Info::HttpStatusCodeDomain, 404, false},
        {"server error", Info::HttpStatusCodeDomain, 500, false},
        {"no error", Info::NoErrorDomain, 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isNetworkFailure(c.domain, c.code), c.offline) << c.what;
}

} // namespace

} // namespace quorvane
