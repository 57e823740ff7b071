#include "ui/chrome/BrowserView.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TestApplication.h"
#include "tests/ui/chrome/DesktopUrlCatcher.h"
#include "ui/chrome/BrowserMessageFilter.h"
#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/NavigateUrl.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWindow>
#include <algorithm>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

const char kStartPage[] = R"(<!doctype html>
<html><head><meta charset="utf-8"><title>start</title></head>
<body style="margin:0">
<a id="plain" href="/second" style="display:block;height:40px">plain</a>
<a id="client" href="vemtraclient://close/" style="display:block;height:40px">client</a>
<a id="blank" href="/popup" target="_blank" style="display:block;height:40px">blank</a>
<form id="form" action="vemtraclient://open/" method="get"><input name="url" value="x"></form>
<div style="height:3000px"></div>
<script>
window.marker = 42;
window.counts = { left: 0, right: 0, menu: 0 };
document.addEventListener("mousedown", function (e) {
    if (e.button === 0) counts.left++;
    if (e.button === 2) counts.right++;
});
document.addEventListener("contextmenu", function () { counts.menu++; });
</script>
</body></html>)";

std::string page(const char* title)
{
    return std::string("<!doctype html><html><head><title>") + title + "</title></head><body>" + title +
           "</body></html>";
}

// A page of the loopback server in a browser view, with every event of the view recorded.
class BrowserViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testApp();
        m_server.reply("/start", kStartPage, 200, "text/html");
        for (const char* name : {"second", "other", "popup", "popup2", "frameA", "frameB"})
            m_server.reply(std::string("/") + name, page(name), 200, "text/html");
        m_server.reply("/frames",
                       "<!doctype html><html><body><iframe src=\"/frameA\"></iframe>"
                       "<iframe src=\"/frameB\"></iframe></body></html>",
                       200, "text/html");

        m_window.resize(600, 400);
        auto* layout = new QHBoxLayout(&m_window);
        layout->setContentsMargins(0, 0, 0, 0);
        m_view = new BrowserView(&m_window);
        m_outside = new RecordingWidget(&m_window);
        m_outside->setFixedWidth(100);
        layout->addWidget(m_view);
        layout->addWidget(m_outside);
        record(m_view->browserPage(), m_navigations, m_completions);
        ASSERT_TRUE(showAndExpose(m_window));
    }

    // A plain widget beside the browser that records the right presses reaching it.
    class RecordingWidget final : public QWidget
    {
    public:
        using QWidget::QWidget;
        int rightPresses = 0;

    protected:
        void mousePressEvent(QMouseEvent* event) override
        {
            if (event->button() == Qt::RightButton)
                ++rightPresses;
        }
    };

    QString url(const char* path) const { return m_server.url() + QLatin1String(path); }

    static void record(BrowserPage* page, QStringList& navigations, QStringList& completions)
    {
        QObject::connect(page, &BrowserPage::beforeNavigate,
                         [&navigations](const QString& url, bool&) { navigations << url; });
        QObject::connect(page, &BrowserPage::documentComplete,
                         [&completions](const QString& url) { completions << url; });
    }

    // Loads a page through the view and waits until it has completed.
    void load(const char* path)
    {
        const QString url = this->url(path);
        navigateUrl(m_view, url);
        ASSERT_TRUE(waitUntil([&] { return m_completions.contains(url); })) << path;
        m_navigations.clear();
        m_completions.clear();
    }

    static QVariant js(QWebEnginePage* page, const QString& script)
    {
        QVariant result;
        bool done = false;
        page->runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        EXPECT_TRUE(waitUntil([&] { return done; })) << script.toStdString();
        return result;
    }
    QVariant js(const QString& script) { return js(m_view->browserPage(), script); }

    // The centre of a page element, in the coordinates of the window.
    QPoint centreOf(const char* id)
    {
        const QVariantList centre =
            js(QStringLiteral("(function () { var r = document.getElementById('%1').getBoundingClientRect();"
                              " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
                   .arg(QLatin1String(id)))
                .toList();
        EXPECT_EQ(centre.size(), 2) << id;
        if (centre.size() != 2)
            return {};
        return m_view->mapTo(&m_window, QPoint(centre[0].toInt(), centre[1].toInt()));
    }

    QWindow* handle() { return m_window.windowHandle(); }
    int count(const char* what) { return js(QStringLiteral("counts.%1").arg(QLatin1String(what))).toInt(); }

    // Left clicks into the page until the page has seen one, so that the renderer takes input.
    void waitForInput()
    {
        const QPoint blank = m_view->mapTo(&m_window, QPoint(300, 300));
        ASSERT_TRUE(waitUntil([&] {
            QTest::mouseClick(handle(), Qt::LeftButton, {}, blank);
            return count("left") > 0;
        }));
    }

    LoopbackServer m_server;
    QWidget m_window;
    BrowserView* m_view = nullptr;
    RecordingWidget* m_outside = nullptr;
    QStringList m_navigations;
    QStringList m_completions;
};

