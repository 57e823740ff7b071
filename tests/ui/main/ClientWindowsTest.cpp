// What the client does around the main window: the polling thread it starts and stops, the
// notification window it hands notifications to, the share window that serves the main window's
// new-window requests, and the secondary windows of its menus.
#include "tests/support/NamedChild.h"
#include "tests/ui/main/MainFixture.h"

#include "ui/chrome/BrowserView.h"
#include "ui/chrome/Image.h"
#include "ui/chrome/OpenWindows.h"

#include "notify/NotificationPopup.h"
#include "notify/Poller.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/ChangePasswordDialog.h"
#include "ui/dialogs/FeedbackWindow.h"
#include "ui/dialogs/SettingsDialog.h"
#include "ui/share/ShareWindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <QWebEnginePage>

#include <algorithm>
#include <chrono>
#include <thread>

namespace quorvane {

namespace {

class ClientWindowsTest : public MainFixture
{
protected:
    // Waits for the start page, so that the page can open windows of its own.
    MainWindow& signInToStartPage()
    {
        MainWindow& main = signInAutomatically();
        EXPECT_EQ(runUntil([&] {
                      return child<BrowserView>(main, "browser")->page()->title() == QStringLiteral("start");
                  }),
                  RunEnd::Stopped);
        return main;
    }

    // The polling starts once the start page has loaded.
    Poller* waitForPoller()
    {
        EXPECT_EQ(runUntil([&] { return m_client->poller() != nullptr; }), RunEnd::Stopped);
        return m_client->poller();
    }

