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

std::string Page(const char* title)
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
        TestApp();
        server.Reply("/start", kStartPage, 200, "text/html");
        for (const char* name : {"second", "other", "popup", "popup2", "frameA", "frameB"})
            server.Reply(std::string("/") + name, Page(name), 200, "text/html");
        server.Reply("/frames",
                     "<!doctype html><html><body><iframe src=\"/frameA\"></iframe>"
                     "<iframe src=\"/frameB\"></iframe></body></html>",
                     200, "text/html");

        window.resize(600, 400);
        auto* layout = new QHBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        view = new TBrowserView(&window);
        outside = new RecordingWidget(&window);
        outside->setFixedWidth(100);
        layout->addWidget(view);
        layout->addWidget(outside);
        Record(view->Page(), navigations, completions);
        ASSERT_TRUE(ShowAndExpose(window));
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

    QString Url(const char* path) const { return server.Url() + QLatin1String(path); }

    static void Record(TBrowserPage* page, QStringList& navigations, QStringList& completions)
    {
        QObject::connect(page, &TBrowserPage::BeforeNavigate,
                         [&navigations](const QString& url, bool&) { navigations << url; });
        QObject::connect(page, &TBrowserPage::DocumentComplete,
                         [&completions](const QString& url) { completions << url; });
    }

    // Loads a page through the view and waits until it has completed.
    void Load(const char* path)
    {
        const QString url = Url(path);
        NavigateUrl(view, url);
        ASSERT_TRUE(WaitUntil([&] { return completions.contains(url); })) << path;
        navigations.clear();
        completions.clear();
    }

    static QVariant Js(QWebEnginePage* page, const QString& script)
    {
        QVariant result;
        bool done = false;
        page->runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        EXPECT_TRUE(WaitUntil([&] { return done; })) << script.toStdString();
        return result;
    }
    QVariant Js(const QString& script) { return Js(view->Page(), script); }

    // The centre of a page element, in the coordinates of the window.
    QPoint CentreOf(const char* id)
    {
        const QVariantList centre =
            Js(QStringLiteral("(function () { var r = document.getElementById('%1').getBoundingClientRect();"
                              " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
                   .arg(QLatin1String(id)))
                .toList();
        EXPECT_EQ(centre.size(), 2) << id;
        if (centre.size() != 2)
            return {};
        return view->mapTo(&window, QPoint(centre[0].toInt(), centre[1].toInt()));
    }

    QWindow* Handle() { return window.windowHandle(); }
    int Count(const char* what) { return Js(QStringLiteral("counts.%1").arg(QLatin1String(what))).toInt(); }

    // Left clicks into the page until the page has seen one, so that the renderer takes input.
    void WaitForInput()
    {
        const QPoint blank = view->mapTo(&window, QPoint(300, 300));
        ASSERT_TRUE(WaitUntil([&] {
            QTest::mouseClick(Handle(), Qt::LeftButton, {}, blank);
            return Count("left") > 0;
        }));
    }

    LoopbackServer server;
    QWidget window;
    TBrowserView* view = nullptr;
    RecordingWidget* outside = nullptr;
    QStringList navigations;
    QStringList completions;
};

TEST_F(BrowserViewTest, ACancelledNavigationOfAnyKindLeavesThePageAsItWas)
{
    Load("/start");
    QString cancelled;
    QObject::connect(view->Page(), &TBrowserPage::BeforeNavigate, [&](const QString& url, bool& cancel) {
        cancelled = url;
        cancel = true;
    });
    WaitForInput();
    const int history = view->history()->count();
    const auto clickOn = [this](const char* id) {
        Js(QStringLiteral("window.scrollTo(0, 0)"));
        QTest::mouseClick(Handle(), Qt::LeftButton, {}, CentreOf(id));
    };

    // A click scrolls to the top first to reach its link; the others leave the page at 500.
    const struct
    {
        const char* what;
        std::function<void()> start;
        QString expected;
        int scrollAfter;
    } cases[] = {
        {"the client's own", [&] { NavigateUrl(view, Url("/second?x=1")); }, Url("/second?x=1"), 500},
        {"a link clicked", [&] { clickOn("plain"); }, Url("/second"), 0},
        {"a client link clicked", [&] { clickOn("client"); }, QStringLiteral("vemtraclient://close/"), 0},
        {"a script", [&] { Js(QStringLiteral("location.href = 'vemtraclient://show/?url=house/list'")); },
         QStringLiteral("vemtraclient://show/?url=house/list"), 500},
        {"a script with an encoded address",
         [&] {
             Js(QStringLiteral("location.href = "
                               "'vemtraclient://open/?url=http%3A%2F%2Fexample.com%2F%3Fa%3D1%26b%3D2'"));
         },
         QStringLiteral("vemtraclient://open/?url=http%3A%2F%2Fexample.com%2F%3Fa%3D1%26b%3D2"), 500},
        {"a form", [&] { Js(QStringLiteral("document.getElementById('form').submit()")); },
         QStringLiteral("vemtraclient://open/?url=x"), 500},
    };
    for (const auto& c : cases) {
        Js(QStringLiteral("window.scrollTo(0, 500)"));
        cancelled.clear();
        c.start();
        ASSERT_TRUE(WaitUntil([&] { return !cancelled.isEmpty(); })) << c.what;
        EXPECT_EQ(cancelled, c.expected) << c.what;
        EXPECT_EQ(view->url().toString(), Url("/start")) << c.what;
        EXPECT_EQ(Js(QStringLiteral("window.marker")).toInt(), 42) << c.what << ": the page was reloaded";
        EXPECT_EQ(view->history()->count(), history) << c.what;
        EXPECT_EQ(Js(QStringLiteral("window.scrollY")).toInt(), c.scrollAfter) << c.what;
    }
    EXPECT_TRUE(completions.isEmpty()) << completions.join(QLatin1Char(' ')).toStdString();
}