TEST_F(BrowserViewTest, ACancelledNavigationOfAnyKindLeavesThePageAsItWas)
{
    load("/start");
    QString cancelled;
    QObject::connect(m_view->browserPage(), &BrowserPage::beforeNavigate,
                     [&](const QString& url, bool& cancel) {
                         cancelled = url;
                         cancel = true;
                     });
    waitForInput();
    const int history = m_view->history()->count();
    const auto clickOn = [this](const char* id) {
        js(QStringLiteral("window.scrollTo(0, 0)"));
        QTest::mouseClick(handle(), Qt::LeftButton, {}, centreOf(id));
    };

    // A click scrolls to the top first to reach its link; the others leave the page at 500.
    const struct
    {
        const char* what;
        std::function<void()> start;
        QString expected;
        int scrollAfter;
    } cases[] = {
        {"the client's own", [&] { navigateUrl(m_view, url("/second?x=1")); }, url("/second?x=1"), 500},
        {"a link clicked", [&] { clickOn("plain"); }, url("/second"), 0},
        {"a client link clicked", [&] { clickOn("client"); }, QStringLiteral("vemtraclient://close/"), 0},
        {"a script", [&] { js(QStringLiteral("location.href = 'vemtraclient://show/?url=house/list'")); },
         QStringLiteral("vemtraclient://show/?url=house/list"), 500},
        {"a script with an encoded address",
         [&] {
             js(QStringLiteral("location.href = "
                               "'vemtraclient://open/?url=http%3A%2F%2Fexample.com%2F%3Fa%3D1%26b%3D2'"));
         },
         QStringLiteral("vemtraclient://open/?url=http%3A%2F%2Fexample.com%2F%3Fa%3D1%26b%3D2"), 500},
        {"a form", [&] { js(QStringLiteral("document.getElementById('form').submit()")); },
         QStringLiteral("vemtraclient://open/?url=x"), 500},
    };
    for (const auto& c : cases) {
        js(QStringLiteral("window.scrollTo(0, 500)"));
        cancelled.clear();
        c.start();
        ASSERT_TRUE(waitUntil([&] { return !cancelled.isEmpty(); })) << c.what;
        EXPECT_EQ(cancelled, c.expected) << c.what;
        EXPECT_EQ(m_view->url().toString(), url("/start")) << c.what;
        EXPECT_EQ(js(QStringLiteral("window.marker")).toInt(), 42) << c.what << ": the page was reloaded";
        EXPECT_EQ(m_view->history()->count(), history) << c.what;
        EXPECT_EQ(js(QStringLiteral("window.scrollY")).toInt(), c.scrollAfter) << c.what;
    }
    EXPECT_TRUE(m_completions.isEmpty()) << m_completions.join(QLatin1Char(' ')).toStdString();
}

TEST_F(BrowserViewTest, ANavigationNotCancelledIsAnnouncedThenCompleted)
{
    load("/start");
    QStringList order;
    QObject::connect(m_view->browserPage(), &BrowserPage::beforeNavigate,
                     [&](const QString& url, bool&) { order << QStringLiteral("before ") + url; });
    QObject::connect(m_view->browserPage(), &BrowserPage::documentComplete,
                     [&](const QString& url) { order << QStringLiteral("complete ") + url; });
    waitForInput();
    QTest::mouseClick(handle(), Qt::LeftButton, {}, centreOf("plain"));
    ASSERT_TRUE(waitUntil([&] { return m_completions.contains(url("/second")); }));
    EXPECT_EQ(order, QStringList({QStringLiteral("before ") + url("/second"),
                                  QStringLiteral("complete ") + url("/second")}));
    EXPECT_EQ(m_view->title(), QStringLiteral("second"));

    // A client URL that nobody cancels is no page: its load fails, and completes all the same.
    m_completions.clear();
    navigateUrl(m_view, QStringLiteral("vemtraclient://close/"));
    ASSERT_TRUE(waitUntil([&] { return !m_completions.isEmpty(); }));
    EXPECT_EQ(m_completions, QStringList({QStringLiteral("vemtraclient://close/")}));
    EXPECT_EQ(m_navigations.last(), QStringLiteral("vemtraclient://close/"));
}

