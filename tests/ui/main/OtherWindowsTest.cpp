// What the main window asks of the windows around it: the polling thread it starts and stops,
// the notification window it hands notifications to, the share window that serves its new-window
// requests, and the secondary windows of its menus.
#include "tests/ui/main/MainFixture.h"

#include "ui/chrome/BrowserView.h"
#include "ui/chrome/Image.h"

#if QUORVANE_MAIN_WITH_NOTIFY
#include "notify/MessageForm.h"
#include "notify/TimerThread.h"
#endif
#if QUORVANE_MAIN_WITH_SHARE
#include "ui/share/BrowserForm.h"
#endif
#if QUORVANE_MAIN_WITH_DIALOGS
#include "ui/dialogs/AboutForm.h"
#include "ui/dialogs/ChangePasswordForm.h"
#include "ui/dialogs/FeedbackForm.h"
#include "ui/dialogs/SettingForm.h"
#endif

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

class OtherWindowsTest : public MainFixture
{
protected:
    // Waits for the start page, so that the page can open windows of its own.
    TfrmMain& SignInToStartPage()
    {
        TfrmMain& main = SignInAutomatically();
        EXPECT_EQ(RunUntil([&] { return main.WebBrowser->page()->title() == QStringLiteral("start"); }),
                  TRunEnd::Stopped);
        return main;
    }

    // The start page asks for a new window, as a link with target "_blank" does.
    void OpenNewWindowAt(TfrmMain& main, const QString& url)
    {
        main.WebBrowser->page()->runJavaScript(QStringLiteral("window.open('%1');").arg(url));
    }
};

#if QUORVANE_MAIN_WITH_NOTIFY

TEST_F(OtherWindowsTest, PollingStartsAfterSignInAndStopsWithTheWindow)
{
    TfrmMain& main = SignInAutomatically();
    QPointer<TTimerThread> thread = main.TimerThread();
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(thread->Running());
    // The thread polls the application server for the signed-in user.
    EXPECT_TRUE(WaitForRequest(QStringLiteral("/information/getInformationList?")));
    window.reset();
    EXPECT_EQ(thread, nullptr);
}

TEST_F(OtherWindowsTest, NoPollingBeforeSignIn)
{
    TfrmMain& main = CreateMainWindow();
    EXPECT_EQ(RunClient({}, {},
                        [](TfrmLogin& login) {
                            EXPECT_EQ(frmMain->TimerThread(), nullptr);
                            CancelLogin(login);
                        }),
              TRunEnd::ClientEnded);
    EXPECT_EQ(main.TimerThread(), nullptr);
}

TEST_F(OtherWindowsTest, NotificationGoesToThePopupWithThePollingThread)
{
    TfrmMessage popup;
    TfrmMain& main = SignInAutomatically();
    ASSERT_NE(main.TimerThread(), nullptr);
    APIResponse information;
    information.success = true;
    information.url = AppUrl() + QStringLiteral("/information/message?id=1");
    information.width = 300;
    information.height = 200;
    information.titleHeight = 51;

    main.ShowInformation(information);
    // The pop-up has paused the thread that the main window handed it, and loads the page.
    EXPECT_TRUE(main.TimerThread()->Paused());
    EXPECT_EQ(popup.size(), QSize(303, 205));
    EXPECT_TRUE(WaitForRequest(QStringLiteral("/information/message?id=1")));
    popup.close();
    EXPECT_FALSE(main.TimerThread()->Paused());
}

#endif

#if QUORVANE_MAIN_WITH_SHARE