    // The start page asks for a new window, as a link with target "_blank" does.
    void openNewWindowAt(MainWindow& main, const QString& url)
    {
        child<BrowserView>(main, "browser")
            ->page()
            ->runJavaScript(QStringLiteral("window.open('%1');").arg(url));
    }
};

TEST_F(ClientWindowsTest, PollingStartsAfterSignInAndStopsWithTheWindow)
{
    MainWindow& main = signInAutomatically();
    (void)main;
    QPointer<Poller> thread = waitForPoller();
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(thread->running());
    // The thread polls the application server for the signed-in user.
    EXPECT_TRUE(waitForRequest(QStringLiteral("/information/getInformationList?")));
    m_client.reset();
    EXPECT_EQ(thread, nullptr);
}

// The first poll waits for the start page, whose load a notification's page would slow down; a
// start page that takes long does not hold it up for more than the wait set.
class FirstPollTest : public ClientWindowsTest, public ::testing::WithParamInterface<int>
{
protected:
    FirstPollTest()
    {
        m_server.get("/quorvane2/users/validateUser", [](const httplib::Request&,
                                                         httplib::Response& response) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            response.set_content("<!DOCTYPE html><html><head><title>start</title></head><body></body></html>",
                                 "text/html");
        });
    }
};

TEST_P(FirstPollTest, WaitsForTheStartPageOrTheWaitSet)
{
    const int waitMs = GetParam();
    ClientOptions options;
    options.firstPollWait = std::chrono::milliseconds(waitMs);
    MainWindow& main = signInAutomatically(QStringLiteral("demo@quorvane.com"), QStringLiteral("1"), options);
    QWebEnginePage* page = child<BrowserView>(main, "browser")->page();
    ASSERT_NE(waitForPoller(), nullptr);
    const bool pageLoaded = page->title() == QStringLiteral("start");
    // With the longer wait the poll comes once the page is in; with the shorter one before.
    EXPECT_EQ(pageLoaded, waitMs > 1500);
    EXPECT_TRUE(waitForRequest(QStringLiteral("/information/getInformationList?")));
}

INSTANTIATE_TEST_SUITE_P(Waits, FirstPollTest, ::testing::Values(300, 10000),
                         [](const auto& info) { return "Wait" + std::to_string(info.param) + "ms"; });

TEST_F(ClientWindowsTest, NoPollingBeforeSignIn)
{
    MainWindow& main = createMainWindow();
    EXPECT_EQ(runClient({}, {},
                        [this](LoginWindow& login) {
                            EXPECT_EQ(m_client->poller(), nullptr);
                            cancelLogin(login);
                        }),
              RunEnd::ClientEnded);
    (void)main;
    EXPECT_EQ(m_client->poller(), nullptr);
}

TEST_F(ClientWindowsTest, NotificationGoesToThePopupWithThePollingThread)
{
    signInAutomatically();
    Poller* poller = waitForPoller();
    ASSERT_NE(poller, nullptr);
    NotificationPopup& popup = m_client->popup();
    Reply information;
    information.success = true;
    information.url = appUrl() + QStringLiteral("/information/message?id=1");
    information.width = 300;
    information.height = 200;
    information.titleHeight = 51;

    // As the polling thread's hand-over does.
    emit poller->notificationArrived(information);
    // The pop-up has paused the thread, and loads the page.
    EXPECT_TRUE(poller->paused());
    EXPECT_EQ(popup.size(), QSize(303, 205));
    EXPECT_TRUE(waitForRequest(QStringLiteral("/information/message?id=1")));
    popup.close();
    EXPECT_FALSE(poller->paused());
}

// A share page opens in the share window, loaded afresh; any other web address (a page of the
// web application included) in the user's browser; anything else nowhere. The main window stays
// on its page.
TEST_F(ClientWindowsTest, NewWindowsGoWhereTheyBelong)
{
    MainWindow& main = signInToStartPage();
    // The client creates the share window hidden; the first request uses it.
    ShareWindow* created = m_client->shareWindow();
    ASSERT_NE(created, nullptr);
    EXPECT_FALSE(created->isVisible());
    const QUrl startUrl = child<BrowserView>(main, "browser")->url();
    const QString sharePage =
        QStringLiteral("http://service.weibo.com/share/share.php?url=x&title=t&shareType=1");

    openNewWindowAt(main, sharePage);
    ASSERT_EQ(runUntil([&] {
                  return m_client->shareWindow() && m_client->shareWindow()->isVisible() &&
                         child<BrowserView>(m_client->shareWindow(), "browser")->url().host() ==
                             QStringLiteral("service.weibo.com");
              }),
              RunEnd::Stopped);
    EXPECT_EQ(m_client->shareWindow(), created);
    EXPECT_TRUE(openedUrls().isEmpty());

    const QString report = appUrl() + QStringLiteral("/house/report?district=1");
    openNewWindowAt(main, report);
    openNewWindowAt(main, QStringLiteral("https://example.com/news"));
    openNewWindowAt(main, QStringLiteral("file:///etc/passwd"));
    openNewWindowAt(main, QString());
    ASSERT_EQ(runUntil([] { return openedUrls().size() >= 2; }), RunEnd::Stopped);
    EXPECT_EQ(runUntil([] { return false; }, 500), RunEnd::TimedOut);
    EXPECT_EQ(openedUrls(), (QList<QUrl>{QUrl(report), QUrl(QStringLiteral("https://example.com/news"))}));
    EXPECT_EQ(child<BrowserView>(main, "browser")->url().toString(), startUrl.toString());

    // Closed, the share window is created anew for the next share page, owned by the main window.
    QPointer<ShareWindow> first = m_client->shareWindow();
    ASSERT_EQ(runClient([&] { m_client->shareWindow()->close(); }, [&] { return first.isNull(); }),
              RunEnd::Stopped);
    EXPECT_EQ(m_client->shareWindow(), nullptr);
    openNewWindowAt(main, sharePage + QStringLiteral("&again=1"));
    ASSERT_EQ(runUntil([&] {
                  return m_client->shareWindow() && m_client->shareWindow()->isVisible() &&
                         child<BrowserView>(m_client->shareWindow(), "browser")
                             ->url()
                             .query()
                             .endsWith(QStringLiteral("again=1"));
              }),
              RunEnd::Stopped);
    EXPECT_EQ(m_client->shareWindow()->parentWidget(), &main);
    EXPECT_EQ(child<BrowserView>(main, "browser")->url().toString(), startUrl.toString());
    delete m_client->shareWindow();
}

TEST_F(ClientWindowsTest, MenusOpenOneSecondaryWindowEach)
{
    MainWindow& main = signInAutomatically();

    child<QAction>(main, "miSetting")->trigger();
    ASSERT_NE(findOpenWindow<SettingsDialog>(), nullptr);
    EXPECT_TRUE(findOpenWindow<SettingsDialog>()->isVisible());
    SettingsDialog* setting = findOpenWindow<SettingsDialog>();
    child<QAction>(main, "miSystemSetting")->trigger();
    EXPECT_EQ(findOpenWindow<SettingsDialog>(), setting);
    delete findOpenWindow<SettingsDialog>();

    child<QAction>(main, "miChangePassword")->trigger();
    ASSERT_NE(findOpenWindow<ChangePasswordDialog>(), nullptr);
    EXPECT_TRUE(findOpenWindow<ChangePasswordDialog>()->isVisible());
    ChangePasswordDialog* password = findOpenWindow<ChangePasswordDialog>();
    child<QAction>(main, "miChangePassword2")->trigger();
    EXPECT_EQ(findOpenWindow<ChangePasswordDialog>(), password);
    delete findOpenWindow<ChangePasswordDialog>();

    // The feedback link and the envelope beside it, clicked.
    QTest::mouseClick(child<QLabel>(main, "labFeedback"), Qt::LeftButton, {},
                      child<QLabel>(main, "labFeedback")->rect().center());
    ASSERT_NE(findOpenWindow<FeedbackWindow>(), nullptr);
    EXPECT_TRUE(findOpenWindow<FeedbackWindow>()->isVisible());
    FeedbackWindow* feedback = findOpenWindow<FeedbackWindow>();
    findOpenWindow<FeedbackWindow>()->hide();
    QTest::mouseClick(child<Image>(main, "imgEmail"), Qt::LeftButton, {},
                      child<Image>(main, "imgEmail")->rect().center());
    EXPECT_EQ(findOpenWindow<FeedbackWindow>(), feedback);
    EXPECT_TRUE(findOpenWindow<FeedbackWindow>()->isVisible());
    delete findOpenWindow<FeedbackWindow>();

    // About is modal and gone once closed.
    for (QAction* item : {child<QAction>(main, "miAbout"), child<QAction>(main, "miAbout2")}) {
        QString shown;
        QTimer::singleShot(100, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                shown = QString::fromLatin1(modal->metaObject()->className());
                modal->close();
            }
        });
        item->trigger();
        EXPECT_EQ(shown, QString::fromLatin1(AboutDialog::staticMetaObject.className()))
            << item->objectName().toStdString();
    }
    const auto aboutWindows = [] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::count_if(windows.begin(), windows.end(),
                             [](QWidget* w) { return qobject_cast<AboutDialog*>(w) != nullptr; });
    };
    EXPECT_EQ(runUntil([&] { return aboutWindows() == 0; }), RunEnd::Stopped);
}

TEST_F(ClientWindowsTest, ClickThatEndsOffTheLinkOpensNothing)
{
    MainWindow& main = signInAutomatically();
    QTest::mousePress(child<QLabel>(main, "labFeedback"), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(child<QLabel>(main, "labFeedback"), Qt::LeftButton, {}, QPoint(-20, 5));
    EXPECT_EQ(findOpenWindow<FeedbackWindow>(), nullptr);
}

} // namespace

} // namespace quorvane