TEST_F(BrowserViewTest, ANewWindowLoadsInTheHiddenViewHandedBack)
{
    // The other view has shown a page before and is hidden, as the share window is between
    // two shares.
    BrowserView other;
    QStringList otherNavigations;
    QStringList otherCompletions;
    record(other.browserPage(), otherNavigations, otherCompletions);
    navigateUrl(&other, url("/other"));
    ASSERT_TRUE(waitUntil([&] { return otherCompletions.contains(url("/other")); }));
    ASSERT_FALSE(other.isVisible());

    QStringList requested;
    QObject::connect(m_view->browserPage(), &BrowserPage::newWindow,
                     [&](const QString& url, QWebEnginePage*& target, bool&) {
                         requested << url;
                         target = other.browserPage();
                     });
    load("/start");
    waitForInput();

    QTest::mouseClick(handle(), Qt::LeftButton, {}, centreOf("blank"));
    ASSERT_TRUE(waitUntil([&] { return otherCompletions.contains(url("/popup")); }));
    EXPECT_EQ(other.url().toString(), url("/popup"));
    EXPECT_EQ(js(other.browserPage(), QStringLiteral("document.title")).toString(), QStringLiteral("popup"));

    // A script's window, and a second request into the same view.
    js(QStringLiteral("window.open('/popup2')"));
    ASSERT_TRUE(waitUntil([&] { return otherCompletions.contains(url("/popup2")); }));
    EXPECT_EQ(other.url().toString(), url("/popup2"));

    EXPECT_EQ(requested, QStringList({url("/popup"), url("/popup2")}));
    EXPECT_EQ(m_view->url().toString(), url("/start"));
    EXPECT_FALSE(other.isVisible());
    EXPECT_FALSE(m_completions.contains(url("/popup")));
}

TEST(BrowserPageSchemes, OnlyWebPagesAndTheClientsOwnLoad)
{
    const struct
    {
        const char* url;
        bool loads;
    } cases[] = {
        {"http://127.0.0.1/x", true},
        {"HTTPS://example.com/", true},
        {"about:blank", true},
        {"vemtraclient://close/", true},
        {"file:///etc/passwd", false},
        {"smb://host/share/setup.exe", false},
        {"ms-msdt:/id PCWDiagnostic", false},
        {"mailto:a@example.com", false},
        {"javascript:alert(1)", false},
        {"data:text/html,<b>x</b>", false},
        {"ftp://example.com/", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BrowserPage::mayLoad(QUrl(QString::fromLatin1(c.url))), c.loads) << c.url;
}

// Qt WebEngine's default would hand a clicked link of a scheme it does not know to the desktop,
// and let the client load local files. Only http, https, about and the client's own scheme load;
// nothing reaches the desktop, whoever starts the navigation, and a new window nobody takes is
// dropped.
TEST_F(BrowserViewTest, OtherSchemesNeitherLoadNorReachTheDesktop)
{
    DesktopUrlCatcher desktop({QStringLiteral("file"), QStringLiteral("smb"), QStringLiteral("ms-msdt"),
                               QStringLiteral("mailto"), QStringLiteral("http"), QStringLiteral("https")});
    m_server.reply("/hostile", R"(<!doctype html><html><body style="margin:0">
<a id="smb" href="smb://127.0.0.1/share/setup.exe" style="display:block;height:40px">smb</a>
<a id="msdt" href="ms-msdt:/id PCWDiagnostic" style="display:block;height:40px">msdt</a>
<a id="mailto" href="mailto:someone@example.com" style="display:block;height:40px">mail</a>
<a id="blank" href="/popup" target="_blank" style="display:block;height:40px">blank</a>
<script>
window.marker = 42;
window.counts = { left: 0 };
document.addEventListener("mousedown", function (e) { if (e.button === 0) counts.left++; });
</script></body></html>)",
                   200, "text/html");
    load("/hostile");
    QStringList ended; // navigations that ended without a page
    QObject::connect(m_view->browserPage(), &QWebEnginePage::loadingChanged,
                     [&](const QWebEngineLoadingInfo& info) {
                         if (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus ||
                             info.status() == QWebEngineLoadingInfo::LoadFailedStatus)
                             ended << info.url().scheme();
                     });
    QStringList newWindows;
    QObject::connect(m_view->browserPage(), &BrowserPage::newWindow,
                     [&](const QString& url, QWebEnginePage*&, bool&) { newWindows << url; });
    waitForInput();

    for (const char* id : {"smb", "msdt", "mailto"}) {
        SCOPED_TRACE(id);
        const QString scheme =
            id == std::string("msdt") ? QStringLiteral("ms-msdt") : QString::fromLatin1(id);
        QTest::mouseClick(handle(), Qt::LeftButton, {}, centreOf(id));
        ASSERT_TRUE(waitUntil([&] { return ended.contains(scheme); }));
    }
    // The client's own navigation to a local file is announced, then refused.
    navigateUrl(m_view, QStringLiteral("file:///etc/hostname"));
    ASSERT_TRUE(waitUntil([&] { return m_navigations.contains(QStringLiteral("file:///etc/hostname")); }));
    // A new window that no handler takes opens nowhere.
    QTest::mouseClick(handle(), Qt::LeftButton, {}, centreOf("blank"));
    ASSERT_TRUE(waitUntil([&] { return !newWindows.isEmpty(); }));

    EXPECT_EQ(desktop.caught(), QStringList());
    EXPECT_EQ(newWindows, QStringList{url("/popup")});
    EXPECT_EQ(m_view->url().toString(), url("/hostile"));
    EXPECT_EQ(js(QStringLiteral("window.marker")).toInt(), 42);
    EXPECT_FALSE(m_completions.contains(url("/popup")));
}