TEST_F(BrowserViewTest, ANavigationNotCancelledIsAnnouncedThenCompleted)
{
    Load("/start");
    QStringList order;
    QObject::connect(view->Page(), &TBrowserPage::BeforeNavigate,
                     [&](const QString& url, bool&) { order << QStringLiteral("before ") + url; });
    QObject::connect(view->Page(), &TBrowserPage::DocumentComplete,
                     [&](const QString& url) { order << QStringLiteral("complete ") + url; });
    WaitForInput();
    QTest::mouseClick(Handle(), Qt::LeftButton, {}, CentreOf("plain"));
    ASSERT_TRUE(WaitUntil([&] { return completions.contains(Url("/second")); }));
    EXPECT_EQ(order, QStringList({QStringLiteral("before ") + Url("/second"),
                                  QStringLiteral("complete ") + Url("/second")}));
    EXPECT_EQ(view->title(), QStringLiteral("second"));

    // A client URL that nobody cancels is no page: it ends on the engine's error page.
    completions.clear();
    NavigateUrl(view, QStringLiteral("vemtraclient://close/"));
    ASSERT_TRUE(WaitUntil([&] { return !completions.isEmpty(); }));
    EXPECT_EQ(completions, QStringList({QStringLiteral("vemtraclient://close/")}));
    EXPECT_EQ(navigations.last(), QStringLiteral("vemtraclient://close/"));
}

TEST_F(BrowserViewTest, ANewWindowLoadsInTheHiddenViewHandedBack)
{
    // The other view has shown a page before and is hidden, as the share window is between
    // two shares.
    TBrowserView other;
    QStringList otherNavigations;
    QStringList otherCompletions;
    Record(other.Page(), otherNavigations, otherCompletions);
    NavigateUrl(&other, Url("/other"));
    ASSERT_TRUE(WaitUntil([&] { return otherCompletions.contains(Url("/other")); }));
    ASSERT_FALSE(other.isVisible());

    QStringList requested;
    QObject::connect(view->Page(), &TBrowserPage::NewWindow,
                     [&](const QString& url, QWebEnginePage*& target, bool&) {
                         requested << url;
                         target = other.Page();
                     });
    Load("/start");
    WaitForInput();

    QTest::mouseClick(Handle(), Qt::LeftButton, {}, CentreOf("blank"));
    ASSERT_TRUE(WaitUntil([&] { return otherCompletions.contains(Url("/popup")); }));
    EXPECT_EQ(other.url().toString(), Url("/popup"));
    EXPECT_EQ(Js(other.Page(), QStringLiteral("document.title")).toString(), QStringLiteral("popup"));

    // A script's window, and a second request into the same view.
    Js(QStringLiteral("window.open('/popup2')"));
    ASSERT_TRUE(WaitUntil([&] { return otherCompletions.contains(Url("/popup2")); }));
    EXPECT_EQ(other.url().toString(), Url("/popup2"));

    EXPECT_EQ(requested, QStringList({Url("/popup"), Url("/popup2")}));
    EXPECT_EQ(view->url().toString(), Url("/start"));
    EXPECT_FALSE(other.isVisible());
    EXPECT_FALSE(completions.contains(Url("/popup")));
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
        EXPECT_EQ(TBrowserPage::MayLoad(QUrl(QString::fromLatin1(c.url))), c.loads) << c.url;
}