// A share page opens in the share window, loaded afresh; any other web address (a page of the
// web application included) in the user's browser; anything else nowhere. The main window stays
// on its page.
TEST_F(OtherWindowsTest, NewWindowsGoWhereTheyBelong)
{
    // The start-up sequence creates the share window hidden; the first request uses it.
    auto* created = new TfrmBrowser;
    frmBrowser = created;
    TfrmMain& main = SignInToStartPage();
    const QUrl startUrl = main.WebBrowser->url();
    const QString sharePage =
        QStringLiteral("http://service.weibo.com/share/share.php?url=x&title=t&shareType=1");

    OpenNewWindowAt(main, sharePage);
    ASSERT_EQ(RunUntil([&] {
                  return frmBrowser && frmBrowser->isVisible() &&
                         frmBrowser->WebBrowser1->url().host() == QStringLiteral("service.weibo.com");
              }),
              TRunEnd::Stopped);
    EXPECT_EQ(frmBrowser, created);
    EXPECT_TRUE(OpenedUrls().isEmpty());

    const QString report = AppUrl() + QStringLiteral("/house/report?district=1");
    OpenNewWindowAt(main, report);
    OpenNewWindowAt(main, QStringLiteral("https://example.com/news"));
    OpenNewWindowAt(main, QStringLiteral("file:///etc/passwd"));
    OpenNewWindowAt(main, QString());
    ASSERT_EQ(RunUntil([] { return OpenedUrls().size() >= 2; }), TRunEnd::Stopped);
    EXPECT_EQ(RunUntil([] { return false; }, 500), TRunEnd::TimedOut);
    EXPECT_EQ(OpenedUrls(), (QList<QUrl>{QUrl(report), QUrl(QStringLiteral("https://example.com/news"))}));
    EXPECT_EQ(main.WebBrowser->url().toString(), startUrl.toString());

    // Closed, the share window is created anew for the next share page, owned by the main window.
    QPointer<TfrmBrowser> first = frmBrowser;
    ASSERT_EQ(RunClient([&] { frmBrowser->close(); }, [&] { return first.isNull(); }), TRunEnd::Stopped);
    EXPECT_EQ(frmBrowser, nullptr);
    OpenNewWindowAt(main, sharePage + QStringLiteral("&again=1"));
    ASSERT_EQ(RunUntil([&] {
                  return frmBrowser && frmBrowser->isVisible() &&
                         frmBrowser->WebBrowser1->url().query().endsWith(QStringLiteral("again=1"));
              }),
              TRunEnd::Stopped);
    EXPECT_EQ(frmBrowser->parentWidget(), &main);
    EXPECT_EQ(main.WebBrowser->url().toString(), startUrl.toString());
    delete frmBrowser;
}

#endif

#if QUORVANE_MAIN_WITH_DIALOGS

TEST_F(OtherWindowsTest, MenusOpenOneSecondaryWindowEach)
{
    TfrmMain& main = SignInAutomatically();

    main.miSetting->trigger();
    ASSERT_NE(frmSetting, nullptr);
    EXPECT_TRUE(frmSetting->isVisible());
    TfrmSetting* setting = frmSetting;
    main.miSystemSetting->trigger();
    EXPECT_EQ(frmSetting, setting);
    delete frmSetting;

    main.miChangePassword->trigger();
    ASSERT_NE(frmChangePassword, nullptr);
    EXPECT_TRUE(frmChangePassword->isVisible());
    TfrmChangePassword* password = frmChangePassword;
    main.miChangePassword2->trigger();
    EXPECT_EQ(frmChangePassword, password);
    delete frmChangePassword;

    // The feedback link and the envelope beside it, clicked.
    QTest::mouseClick(main.labFeedback, Qt::LeftButton, {}, main.labFeedback->rect().center());
    ASSERT_NE(frmFeedback, nullptr);
    EXPECT_TRUE(frmFeedback->isVisible());
    TfrmFeedback* feedback = frmFeedback;
    frmFeedback->hide();
    QTest::mouseClick(main.imgEmail, Qt::LeftButton, {}, main.imgEmail->rect().center());
    EXPECT_EQ(frmFeedback, feedback);
    EXPECT_TRUE(frmFeedback->isVisible());
    delete frmFeedback;

    // About is modal and gone once closed.
    for (QAction* item : {main.miAbout, main.N8}) {
        QString shown;
        QTimer::singleShot(100, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                shown = QString::fromLatin1(modal->metaObject()->className());
                modal->close();
            }
        });
        item->trigger();
        EXPECT_EQ(shown, QStringLiteral("TfrmAbout")) << item->objectName().toStdString();
    }
    const auto aboutWindows = [] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::count_if(windows.begin(), windows.end(),
                             [](QWidget* w) { return qobject_cast<TfrmAbout*>(w) != nullptr; });
    };
    EXPECT_EQ(RunUntil([&] { return aboutWindows() == 0; }), TRunEnd::Stopped);
}

TEST_F(OtherWindowsTest, ClickThatEndsOffTheLinkOpensNothing)
{
    TfrmMain& main = SignInAutomatically();
    QTest::mousePress(main.labFeedback, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(main.labFeedback, Qt::LeftButton, {}, QPoint(-20, 5));
    EXPECT_EQ(frmFeedback, nullptr);
}

#endif

} // namespace
