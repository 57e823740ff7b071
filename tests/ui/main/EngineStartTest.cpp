// The browser engine starts while the saved sign-in request is on its way: the start page then
// loads in a renderer process that was already running, and the requests on the wire stay as
// they were.
#include "tests/support/NamedChild.h"
#include "tests/ui/main/MainFixture.h"

#include "ui/chrome/BrowserView.h"

#include <QRegularExpression>
#include <QWebEnginePage>

#include <atomic>
#include <chrono>
#include <thread>

namespace quorvane {

namespace {

class EngineStartTest : public MainFixture
{
protected:
    EngineStartTest()
    {
        // A server that takes its time to answer the sign-in.
        m_server.get("/quorvane2/users/userLogin", [this](const httplib::Request&,
                                                          httplib::Response& response) {
            m_signInArrived = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            response.set_content("<responsed><code>0</code><token>T0K3N</token><role>1</role></responsed>",
                                 "text/xml");
        });
    }

    std::atomic<bool> m_signInArrived{false};
};

TEST_F(EngineStartTest, StartPageLoadsInTheRendererStartedDuringTheSignIn)
{
    saveLogin(QStringLiteral("demo@quorvane.com"), QStringLiteral("secret1"), true, true, 0);
    MainWindow& main = createMainWindow();
    QWebEnginePage& page = *child<BrowserView>(main, "browser")->page();
    // The renderer runs while the server still holds the sign-in's answer.
    qint64 renderer = 0;
    EXPECT_EQ(runUntil([&] { return m_signInArrived && (renderer = page.renderProcessPid()) != 0; }),
              RunEnd::Stopped);
    EXPECT_FALSE(main.isVisible());

    EXPECT_EQ(
        runClient({},
                  [&] { return main.isVisible() && wasRequested(QStringLiteral("/users/validateUser?")); }),
        RunEnd::Stopped);
    EXPECT_EQ(runUntil([&] { return !page.isLoading(); }), RunEnd::Stopped);
    EXPECT_EQ(page.renderProcessPid(), renderer);
    // Nothing else asked of the application's user pages: the sign-in, then the start page (the
    // polling thread's requests go their own way, as they always did).
    QStringList application = pageRequests().filter(QStringLiteral("/quorvane2/users/"));
    application.replaceInStrings(QRegularExpression(QStringLiteral("\\?.*")), QString());
    EXPECT_EQ(application.mid(0, 2), (QStringList{QStringLiteral("/quorvane2/users/userLogin"),
                                                  QStringLiteral("/quorvane2/users/validateUser")}))
        << qPrintable(pageRequests().join(QLatin1Char(' ')));
}

} // namespace

} // namespace quorvane
