// The client URL scheme in the signed-in client: the main window's actions, the notification
// window's actions through the shared handler, and navigations made by real pages.
#include "tests/support/NamedChild.h"
#include "tests/ui/main/MainFixture.h"

#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/ClientUrl.h"
#include "ui/chrome/MessageBox.h"

#include <QVariant>
#include <optional>
#include <ostream>

namespace quorvane {

namespace {

// Whether the main window ends up hidden in the tray, and where its browser is sent.
struct WindowCase
{
    const char* name;
    const char* url;
    ClientUrlListener listener;
    bool hidden;
    // The page the main window is sent to, below the application root ("" for none).
    const char* navigatedTo;
};

std::ostream& operator<<(std::ostream& out, const WindowCase& c)
{
    return out << c.name;
}

const WindowCase kWindowCases[] = {
    {"CloseWithSlash", "vemtraclient://close/", ClientUrlListener::MainWindow, true, ""},
    {"CloseWithoutSlash", "vemtraclient://close", ClientUrlListener::MainWindow, true, ""},
    {"CloseWithParameters", "vemtraclient://close/?x=1", ClientUrlListener::MainWindow, true, ""},
    {"CloseWithQuestionBeforeSlash", "vemtraclient://close?x=1", ClientUrlListener::MainWindow, false, ""},
    {"CloseInCapitals", "vemtraclient://Close/", ClientUrlListener::MainWindow, false, ""},
    {"CloseInNotification", "vemtraclient://close/", ClientUrlListener::NotificationWindow, false, ""},
    {"ShowInMainWindow", "vemtraclient://show/?url=house/list", ClientUrlListener::MainWindow, false, ""},
    {"ShowInCapitals", "vemtraclient://SHOW/?url=house/list", ClientUrlListener::NotificationWindow, false,
     ""},
};

class ClientUrlWindowTest : public MainFixture, public ::testing::WithParamInterface<WindowCase>
{
};

TEST_P(ClientUrlWindowTest, PerformsOnlyTheListenersOwnActions)
{
    const WindowCase& c = GetParam();
    MainWindow& main = signInAutomatically();
    // The start page, then the polling thread's first cycle once it has loaded.
    ASSERT_TRUE(waitForRequest(QStringLiteral("/information/getInformationList?")));
    m_server.clearRequests();

    EXPECT_TRUE(handleClientUrl(QString::fromLatin1(c.url), c.listener, windowActions(main)));
    EXPECT_EQ(!main.isVisible(), c.hidden);
    EXPECT_TRUE(openedUrls().isEmpty());
    EXPECT_EQ(runUntil([] { return false; }, 300), RunEnd::TimedOut);
    EXPECT_TRUE(pageRequests().isEmpty()) << pageRequests().join(QLatin1Char(' ')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Urls, ClientUrlWindowTest, ::testing::ValuesIn(kWindowCases),
                         [](const auto& info) { return std::string(info.param.name); });

// "show" in a notification: the main window goes to the page below the application root and
// comes up from the tray.
struct ShowCase
{
    const char* name;
    const char* url;
    const char* target; // request target below the application root
};

const ShowCase kShowCases[] = {
    {"RelativePath", "vemtraclient://show/?url=house/list", "/house/list"},
    {"ParameterNameInCapitals", "vemtraclient://show/?URL=house/list", "/house/list"},
    {"PathWithLeadingSlash", "vemtraclient://show/?url=/house/list", "//house/list"},
    {"RawValueIsNotDecoded", "vemtraclient://show/?url=house/detail%3Fid%3D7", "/house/detail%3Fid%3D7"},
    {"WithoutUrl", "vemtraclient://show/", "/"},
};

class ShowTest : public MainFixture, public ::testing::WithParamInterface<ShowCase>
{
};

TEST_P(ShowTest, NavigatesTheMainWindowAndBringsItUp)
{
    const ShowCase& c = GetParam();
    MainWindow& main = signInAutomatically();
    ASSERT_TRUE(waitForRequest(QStringLiteral("/users/validateUser")));
    main.hideToTray();
    m_server.clearRequests();

    EXPECT_TRUE(handleClientUrl(QString::fromLatin1(c.url), ClientUrlListener::NotificationWindow,
                                windowActions(main)));
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(main.isMinimized());
    ASSERT_TRUE(waitForRequest(QString::fromLatin1(c.target)));
    EXPECT_EQ(pageRequests().first(), QStringLiteral("/quorvane2") + QString::fromLatin1(c.target));
}

INSTANTIATE_TEST_SUITE_P(Paths, ShowTest, ::testing::ValuesIn(kShowCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Navigations that pages of the web application make themselves.
class PageNavigationTest : public MainFixture
{
protected:
    void SetUp() override
    {
        m_main = &signInAutomatically();
        ASSERT_EQ(runUntil([&] { return pageTitle() == QStringLiteral("start"); }), RunEnd::Stopped);
        m_startUrl = child<BrowserView>(m_main, "browser")->url();
        // A mark that only this very page carries; a page loaded anew has lost it.
        ASSERT_EQ(evaluate(QStringLiteral("window.quorvaneMark = 'kept'; window.quorvaneMark")),
                  QStringLiteral("kept"));
        // The polling thread's first cycle, which follows the start page.
        ASSERT_TRUE(waitForRequest(QStringLiteral("/information/getInformationList?")));
        m_server.clearRequests();
    }

    QString pageTitle() const { return child<BrowserView>(m_main, "browser")->browserPage()->title(); }

    // Runs a script in the page and gives its result as text.
    QString evaluate(const QString& script)
    {
        std::optional<QString> result;
        child<BrowserView>(m_main, "browser")
            ->browserPage()
            ->runJavaScript(script, [&](const QVariant& value) { result = value.toString(); });
        EXPECT_EQ(runUntil([&] { return result.has_value(); }), RunEnd::Stopped);
        return result.value_or(QString());
    }

    // The page follows a link it has just been given, as a click would.
    void followLink(const QString& href)
    {
        child<BrowserView>(m_main, "browser")
            ->browserPage()
            ->runJavaScript(QStringLiteral("(function(){var a=document.createElement('a');a.href=%1;"
                                           "document.body.appendChild(a);a.click();})();")
                                .arg(QStringLiteral("'") + href + QStringLiteral("'")));
    }

    // The browser is still on the start page it had, and asked the server for nothing.
    void expectStillOnStartPage()
    {
        EXPECT_EQ(child<BrowserView>(m_main, "browser")->url(), m_startUrl);
        EXPECT_EQ(evaluate(QStringLiteral("window.quorvaneMark")), QStringLiteral("kept"));
        EXPECT_TRUE(pageRequests().isEmpty()) << pageRequests().join(QLatin1Char(' ')).toStdString();
    }

    MainWindow* m_main = nullptr;
    QUrl m_startUrl;
};

TEST_F(PageNavigationTest, CloseLinkHidesTheWindowAndLeavesThePage)
{
    followLink(QStringLiteral("vemtraclient://close/"));
    ASSERT_EQ(runUntil([&] { return !m_main->isVisible(); }), RunEnd::Stopped);
    EXPECT_TRUE(m_main->isMinimized());
    expectStillOnStartPage();
}

TEST_F(PageNavigationTest, ScriptSettingTheLocationIsHandledToo)
{
    child<BrowserView>(m_main, "browser")
        ->browserPage()
        ->runJavaScript(QStringLiteral("location.href='vemtraclient://close';"));
    ASSERT_EQ(runUntil([&] { return !m_main->isVisible(); }), RunEnd::Stopped);
    expectStillOnStartPage();
}

TEST_F(PageNavigationTest, OpenLinkHandsTheDecodedAddressToTheDefaultBrowser)
{
    followLink(QStringLiteral("vemtraclient://open/?url=http%3A%2F%2Fexample.com%2Freport%3Fa%3D1%26b%3D2"));
    ASSERT_EQ(runUntil([] { return !openedUrls().isEmpty(); }), RunEnd::Stopped);
    EXPECT_EQ(openedUrls(), QList<QUrl>{QUrl(QStringLiteral("http://example.com/report?a=1&b=2"))});
    EXPECT_TRUE(m_main->isVisible());
    expectStillOnStartPage();
}

TEST_F(PageNavigationTest, OpenLinkWithUnicodeEscapes)
{
    followLink(QStringLiteral("vemtraclient://open/?url=http%3A%2F%2Fexample.com%2F%u6D77%u6DC0"));
    ASSERT_EQ(runUntil([] { return !openedUrls().isEmpty(); }), RunEnd::Stopped);
    EXPECT_EQ(openedUrls(), QList<QUrl>{QUrl(QStringLiteral("http://example.com/海淀"))});
    expectStillOnStartPage();
}

TEST_F(PageNavigationTest, OpenLinkToALocalFileOpensNothing)
{
    followLink(QStringLiteral("vemtraclient://open/?url=file%3A%2F%2F%2Fetc%2Fpasswd"));
    // A later link shows that the first one has been dealt with.
    followLink(QStringLiteral("vemtraclient://close/"));
    ASSERT_EQ(runUntil([&] { return !m_main->isVisible(); }), RunEnd::Stopped);
    EXPECT_TRUE(openedUrls().isEmpty());
    expectStillOnStartPage();
}

TEST_F(PageNavigationTest, UnknownActionOnlyCancelsTheNavigation)
{
    followLink(QStringLiteral("vemtraclient://launch/?url=house/list"));
    followLink(QStringLiteral("vemtraclient://close/"));
    ASSERT_EQ(runUntil([&] { return !m_main->isVisible(); }), RunEnd::Stopped);
    expectStillOnStartPage();
}

TEST_F(PageNavigationTest, WebAddressCarryingTheSchemeIsNavigatedNormally)
{
    followLink(appUrl() + QStringLiteral("/house/list?next=vemtraclient://close/"));
    ASSERT_EQ(runUntil([&] { return pageTitle() == QStringLiteral("page"); }), RunEnd::Stopped);
    EXPECT_TRUE(m_main->isVisible());
    EXPECT_TRUE(wasRequested(QStringLiteral("/house/list?next=vemtraclient://close/")))
        << m_server.targets().join(QLatin1Char(' ')).toStdString();
}

TEST_F(PageNavigationTest, OpenMailtoKeepsOnlySubjectAndBody)
{
    followLink(QStringLiteral(
        "vemtraclient://open/?url=mailto%3Asales%40quorvane.com%3Fsubject%3Dhi%26cc%3Devil%40x.example"
        "%26body%3Dtext%26attach%3D%2Fetc%2Fpasswd%26bcc%3Dspy%40x.example"));
    ASSERT_EQ(runUntil([] { return !openedUrls().isEmpty(); }), RunEnd::Stopped);
    EXPECT_EQ(openedUrls(),
              QList<QUrl>{QUrl(QStringLiteral("mailto:sales@quorvane.com?subject=hi&body=text"))});
}

// Pages that are not the application server's: another site on another port of the same machine.
class StrangerPageTest : public PageNavigationTest
{
protected:
    void SetUp() override
    {
        PageNavigationTest::SetUp();
        const std::string html = "text/html; charset=UTF-8";
        m_stranger.reply("/frame",
                         "<!doctype html><script>location.href="
                         "'vemtraclient://open/?url=http%3A%2F%2Fevil.example%2Fframe';</script>",
                         200, html);
        m_stranger.reply("/page", "<!doctype html><title>stranger</title><body>another site</body>", 200,
                         html);
        m_stranger.reply("/dialogs",
                         "<!doctype html><body><script>"
                         "for (var i = 0; i < 100; ++i) alert('again ' + i);"
                         "document.title = 'done:' + confirm('sure?') + ':' + prompt('name?', 'x');"
                         "</script></body>",
                         200, html);
        MessageBox::takeShown();
    }

    // Lets the page run its course; a client URL it fired has been dealt with by then.
    void settle()
    {
        EXPECT_EQ(runUntil([] { return false; }, 1000), RunEnd::TimedOut);
    }

    LoopbackServer m_stranger;
};

// A frame of another site inside the application's page cannot drive the client, whatever it
// fires; the page's own top frame still can.
TEST_F(StrangerPageTest, AThirdPartyFrameCannotDriveTheClient)
{
    child<BrowserView>(m_main, "browser")
        ->browserPage()
        ->runJavaScript(
            QStringLiteral(
                "var f=document.createElement('iframe');f.src='%1/frame';document.body.appendChild(f);")
                .arg(m_stranger.url()));
    ASSERT_EQ(runUntil([&] { return !m_stranger.targets().isEmpty(); }), RunEnd::Stopped);
    settle();
    EXPECT_TRUE(openedUrls().isEmpty());
    followLink(QStringLiteral("vemtraclient://open/?url=http%3A%2F%2Fgood.example%2F"));
    ASSERT_EQ(runUntil([] { return !openedUrls().isEmpty(); }), RunEnd::Stopped);
    EXPECT_EQ(openedUrls(), QList<QUrl>{QUrl(QStringLiteral("http://good.example/"))});
}

// Once the browser was led to another site, that site's links and scripts do nothing either.
TEST_F(StrangerPageTest, AnotherSitesPageCannotDriveTheClient)
{
    m_main->navigateTo(m_stranger.url() + QStringLiteral("/page"));
    ASSERT_EQ(runUntil([&] { return pageTitle() == QStringLiteral("stranger"); }), RunEnd::Stopped);
    followLink(QStringLiteral("vemtraclient://open/?url=http%3A%2F%2Fevil.example%2Fpage"));
    child<BrowserView>(m_main, "browser")
        ->browserPage()
        ->runJavaScript(QStringLiteral("location.href='vemtraclient://close/';"));
    settle();
    EXPECT_TRUE(openedUrls().isEmpty());
    EXPECT_TRUE(m_main->isVisible());
    EXPECT_EQ(pageTitle(), QStringLiteral("stranger"));
}

// JavaScript dialogs of the application's pages are the client's own boxes, with the page's text
// as it stands; another site's are never shown, however many it asks for.
TEST_F(StrangerPageTest, OnlyTheApplicationsPagesShowDialogs)
{
    EXPECT_EQ(evaluate(QStringLiteral("alert('<b>价格</b> changed'); confirm('sure?')")),
              QStringLiteral("true"));
    const QList<ShownMessage> shown = MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].title, QStringLiteral("Quorvane"));
    EXPECT_EQ(shown[0].text, QStringLiteral("<b>价格</b> changed"));
    EXPECT_EQ(shown[1].text, QStringLiteral("sure?"));

    m_main->navigateTo(m_stranger.url() + QStringLiteral("/dialogs"));
    ASSERT_EQ(runUntil([&] { return pageTitle().startsWith(QStringLiteral("done:")); }), RunEnd::Stopped);
    EXPECT_EQ(pageTitle(), QStringLiteral("done:false:null"));
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());
}

} // namespace

} // namespace quorvane