// Qt WebEngine's default would hand a clicked link of a scheme it does not know to the desktop,
// and let the client load local files. Only http, https, about and the client's own scheme load;
// nothing reaches the desktop, whoever starts the navigation, and a new window nobody takes is
// dropped.
TEST_F(BrowserViewTest, OtherSchemesNeitherLoadNorReachTheDesktop)
{
    TDesktopUrlCatcher desktop({QStringLiteral("file"), QStringLiteral("smb"), QStringLiteral("ms-msdt"),
                                QStringLiteral("mailto"), QStringLiteral("http"), QStringLiteral("https")});
    server.Reply("/hostile", R"(<!doctype html><html><body style="margin:0">
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
    Load("/hostile");
    QStringList ended; // navigations that ended without a page
    QObject::connect(view->page(), &QWebEnginePage::loadingChanged, [&](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus ||
            info.status() == QWebEngineLoadingInfo::LoadFailedStatus)
            ended << info.url().scheme();
    });
    QStringList newWindows;
    QObject::connect(view->Page(), &TBrowserPage::NewWindow,
                     [&](const QString& url, QWebEnginePage*&, bool&) { newWindows << url; });
    WaitForInput();

    for (const char* id : {"smb", "msdt", "mailto"}) {
        SCOPED_TRACE(id);
        const QString scheme =
            id == std::string("msdt") ? QStringLiteral("ms-msdt") : QString::fromLatin1(id);
        QTest::mouseClick(Handle(), Qt::LeftButton, {}, CentreOf(id));
        ASSERT_TRUE(WaitUntil([&] { return ended.contains(scheme); }));
    }
    // The client's own navigation to a local file is announced, then refused.
    NavigateUrl(view, QStringLiteral("file:///etc/hostname"));
    ASSERT_TRUE(WaitUntil([&] { return navigations.contains(QStringLiteral("file:///etc/hostname")); }));
    // A new window that no handler takes opens nowhere.
    QTest::mouseClick(Handle(), Qt::LeftButton, {}, CentreOf("blank"));
    ASSERT_TRUE(WaitUntil([&] { return !newWindows.isEmpty(); }));

    EXPECT_EQ(desktop.Caught(), QStringList());
    EXPECT_EQ(newWindows, QStringList{Url("/popup")});
    EXPECT_EQ(view->url().toString(), Url("/hostile"));
    EXPECT_EQ(Js(QStringLiteral("window.marker")).toInt(), 42);
    EXPECT_FALSE(completions.contains(Url("/popup")));
}

TEST_F(BrowserViewTest, EveryFrameCompletesWithItsOwnUrl)
{
    NavigateUrl(view, Url("/frames"));
    const QStringList expected = {Url("/frameA"), Url("/frameB"), Url("/frames")};
    ASSERT_TRUE(WaitUntil([&] {
        return std::all_of(expected.begin(), expected.end(),
                           [&](const QString& u) { return completions.contains(u); });
    })) << completions.join(QLatin1Char(' ')).toStdString();
    // A page script cannot pass for a frame: only the client's own marker counts.
    Js(QStringLiteral("console.log('quorvane-frame-complete:http://forged/')"));
    Js(QStringLiteral("1"));
    QStringList sorted = completions;
    sorted.sort();
    EXPECT_EQ(sorted, expected);
}

class RightClickFilter : public BrowserViewTest, public ::testing::WithParamInterface<bool>
{
protected:
    void TearDown() override { delete filter; }

    QPointer<TBrowserMessageFilter> filter;
};

TEST_P(RightClickFilter, DropsRightClicksInsideTheViewOnly)
{
    const bool filtered = GetParam();
    int extraSteps = 0;
    int rightPressesSeenByExtraStep = 0;
    if (filtered) {
        filter = new TBrowserMessageFilter(&window, view, [&](QObject* target, QEvent* event) {
            ++extraSteps;
            if (target->isWidgetType() && event->type() == QEvent::MouseButtonPress &&
                static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
                ++rightPressesSeenByExtraStep;
        });
    }
    Load("/start");
    WaitForInput();
    const int leftBefore = Count("left");

    const QPoint inside = view->mapTo(&window, QPoint(300, 300));
    QTest::mouseClick(Handle(), Qt::RightButton, {}, inside);
    QTest::mouseClick(Handle(), Qt::RightButton, {}, outside->mapTo(&window, QPoint(50, 50)));
    // A left click after the right one: once the page has seen it, it has seen the right one too.
    QTest::mouseClick(Handle(), Qt::LeftButton, {}, inside);
    ASSERT_TRUE(WaitUntil([&] { return Count("left") > leftBefore; }));

    EXPECT_EQ(Count("right"), filtered ? 0 : 1);
    EXPECT_EQ(Count("menu"), filtered ? 0 : 1);
    EXPECT_EQ(outside->rightPresses, 1);
    if (filtered) {
        EXPECT_GT(extraSteps, 0);
        // The right press outside the view reached the window's extra step; the dropped one did not.
        EXPECT_EQ(rightPressesSeenByExtraStep, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(WithAndWithout, RightClickFilter, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "filtered" : "unfiltered"; });

} // namespace
