#include "config/SelvorConfig.h"
#include "config/SelvorConfigInfo.h"
#include "server/ClientVersion.h"
#include "tests/notify/PopupFixture.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/ImageButton.h"
#include "ui/main/MainForm.h"

#include <QTest>
#include <QTimer>
#include <QWebEngineHistory>

namespace {

// A notification on its whole way: the polling thread polls the loopback server, the main
// window's hand-over passes the record to the pop-up, and the pop-up drives the main window.
class NotificationRoadTest : public PopupFixture
{
protected:
    NotificationRoadTest()
    {
        rig.ServeVersion(CLIENT_VERSION.toLatin1());
        rig.ServePolls({PollReply::Nothing});
    }

    ~NotificationRoadTest() override
    {
        thread.reset();
        main.reset();
    }

    // The main window after an automatic sign-in against the loopback server.
    void SignIn()
    {
        SelvorConfigInfo saved;
        saved.UserName = QStringLiteral("demo@quorvane.com");
        saved.Password = QStringLiteral("secret1");
        saved.RememberPass = true;
        saved.AutoLogin = true;
        TSelvorConfig().SaveConfigInfo(saved);
        rig.server.Reply("/quorvane2/users/userLogin", "<responsed><code>0</code><token>T0K3N</token>"
                                                       "<role>1</role></responsed>");
        main = std::make_unique<TfrmMain>();
        ASSERT_TRUE(WaitUntil([&] { return main->isVisible(); })) << "the automatic sign-in did not finish";
    }

    int Polls() const { return rig.Count(QLatin1Char('P')); }

    std::unique_ptr<TfrmMain> main;
    std::unique_ptr<TTimerThread> thread;
};

TEST_F(NotificationRoadTest, TheThreadShowsANotificationAndPausesUntilThePopUpCloses)
{
    rig.ServePolls({PollReply::Notification});
    rig.server.Reply("/quorvane2/notice/1", "<!doctype html><p>notice</p>", 200, "text/html");
    TTimerThreadOptions options;
    options.interval = 50;
    options.applicationDir = rig.AppDir();
    thread =
        std::make_unique<TTimerThread>(TTimerThreadOwner{&rig.ownerWindow,
                                                         [this](const APIResponse& information) {
                                                             // What the main window's ShowInformation does.
                                                             form->ShowInformation(thread.get(), information);
                                                         },
                                                         {}},
                                       options);
    thread->Start();

    ASSERT_TRUE(WaitUntil([&] { return FadedIn(); }));
    EXPECT_TRUE(thread->Paused());
    EXPECT_EQ(form->size(), QSize(303, 205));
    EXPECT_EQ(form->WebBrowser1->url().toString(), rig.AppUrl() + "/notice/1");
    const int polls = Polls();
    EXPECT_EQ(polls, 1);
    // Twenty intervals later the thread has still neither polled nor checked the version.
    const int requests = static_cast<int>(rig.server.Targets().size());
    RunEvents(20 * 50);
    EXPECT_EQ(Polls(), polls);
    EXPECT_EQ(rig.server.Targets().size(), requests);

    QTest::mouseClick(form->imgClose, Qt::LeftButton, {}, QPoint(14, 8));
    ASSERT_TRUE(WaitUntil([&] { return !form->isVisible(); }));
    EXPECT_FALSE(thread->Paused());
    // The next poll finds the notification still waiting and brings the pop-up back.
    ASSERT_TRUE(WaitUntil([&] { return Polls() > polls && FadedIn(); }));
    EXPECT_TRUE(thread->Paused());
    EXPECT_EQ(fadeIns, 2);
    thread->Stop();
    EXPECT_FALSE(thread->Running());
}

TEST_F(NotificationRoadTest, AShowLinkBringsUpTheMainWindowOnThatPageAndLeavesTheNotification)
{
    SignIn();
    if (HasFailure())
        return;
    main->HideToTray();
    ASSERT_TRUE(WaitUntil([&] { return !main->isVisible(); }));

    ASSERT_TRUE(ShowAndFadeIn(Notice("plain")));
    const QString notice = form->WebBrowser1->url().toString();
    const int history = form->WebBrowser1->history()->count();
    WaitForInput();
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, form->mapFromGlobal(GlobalCentreOf("show")));

    const QString target = rig.AppUrl() + "/house/list";
    ASSERT_TRUE(WaitUntil([&] { return main->isVisible() && main->WebBrowser->url().toString() == target; }))
        << main->WebBrowser->url().toString().toStdString();
    EXPECT_FALSE(main->isMinimized());
    // The notification stays as it was, on its page, counting down, polling still paused.
    RunEvents(200);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->WebBrowser1->url().toString(), notice);
    EXPECT_EQ(form->WebBrowser1->history()->count(), history);
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_TRUE(pollingThread.Paused());
    EXPECT_EQ(closes, 0);
}

} // namespace
