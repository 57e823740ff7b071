// What the main window asks of the windows around it: the polling thread it starts and stops,
// the notification window it hands notifications to, the share window that serves its new-window
// requests, and the secondary windows of its menus.
#include "tests/ui/main/MainFixture.h"

#include "ui/chrome/BrowserView.h"
#include "ui/chrome/Image.h"

#if QUORVANE_MAIN_WITH_NOTIFY
#include "notify/NotificationPopup.h"
#include "notify/Poller.h"
#endif
#if QUORVANE_MAIN_WITH_SHARE
#include "ui/share/ShareWindow.h"
#endif
#if QUORVANE_MAIN_WITH_DIALOGS
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/ChangePasswordDialog.h"
#include "ui/dialogs/FeedbackWindow.h"
#include "ui/dialogs/SettingsDialog.h"
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
    MainWindow& signInToStartPage()
    {
        MainWindow& main = signInAutomatically();
        EXPECT_EQ(runUntil([&] { return main.webBrowser->page()->title() == QStringLiteral("start"); }),
                  RunEnd::Stopped);
        return main;
    }

    // The start page asks for a new window, as a link with target "_blank" does.
    void openNewWindowAt(MainWindow& main, const QString& url)
    {
        main.webBrowser->page()->runJavaScript(QStringLiteral("window.open('%1');").arg(url));
    }
};

#if QUORVANE_MAIN_WITH_NOTIFY

TEST_F(OtherWindowsTest, PollingStartsAfterSignInAndStopsWithTheWindow)
{
    MainWindow& main = signInAutomatically();
    QPointer<Poller> thread = main.timerThread();
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(thread->running());
    // The thread polls the application server for the signed-in user.
    EXPECT_TRUE(waitForRequest(QStringLiteral("/information/getInformationList?")));
    m_window.reset();
    EXPECT_EQ(thread, nullptr);
}

TEST_F(OtherWindowsTest, NoPollingBeforeSignIn)
{
    MainWindow& main = createMainWindow();
    EXPECT_EQ(runClient({}, {},
                        [](LoginWindow& login) {
                            EXPECT_EQ(frmMain->timerThread(), nullptr);
                            cancelLogin(login);
                        }),
              RunEnd::ClientEnded);
    EXPECT_EQ(main.timerThread(), nullptr);
}

TEST_F(OtherWindowsTest, NotificationGoesToThePopupWithThePollingThread)
{
    NotificationPopup popup;
    MainWindow& main = signInAutomatically();
    ASSERT_NE(main.timerThread(), nullptr);
    Reply information;
    information.success = true;
    information.url = appUrl() + QStringLiteral("/information/message?id=1");
    information.width = 300;
    information.height = 200;
    information.titleHeight = 51;

    main.showInformation(information);
    // The pop-up has paused the thread that the main window handed it, and loads the page.
    EXPECT_TRUE(main.timerThread()->paused());
    EXPECT_EQ(popup.size(), QSize(303, 205));
    EXPECT_TRUE(waitForRequest(QStringLiteral("/information/message?id=1")));
    popup.close();
    EXPECT_FALSE(main.timerThread()->paused());
}

#endif

#if QUORVANE_MAIN_WITH_SHARE

