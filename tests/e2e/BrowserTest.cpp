#include "tests/e2e/EndToEndTest.h"

namespace quorvane {

namespace {

using BrowserTest = EndToEndTest;

// Colours of the demo pages' controls.
constexpr QRgb kNotificationButton = qRgb(0x1d, 0x65, 0xbf); // "查看小区详情" in the notification
constexpr QRgb kShareButton = qRgb(0xe8, 0x54, 0x1e); // "分享本月房价走势到微博" on the start page
constexpr QRgb kSendButton = qRgb(0xf9, 0x8c, 0x00);  // "分享" on the microblog share page

// Height of the title bar of the client's windows.
constexpr int kTitleBarHeight = 51;

} // namespace

// The notification of a sign-in fades in at the bottom right; its "show" link brings the main
// window up from the tray on the page the link names, and the notification stays.
TEST_F(BrowserTest, NotificationShowLinkBringsUpTheMainWindowOnItsPage)
{
    saveLogin(kUser, kPassword);
    ClientProgram* client = startClient();
    const std::optional<DesktopWindow> main = waitForWindow(client->pid(), WindowSize::kMain);
    ASSERT_TRUE(main) << "no main window";

    const std::optional<DesktopWindow> note =
        waitForWindow(client->pid(), WindowSize::kNotification, kActionTimeoutMs);
    ASSERT_TRUE(note) << "no notification";
    // 20 pixels from the right edge of the work area, resting on its bottom edge (without a window
    // manager the work area is the whole screen).
    EXPECT_EQ(note->geometry.right() + 1, m_x.screenSize().width() - 20);
    EXPECT_EQ(note->geometry.bottom() + 1, m_x.screenSize().height());
    const QList<LoggedRequest> polls =
        m_server->requestsTo(QStringLiteral("/quorvane2/information/getInformationList"));
    ASSERT_FALSE(polls.isEmpty());
    EXPECT_EQ(polls[0].query.value(QStringLiteral("userName")), kUser);
    EXPECT_EQ(polls[0].query.value(QStringLiteral("v")), QStringLiteral(QUORVANE_CLIENT_VERSION_TEXT));
    EXPECT_FALSE(m_server->requestsTo(QStringLiteral("/quorvane2/information/message")).isEmpty());

    clickMinimise(*main);
    ASSERT_TRUE(waitForWindowGone(client->pid(), WindowSize::kMain)) << "the minimise button does not hide";
    ASSERT_TRUE(Desktop::shownWindowOfSize(client->pid(), note->geometry.width(), note->geometry.height()))
        << "hiding the main window took the notification along";

    // The page's own button, below the notification's title bar.
    const QRect page = note->geometry.adjusted(0, kTitleBarHeight, 0, 0);
    const std::optional<QPoint> show = waitForColour(page, kNotificationButton, QSize(30, 12));
    ASSERT_TRUE(show) << "the notification page shows no link";
    Desktop::click(*show);

    const QList<LoggedRequest> detail = waitForRequests(QStringLiteral("/quorvane2/house/detail"));
    ASSERT_EQ(detail.size(), 1) << "the main window did not open the page of the link";
    EXPECT_EQ(detail[0].query.value(QStringLiteral("id")), QStringLiteral("3"));
    const std::optional<DesktopWindow> shown =
        waitForWindow(client->pid(), WindowSize::kMain, kActionTimeoutMs);
    ASSERT_TRUE(shown) << "the main window stays in the tray";
    EXPECT_EQ(shown->id, main->id);
    EXPECT_TRUE(Desktop::shownWindowOfSize(client->pid(), note->geometry.width(), note->geometry.height()))
        << "the notification went away";
    // Polling waits while the notification is up: one poll, whatever the link did.
    EXPECT_EQ(m_server->requestsTo(QStringLiteral("/quorvane2/information/getInformationList")).size(), 1);
}

// A share link of the start page opens the share window on the microblog's share page; sending
// the share reports it, with its share type, to the application server.
TEST_F(BrowserTest, ShareLinkOpensTheShareWindowAndReportsTheShare)
{
    saveLogin(kUser, kPassword);
    ClientProgram* client = startClient();
    const std::optional<DesktopWindow> main = waitForWindow(client->pid(), WindowSize::kMain);
    ASSERT_TRUE(main) << "no main window";

    const QRect page = main->geometry.adjusted(0, kTitleBarHeight, 0, 0);
    const std::optional<QPoint> shareLink = waitForColour(page, kShareButton, QSize(60, 15));
    ASSERT_TRUE(shareLink) << "the start page shows no share button";
    Desktop::click(*shareLink);

    // A share page with a picture fits the window to 628 x 528.
    const std::optional<DesktopWindow> share =
        waitForWindow(client->pid(), WindowSize::kShareWithPicture, kActionTimeoutMs);
    ASSERT_TRUE(share) << "no share window of the share page's size";
    EXPECT_EQ(Desktop::windowName(share->id), QStringLiteral("Quorvane"));
    const QList<LoggedRequest> sharePage = waitForRequests(QStringLiteral("/share/share.php"));
    ASSERT_EQ(sharePage.size(), 1);
    EXPECT_EQ(sharePage[0].query.value(QStringLiteral("shareType")), QStringLiteral("3"));
    EXPECT_TRUE(m_server->requestsTo(QStringLiteral("/quorvane2/personalcenter/shareInfo")).isEmpty())
        << "a share was reported before it was sent";

    // The send button sits at the bottom of the form; the orange line under the page's header is
    // too thin to be taken for it.
    const std::optional<QPoint> send = waitForColour(share->geometry, kSendButton, QSize(30, 12));
    ASSERT_TRUE(send) << "the share page shows no send button";
    Desktop::click(*send);

    EXPECT_EQ(waitForRequests(QStringLiteral("/share/success.php")).size(), 1);
    const QList<LoggedRequest> reports =
        waitForRequests(QStringLiteral("/quorvane2/personalcenter/shareInfo"));
    ASSERT_EQ(reports.size(), 1) << "the completed share was not reported";
    EXPECT_EQ(reports[0].query.value(QStringLiteral("shareType")), QStringLiteral("3"));
    EXPECT_EQ(reports[0].query.value(QStringLiteral("userName")), kUser);
    EXPECT_EQ(reports[0].query.value(QStringLiteral("token")),
              m_server->requestsTo(QStringLiteral("/quorvane2/users/validateUser"))
                  .value(0)
                  .query.value(QStringLiteral("token")));
}

} // namespace quorvane