TEST_F(BrowserViewTest, EveryFrameCompletesWithItsOwnUrl)
{
    navigateUrl(m_view, url("/frames"));
    const QStringList expected = {url("/frameA"), url("/frameB"), url("/frames")};
    ASSERT_TRUE(waitUntil([&] {
        return std::all_of(expected.begin(), expected.end(),
                           [&](const QString& u) { return m_completions.contains(u); });
    })) << m_completions.join(QLatin1Char(' ')).toStdString();
    // A page script cannot pass for a frame: only the client's own marker counts.
    js(QStringLiteral("console.log('quorvane-frame-complete:http://forged/')"));
    js(QStringLiteral("1"));
    QStringList sorted = m_completions;
    sorted.sort();
    EXPECT_EQ(sorted, expected);
}

class RightClickFilter : public BrowserViewTest, public ::testing::WithParamInterface<bool>
{
protected:
    void TearDown() override { delete m_filter; }

    QPointer<BrowserMessageFilter> m_filter;
};

TEST_P(RightClickFilter, DropsRightClicksInsideTheViewOnly)
{
    const bool filtered = GetParam();
    int extraSteps = 0;
    int rightPressesSeenByExtraStep = 0;
    if (filtered) {
        m_filter = new BrowserMessageFilter(&m_window, m_view, [&](QObject* target, QEvent* event) {
            ++extraSteps;
            if (target->isWidgetType() && event->type() == QEvent::MouseButtonPress &&
                static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
                ++rightPressesSeenByExtraStep;
        });
    }
    load("/start");
    waitForInput();
    const int leftBefore = count("left");

    const QPoint inside = m_view->mapTo(&m_window, QPoint(300, 300));
    QTest::mouseClick(handle(), Qt::RightButton, {}, inside);
    QTest::mouseClick(handle(), Qt::RightButton, {}, m_outside->mapTo(&m_window, QPoint(50, 50)));
    // A left click after the right one: once the page has seen it, it has seen the right one too.
    QTest::mouseClick(handle(), Qt::LeftButton, {}, inside);
    ASSERT_TRUE(waitUntil([&] { return count("left") > leftBefore; }));

    EXPECT_EQ(count("right"), filtered ? 0 : 1);
    EXPECT_EQ(count("menu"), filtered ? 0 : 1);
    EXPECT_EQ(m_outside->rightPresses, 1);
    if (filtered) {
        EXPECT_GT(extraSteps, 0);
        // The right press outside the view reached the window's extra step; the dropped one did not.
        EXPECT_EQ(rightPressesSeenByExtraStep, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(WithAndWithout, RightClickFilter, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "filtered" : "unfiltered"; });

} // namespace

} // namespace quorvane