// A share page opens in the share window, loaded afresh; any other web address (a page of the
// web application included) in the user's browser; anything else nowhere. The main window stays
// on its page.
TEST_F(OtherWindowsTest, NewWindowsGoWhereTheyBelong)
{
    // The start-up sequence creates the share window hidden; the first request uses it.
    auto* created = new ShareWindow;
    frmBrowser = created;
    MainWindow& main = signInToStartPage();
    const QUrl startUrl = main.webBrowser->url();
    const QString sharePage =
        QStringLiteral("http://service.weibo.com/share/share.php?url=x&title=t&shareType=1");

    openNewWindowAt(main, sharePage);
    ASSERT_EQ(runUntil([&] {
                  return frmBrowser && frmBrowser->isVisible() &&
                         frmBrowser->webBrowser1->url().host() == QStringLiteral("service.weibo.com");
              }),
              RunEnd::Stopped);
    EXPECT_EQ(frmBrowser, created);
    EXPECT_TRUE(openedUrls().isEmpty());

    const QString report = appUrl() + QStringLiteral("/house/report?district=1");
    openNewWindowAt(main, report);
    openNewWindowAt(main, QStringLiteral("https://example.com/news"));
    openNewWindowAt(main, QStringLiteral("file:///etc/passwd"));
    openNewWindowAt(main, QString());
    ASSERT_EQ(runUntil([] { return openedUrls().size() >= 2; }), RunEnd::Stopped);
    EXPECT_EQ(runUntil([] { return false; }, 500), RunEnd::TimedOut);
    EXPECT_EQ(openedUrls(), (QList<QUrl>{QUrl(report), QUrl(QStringLiteral("https://example.com/news"))}));
    EXPECT_EQ(main.webBrowser->url().toString(), startUrl.toString());

    // Closed, the share window is created anew for the next share page, owned by the main window.
    QPointer<ShareWindow> first = frmBrowser;
    ASSERT_EQ(runClient([&] { frmBrowser->close(); }, [&] { return first.isNull(); }), RunEnd::Stopped);
    EXPECT_EQ(frmBrowser, nullptr);
    openNewWindowAt(main, sharePage + QStringLiteral("&again=1"));
    ASSERT_EQ(runUntil([&] {
                  return frmBrowser && frmBrowser->isVisible() &&
                         frmBrowser->webBrowser1->url().query().endsWith(QStringLiteral("again=1"));
              }),
              RunEnd::Stopped);
    EXPECT_EQ(frmBrowser->parentWidget(), &main);
    EXPECT_EQ(main.webBrowser->url().toString(), startUrl.toString());
    delete frmBrowser;
}

#endif

#if QUORVANE_MAIN_WITH_DIALOGS

TEST_F(OtherWindowsTest, MenusOpenOneSecondaryWindowEach)
{
    MainWindow& main = signInAutomatically();

    main.miSetting->trigger();
    ASSERT_NE(frmSetting, nullptr);
    EXPECT_TRUE(frmSetting->isVisible());
    SettingsDialog* setting = frmSetting;
    main.miSystemSetting->trigger();
    EXPECT_EQ(frmSetting, setting);
    delete frmSetting;

    main.miChangePassword->trigger();
    ASSERT_NE(frmChangePassword, nullptr);
    EXPECT_TRUE(frmChangePassword->isVisible());
    ChangePasswordDialog* password = frmChangePassword;
    main.miChangePassword2->trigger();
    EXPECT_EQ(frmChangePassword, password);
    delete frmChangePassword;

    // The feedback link and the envelope beside it, clicked.
    QTest::mouseClick(main.labFeedback, Qt::LeftButton, {}, main.labFeedback->rect().center());
    ASSERT_NE(frmFeedback, nullptr);
    EXPECT_TRUE(frmFeedback->isVisible());
    FeedbackWindow* feedback = frmFeedback;
    frmFeedback->hide();
    QTest::mouseClick(main.imgEmail, Qt::LeftButton, {}, main.imgEmail->rect().center());
    EXPECT_EQ(frmFeedback, feedback);
    EXPECT_TRUE(frmFeedback->isVisible());
    delete frmFeedback;

    // About is modal and gone once closed.
    for (QAction* item : {main.miAbout, main.n8}) {
        QString shown;
        QTimer::singleShot(100, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                shown = QString::fromLatin1(modal->metaObject()->className());
                modal->close();
            }
        });
        item->trigger();
        EXPECT_EQ(shown, QStringLiteral("AboutDialog")) << item->objectName().toStdString();
    }
    const auto aboutWindows = [] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::count_if(windows.begin(), windows.end(),
                             [](QWidget* w) { return qobject_cast<AboutDialog*>(w) != nullptr; });
    };
    EXPECT_EQ(runUntil([&] { return aboutWindows() == 0; }), RunEnd::Stopped);
}

TEST_F(OtherWindowsTest, ClickThatEndsOffTheLinkOpensNothing)
{
    MainWindow& main = signInAutomatically();
    QTest::mousePress(main.labFeedback, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(main.labFeedback, Qt::LeftButton, {}, QPoint(-20, 5));
    EXPECT_EQ(frmFeedback, nullptr);
}

#endif

} // namespace
