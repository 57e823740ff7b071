// The main window's page while the window rests hidden in the tray: frozen at once, discarded
// after a while, back as it was when the window shows again.
#include "tests/support/NamedChild.h"
#include "tests/ui/main/MainFixture.h"

#include "ui/chrome/BrowserView.h"

#include <QVariant>
#include <QWebEnginePage>

#include <chrono>

namespace quorvane {

namespace {

using State = QWebEnginePage::LifecycleState;

// A page that counts the times it was frozen and resumed, as the page itself hears of it.
const char* const kRestPage = "<!DOCTYPE html><html><head><title>rest</title><script>"
                              "window.froze = 0; window.resumed = 0;"
                              "document.addEventListener('freeze', () => ++window.froze);"
                              "document.addEventListener('resume', () => ++window.resumed);"
                              "</script></head><body><p>rest</p></body></html>";

class HiddenPageTest : public MainFixture
{
protected:
    HiddenPageTest() { m_server.reply("/quorvane2/rest", kRestPage, 200, "text/html"); }

    // Signs in and opens the rest page in the main window.
    MainWindow& openRestPage(std::chrono::milliseconds discardDelay,
                             const QString& query = QStringLiteral("a"))
    {
        ClientOptions options;
        options.hiddenPageDiscardDelay = discardDelay;
        MainWindow& main =
            signInAutomatically(QStringLiteral("demo@quorvane.com"), QStringLiteral("1"), options);
        EXPECT_EQ(runUntil([&] { return !page(main).isLoading(); }), RunEnd::Stopped);
        main.navigateTo(restUrl(query));
        EXPECT_EQ(
            runUntil([&] { return page(main).title() == QLatin1String("rest") && !page(main).isLoading(); }),
            RunEnd::Stopped);
        return main;
    }

    QString restUrl(const QString& query) const { return appUrl() + QStringLiteral("/rest?") + query; }
    int restRequests() const { return pageRequests().filter(QStringLiteral("/rest?")).size(); }

    static QWebEnginePage& page(MainWindow& main) { return *child<BrowserView>(main, "browser")->page(); }

    QVariant evaluate(MainWindow& main, const QString& script)
    {
        QVariant result;
        bool done = false;
        page(main).runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        EXPECT_EQ(runUntil([&] { return done; }), RunEnd::Stopped) << qPrintable(script);
        return result;
    }

    // Whether the page's script expression comes to be true within a few seconds.
    bool holdsSoon(MainWindow& main, const QString& script)
    {
        for (int attempt = 0; attempt < 50; ++attempt) {
            if (!page(main).isLoading() && evaluate(main, script).toBool())
                return true;
            runEvents(100);
        }
        return false;
    }
};

TEST_F(HiddenPageTest, HiddenWindowFreezesItsPageAndShowingItResumesIt)
{
    MainWindow& main = openRestPage(std::chrono::hours(1));
    main.hideToTray();
    EXPECT_EQ(runUntil([&] { return page(main).lifecycleState() == State::Frozen; }), RunEnd::Stopped);
    runEvents(500);
    EXPECT_EQ(page(main).lifecycleState(), State::Frozen); // not discarded before its time

    main.bringToFront();
    EXPECT_EQ(page(main).lifecycleState(), State::Active);
    EXPECT_EQ(evaluate(main, QStringLiteral("[window.froze, window.resumed]")).toList(),
              (QVariantList{1, 1}));
    // The same document, not a new load.
    EXPECT_EQ(restRequests(), 1);
}

TEST_F(HiddenPageTest, DiscardedPageComesBackOnItsLastAddress)
{
    MainWindow& main = openRestPage(std::chrono::milliseconds(300), QStringLiteral("last"));
    main.hideToTray();
    EXPECT_EQ(runUntil([&] { return page(main).lifecycleState() == State::Discarded; }), RunEnd::Stopped);
    // The renderer process has gone.
    EXPECT_EQ(runUntil([&] { return page(main).renderProcessPid() == 0; }), RunEnd::Stopped);

    main.bringToFront();
    EXPECT_EQ(page(main).lifecycleState(), State::Active);
    // A new document of the same address (from the server, or the engine's cache).
    EXPECT_TRUE(holdsSoon(main, QStringLiteral("document.wasDiscarded === true")));
    EXPECT_EQ(page(main).url().toString(), restUrl(QStringLiteral("last")));
    EXPECT_EQ(evaluate(main, QStringLiteral("document.title")).toString(), QStringLiteral("rest"));
}

// A page the client loads while the window is hidden (a renewed session's start page) loads, and
// rests again once it has.
TEST_F(HiddenPageTest, PageLoadedWhileHiddenLoadsAndRestsAgain)
{
    for (const std::chrono::milliseconds delay :
         {std::chrono::milliseconds(std::chrono::hours(1)), std::chrono::milliseconds(300)}) {
        SCOPED_TRACE(delay.count());
        m_server.clearRequests();
        MainWindow& main = openRestPage(delay);
        main.hideToTray();
        const State resting = delay.count() > 1000 ? State::Frozen : State::Discarded;
        EXPECT_EQ(runUntil([&] { return page(main).lifecycleState() == resting; }), RunEnd::Stopped);

        main.navigateTo(restUrl(QStringLiteral("hidden")));
        EXPECT_EQ(runUntil([&] { return wasRequested(QStringLiteral("/rest?hidden")); }), RunEnd::Stopped);
        EXPECT_EQ(runUntil([&] { return page(main).lifecycleState() == resting; }), RunEnd::Stopped);
        EXPECT_FALSE(main.isVisible());
        m_client.reset();
    }
}

} // namespace

} // namespace quorvane
