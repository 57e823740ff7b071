#include "notify/NotificationRoad.h"
#include "app/Client.h"
#include "config/ConfigStore.h"
#include "config/SavedLogin.h"
#include "server/ClientVersion.h"
#include "tests/notify/PopupFixture.h"
#include "tests/support/NamedChild.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/ImageButton.h"
#include "ui/main/MainWindow.h"

#include <QTest>
#include <QTimer>
#include <QWebEngineHistory>

namespace quorvane {

namespace {

// A notification on its whole way: the polling thread polls the loopback server, the hand-over
// passes the record to the pop-up, and the pop-up drives the main window.
class NotificationRoadTest : public PopupFixture
{
protected:
    NotificationRoadTest()
    {
        m_rig.serveVersion(CLIENT_VERSION.toLatin1());
        m_rig.servePolls({PollReply::Nothing});
    }

    ~NotificationRoadTest() override
    {
        m_thread.reset();
        m_client.reset();
    }

    // The client after an automatic sign-in against the loopback server; its pop-up is the one
    // under test from then on.
    void signIn()
    {
        SavedLogin saved;
        saved.userName = QStringLiteral("demo@quorvane.com");
        saved.password = QStringLiteral("secret1");
        saved.rememberPass = true;
        saved.autoLogin = true;
        ConfigStore().saveConfigInfo(saved);
        m_rig.server.reply("/quorvane2/users/userLogin", "<responsed><code>0</code><token>T0K3N</token>"
                                                         "<role>1</role></responsed>");
        ClientOptions options;
        options.limits = HttpLimits{2000, 5000, 1024 * 1024, 0, 0};
        options.poller.applicationDir = m_rig.appDir();
        // A desktop with a tray, which the test display does not have.
        options.trayAvailable = [] { return true; };
        m_client = std::make_unique<Client>(options);
        m_client->start();
        m_main = &m_client->mainWindow();
        ASSERT_TRUE(waitUntil([&] { return m_main->isVisible(); })) << "the automatic sign-in did not finish";
        // The polling starts once the start page has loaded.
        ASSERT_TRUE(waitUntil([&] { return m_client->poller() != nullptr; })) << "the polling did not start";
        watch(m_client->popup());
    }

    int polls() const { return m_rig.count(QLatin1Char('P')); }

    std::unique_ptr<Client> m_client;
    MainWindow* m_main = nullptr;
    std::unique_ptr<Poller> m_thread;
};

TEST_F(NotificationRoadTest, TheThreadShowsANotificationAndPausesUntilThePopUpCloses)
{
    m_rig.servePolls({PollReply::Notification});
    m_rig.server.reply("/quorvane2/notice/1", "<!doctype html><p>notice</p>", 200, "text/html");
    PollerOptions options;
    options.interval = 50;
    options.applicationDir = m_rig.appDir();
    m_thread = m_rig.makePoller(options);
    showNotificationsIn(*m_form, *m_thread);
    m_thread->start();

    ASSERT_TRUE(waitUntil([&] { return fadedIn(); }));
    EXPECT_TRUE(m_thread->paused());
    EXPECT_EQ(m_form->size(), QSize(303, 205));
    EXPECT_EQ(child<BrowserView>(m_form, "browser")->url().toString(), m_rig.appUrl() + "/notice/1");
    const int pollsBefore = polls();
    EXPECT_EQ(pollsBefore, 1);
    // Twenty intervals later the thread has still neither polled nor checked the version.
    const int requests = static_cast<int>(m_rig.server.targets().size());
    runEvents(20 * 50);
    EXPECT_EQ(polls(), pollsBefore);
    EXPECT_EQ(m_rig.server.targets().size(), requests);

    QTest::mouseClick(child<ImageButton>(m_form, "closeButton"), Qt::LeftButton, {}, QPoint(14, 8));
    ASSERT_TRUE(waitUntil([&] { return !m_form->isVisible(); }));
    EXPECT_FALSE(m_thread->paused());
    // The next poll finds the notification still waiting and brings the pop-up back.
    ASSERT_TRUE(waitUntil([&] { return polls() > pollsBefore && fadedIn(); }));
    EXPECT_TRUE(m_thread->paused());
    EXPECT_EQ(m_fadeIns, 2);
    m_thread->stop();
    EXPECT_FALSE(m_thread->running());
}

TEST_F(NotificationRoadTest, AShowLinkBringsUpTheMainWindowOnThatPageAndLeavesTheNotification)
{
    signIn();
    if (HasFailure())
        return;
    m_main->hideToTray();
    ASSERT_TRUE(waitUntil([&] { return !m_main->isVisible(); }));

    ASSERT_TRUE(showAndFadeIn(notice("plain")));
    const QString notice = child<BrowserView>(m_form, "browser")->url().toString();
    const int history = child<BrowserView>(m_form, "browser")->history()->count();
    waitForInput();
    QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {},
                      m_form->mapFromGlobal(globalCentreOf("show")));

    const QString target = m_rig.appUrl() + "/house/list";
    ASSERT_TRUE(waitUntil([&] {
        return m_main->isVisible() && child<BrowserView>(m_main, "browser")->url().toString() == target;
    })) << child<BrowserView>(m_main, "browser")->url().toString().toStdString();
    EXPECT_FALSE(m_main->isMinimized());
    // The notification stays as it was, on its page, counting down, polling still paused.
    runEvents(200);
    EXPECT_TRUE(m_form->isVisible());
    EXPECT_EQ(child<BrowserView>(m_form, "browser")->url().toString(), notice);
    EXPECT_EQ(child<BrowserView>(m_form, "browser")->history()->count(), history);
    EXPECT_TRUE(child<QTimer>(m_form, "closeTimer")->isActive());
    ASSERT_NE(m_client->poller(), nullptr);
    EXPECT_TRUE(m_client->poller()->paused());
    EXPECT_EQ(m_closes, 0);
}

} // namespace

} // namespace quorvane
