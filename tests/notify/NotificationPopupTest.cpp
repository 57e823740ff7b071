#include "notify/NotificationPopup.h"
#include "notify/MessageTitle.h"
#include "resources/SkinPictures.h"
#include "tests/notify/PopupFixture.h"
#include "tests/support/NamedChild.h"
#include "ui/chrome/BorderLine.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/DragImage.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/SkinBitmap.h"
#include "ui/chrome/WindowRegion.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWindow>

#include <chrono>
#include <numeric>
#include <thread>

namespace quorvane {

namespace {

using NotificationPopupTest = PopupFixture;

// The work area's right and bottom edges, one past the last pixel.
int areaRight()
{
    const QRect area = NotificationPopup::workArea();
    return area.x() + area.width();
}

int areaBottom()
{
    const QRect area = NotificationPopup::workArea();
    return area.y() + area.height();
}

TEST_F(NotificationPopupTest, ANotificationOf300By200SitsAtTheBottomRight)
{
    m_form->showNotification(notice("plain"));
    // Sized, paused and counting at once; shown only once the page has loaded.
    EXPECT_TRUE(m_pollingThread.paused());
    EXPECT_TRUE(m_form->positionPending());
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_TRUE(child<QTimer>(m_form, "closeTimer")->isActive());
    EXPECT_EQ(child<QTimer>(m_form, "closeTimer")->interval(), 120000);
    EXPECT_EQ(m_form->size(), QSize(303, 205));
    EXPECT_EQ(child<ImageButton>(m_form, "closeButton")->geometry(), QRect(303 - 28 - 17, 8, 28, 16));
    EXPECT_EQ(m_form->width() - (child<ImageButton>(m_form, "closeButton")->x() +
                                 child<ImageButton>(m_form, "closeButton")->width()),
              17);
    EXPECT_EQ(child<ImageButton>(m_form, "closeButton")->toolTip(), QStringLiteral("关闭"));
    EXPECT_EQ(child<QWidget>(m_form, "titleBar")->geometry(), QRect(0, 0, 303, 51));
    EXPECT_EQ(child<QWidget>(m_form, "browserPanel")->geometry(), QRect(2, 51, 299, 152));
    EXPECT_EQ(child<BrowserView>(m_form, "browser")->geometry(), QRect(-2, -1, 301, 154));
    EXPECT_EQ(m_form->mask(), roundedWindowRegion(QSize(303, 205), 10));
    EXPECT_EQ(child<QWidget>(m_form, "browserPanel")->mask(), shapedPanelRegion(QSize(299, 152)));

    ASSERT_TRUE(waitUntil([&] { return fadedIn(); }));
    EXPECT_EQ(m_form->geometry(), QRect(areaRight() - 303 - 20, areaBottom() - 205, 303, 205));
    EXPECT_FALSE(m_form->positionPending());
    EXPECT_EQ(m_fadeIns, 1);
    EXPECT_TRUE(child<QTimer>(m_form, "closeTimer")->isActive());
    EXPECT_TRUE(m_pollingThread.paused());
}

TEST_F(NotificationPopupTest, SizesOutsideTheUsableRangeAreClamped)
{
    const QRect area = NotificationPopup::workArea();
    const struct
    {
        int width;
        int height;
        QSize window;
    } cases[] = {
        {5000, 10, {area.width() - 20, 55}},
        {-7, 3, {53, 55}},
        {0, 100000, {53, area.height()}},
        {50, 50, {53, 55}},
        {area.width() - 23, area.height() - 5, {area.width() - 20, area.height()}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 x %2").arg(c.width).arg(c.height).toStdString());
        ASSERT_TRUE(showAndFadeIn(notice("plain", c.width, c.height)));
        EXPECT_EQ(m_form->size(), c.window);
        // Always wholly inside the work area, 20 pixels from its right edge.
        EXPECT_EQ(m_form->geometry(),
                  QRect(areaRight() - c.window.width() - 20, areaBottom() - c.window.height(),
                        c.window.width(), c.window.height()));
        EXPECT_TRUE(area.contains(m_form->geometry()));
        EXPECT_EQ(m_form->width() - (child<ImageButton>(m_form, "closeButton")->x() +
                                     child<ImageButton>(m_form, "closeButton")->width()),
                  17);
        // The title picture reaches across however wide the window is.
        EXPECT_GE(child<DragImage>(m_form, "titlePicture")->width(), m_form->width());
        m_form->close();
    }
}

TEST_F(NotificationPopupTest, APageWithFramesFadesInOnce)
{
    m_form->showNotification(notice("frames"));
    const QStringList expected = {m_rig.appUrl() + "/notice/frameA", m_rig.appUrl() + "/notice/frameB",
                                  m_rig.appUrl() + "/notice/frames"};
    ASSERT_TRUE(waitUntil([&] {
        return fadedIn() && std::all_of(expected.begin(), expected.end(),
                                        [&](const QString& url) { return m_completions.contains(url); });
    })) << m_completions.join(' ').toStdString();
    runEvents(200);
    EXPECT_EQ(m_fadeIns, 1);

    // A page reached by a link inside the notification changes nothing either.
    const QPoint placed = m_form->pos();
    m_form->move(placed - QPoint(40, 40));
    js(QStringLiteral("location.href = '/quorvane2/notice/second'"));
    ASSERT_TRUE(waitUntil([&] { return m_completions.contains(m_rig.appUrl() + "/notice/second"); }));
    runEvents(200);
    EXPECT_EQ(m_fadeIns, 1);
    EXPECT_EQ(m_form->pos(), placed - QPoint(40, 40));
}

TEST_F(NotificationPopupTest, FadesInAndOutThroughEveryOpacity)
{
    // The client's own pauses: a short one up to 100, a longer one above, and 8 during the fade-out.
    const MessageTimings timings;
    EXPECT_EQ(timings.showMs, 120000);
    EXPECT_EQ(timings.fadeInPause(0), 5);
    EXPECT_EQ(timings.fadeInPause(100), 5);
    EXPECT_EQ(timings.fadeInPause(101), 10);
    EXPECT_EQ(timings.fadeInPause(255), 10);
    EXPECT_EQ(timings.fadeOutMs, 8);

    ASSERT_TRUE(showAndFadeIn(notice("plain")));
    QList<int> upwards(256);
    std::iota(upwards.begin(), upwards.end(), 0);
    EXPECT_EQ(m_opacities, upwards);
    EXPECT_TRUE(m_form->translucent());
    EXPECT_DOUBLE_EQ(m_form->windowOpacity(), 1.0);

    // The mouse is away from the window: the whole fade-out runs and the window closes.
    movePointer(QPoint(5, 5));
    m_opacities.clear();
    twoMinutesPass();
    ASSERT_TRUE(waitUntil([&] { return m_closes == 1; }));
    QList<int> downwards(upwards.rbegin(), upwards.rend());
    EXPECT_EQ(m_opacities, downwards);
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_FALSE(child<QTimer>(m_form, "closeTimer")->isActive());
    EXPECT_FALSE(m_pollingThread.paused());
}

TEST_F(NotificationPopupTest, TheMouseOverTheWindowStopsTheFadeOut)
{
    ASSERT_TRUE(showAndFadeIn(notice("plain")));
    movePointer(m_form->geometry().center());
    m_opacities.clear();
    twoMinutesPass();
    ASSERT_TRUE(
        waitUntil([&] { return !child<QTimer>(m_form, "closeTimer")->isActive() && !m_form->fadingOut(); }));
    runEvents(100);
    EXPECT_TRUE(m_form->isVisible());
    EXPECT_FALSE(m_form->translucent());
    EXPECT_DOUBLE_EQ(m_form->windowOpacity(), 1.0);
    EXPECT_TRUE(m_opacities.isEmpty()) << "the fade stopped before its first step";
    EXPECT_FALSE(child<QTimer>(m_form, "closeTimer")->isActive());
    EXPECT_TRUE(m_pollingThread.paused());
    EXPECT_EQ(m_closes, 0);

    // Out across the title bar: a new two-minute countdown starts.
    movePointer(m_form->mapToGlobal(QPoint(100, 25)));
    EXPECT_FALSE(child<QTimer>(m_form, "closeTimer")->isActive());
    movePointer(m_form->mapToGlobal(QPoint(100, -30)));
    ASSERT_TRUE(waitUntil([&] { return child<QTimer>(m_form, "closeTimer")->isActive(); }));
    EXPECT_GT(child<QTimer>(m_form, "closeTimer")->remainingTime(), 60000);

    // Back over the page, then out through the page's side: the same.
    m_form->stopFadeOut();
    movePointer(m_form->mapToGlobal(QPoint(150, 120)));
    EXPECT_FALSE(child<QTimer>(m_form, "closeTimer")->isActive());
    movePointer(m_form->mapToGlobal(QPoint(m_form->width() + 10, 120)));
    ASSERT_TRUE(waitUntil([&] { return child<QTimer>(m_form, "closeTimer")->isActive(); }));
    EXPECT_TRUE(m_form->isVisible());
}

TEST_F(NotificationPopupTest, TheCloseButtonHidesTheWindowAndResumesPolling)
{
    ASSERT_TRUE(showAndFadeIn(notice("plain")));
    ASSERT_TRUE(m_pollingThread.paused());
    QTest::mouseClick(child<ImageButton>(m_form, "closeButton"), Qt::LeftButton, {}, QPoint(14, 8));
    ASSERT_TRUE(waitUntil([&] { return !m_form->isVisible(); }));
    EXPECT_EQ(m_closes, 1);
    EXPECT_FALSE(m_pollingThread.paused());
    // The next notification gets its full two minutes.
    EXPECT_FALSE(child<QTimer>(m_form, "closeTimer")->isActive());
    // Closing it never ends the client, even as the last window on screen.
    EXPECT_FALSE(m_form->testAttribute(Qt::WA_QuitOnClose));

    ASSERT_TRUE(showAndFadeIn(notice("plain")));
    EXPECT_GT(child<QTimer>(m_form, "closeTimer")->remainingTime(), 60000);
    EXPECT_TRUE(m_pollingThread.paused());
}

// A client at rest in the tray keeps no page of a notification it no longer shows: the page's
// renderer process ends when the window closes, and the next notification loads anew.
TEST_F(NotificationPopupTest, AClosedNotificationGivesUpItsPageAndTheNextOneLoadsAnew)
{
    ASSERT_TRUE(showAndFadeIn(notice("plain")));
    QWebEnginePage* page = child<BrowserView>(m_form, "browser")->page();
    ASSERT_TRUE(waitUntil([&] { return page->renderProcessPid() > 0; }));
    QTest::mouseClick(child<ImageButton>(m_form, "closeButton"), Qt::LeftButton, {}, QPoint(14, 8));
    ASSERT_TRUE(
        waitUntil([&] { return page->lifecycleState() == QWebEnginePage::LifecycleState::Discarded; }));
    EXPECT_TRUE(waitUntil([&] { return page->renderProcessPid() == 0; }));
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_FALSE(m_pollingThread.paused());

    m_rig.server.clearRequests();
    m_completions.clear();
    ASSERT_TRUE(showAndFadeIn(notice("second")));
    EXPECT_EQ(page->lifecycleState(), QWebEnginePage::LifecycleState::Active);
    EXPECT_EQ(m_fadeIns, 2);
    // Only the new page was asked for: the old one is not loaded again on the way.
    EXPECT_EQ(m_rig.server.targets().filter(QStringLiteral("/notice/")),
              QStringList{QStringLiteral("/quorvane2/notice/second")});
    EXPECT_TRUE(
        js(QStringLiteral("document.location.pathname")).toString().endsWith(QStringLiteral("/second")));
}

TEST_F(NotificationPopupTest, APageThatNeverLoadsIsClosedAfterTwoMinutesAndPollingResumes)
{
    m_rig.server.stall("/quorvane2/notice/stalled");
    m_form->showNotification(notice("stalled"));
    ASSERT_TRUE(waitUntil([&] { return !m_rig.server.targets().isEmpty(); }));
    // Even with the pointer where the window would be: a window not on screen has no mouse over it.
    movePointer(QPoint(areaRight() - 170, areaBottom() - 100));
    twoMinutesPass();
    ASSERT_TRUE(waitUntil([&] { return m_closes == 1; }));
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_FALSE(m_pollingThread.paused());
    EXPECT_EQ(m_fadeIns, 0);
}

TEST_F(NotificationPopupTest, APageThatLoadsAfterTheCloseDoesNotBringTheWindowBack)
{
    m_rig.server.get("/quorvane2/notice/slow", [](const httplib::Request&, httplib::Response& response) {
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        response.set_content("<!doctype html><p>slow</p>", "text/html");
    });
    m_form->showNotification(notice("slow"));
    ASSERT_TRUE(waitUntil([&] { return !m_rig.server.targets().isEmpty(); }));
    m_form->close();
    runEvents(1500);
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_EQ(m_fadeIns, 0);
    EXPECT_FALSE(m_pollingThread.paused());
}

TEST_F(NotificationPopupTest, NeverTakesTheFocusAndHasNoTaskBarEntry)
{
    QWidget other;
    other.setWindowTitle(QStringLiteral("other"));
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    const bool otherActive = QTest::qWaitForWindowActive(&other, 5000);

    ASSERT_TRUE(showAndFadeIn(notice("plain")));
    const Qt::WindowFlags flags = m_form->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(m_form->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(m_form->parentWidget(), nullptr);
    EXPECT_FALSE(m_form->isActiveWindow());
    if (otherActive) {
        EXPECT_EQ(QApplication::activeWindow(), &other);
    }
    // A click into the page works without taking the focus either.
    waitForInput();
    runEvents(100);
    EXPECT_FALSE(m_form->isActiveWindow());
}

TEST_F(NotificationPopupTest, ARightClickInThePageShowsNoMenu)
{
    ASSERT_TRUE(showAndFadeIn(notice("plain")));
    waitForInput();
    const int leftBefore = count("left");
    const QPoint inside =
        m_form->mapFromGlobal(child<BrowserView>(m_form, "browser")->mapToGlobal(QPoint(150, 120)));
    QTest::mouseClick(m_form->windowHandle(), Qt::RightButton, {}, inside);
    // Once the page has seen the left click after it, it would have seen the right one too.
    QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, inside);
    ASSERT_TRUE(waitUntil([&] { return count("left") > leftBefore; }));
    EXPECT_EQ(count("right"), 0);
    EXPECT_EQ(count("menu"), 0);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// The window's pixels on the screen, as the X server shows them.
QImage screenshot(const QWidget& window)
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(0)
        .toImage()
        .copy(window.geometry())
        .convertToFormat(QImage::Format_RGB32);
}

TEST_F(NotificationPopupTest, LooksLikeANotification)
{
    ASSERT_TRUE(showAndFadeIn(notice("plain", 300, 200)));
    runEvents(500); // let the page paint
    const QImage shot = screenshot(*m_form);
    if (const QByteArray dir = qgetenv("QUORVANE_SCREENSHOT_DIR"); !dir.isEmpty())
        shot.save(QDir(QString::fromLocal8Bit(dir)).filePath(QStringLiteral("notification.png")));
    ASSERT_EQ(shot.size(), QSize(303, 205));

    // The title bar shows its picture, with the close button's white cross on it.
    const QImage title = messageTitlePicture(303).toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 1; y < 51; ++y) {
        for (const int x : {20, 60, 150, 240, 280})
            ASSERT_EQ(shot.pixel(x, y), title.pixel(x, y)) << x << ", " << y;
    }
    bool white = false;
    for (int x = 258; x < 286; ++x)
        for (int y = 8; y < 24; ++y)
            white = white || QColor(shot.pixel(x, y)).lightness() > 230;
    EXPECT_TRUE(white);
    // The page fills the panel below.
    EXPECT_EQ(QColor(shot.pixel(150, 190)), QColor(0xfd, 0xf3, 0xd8));
    // The border line shows in the strips beside and below the page.
    EXPECT_EQ(QColor(shot.pixel(1, 120)), kBorderLineColor);
    EXPECT_EQ(QColor(shot.pixel(301, 120)), kBorderLineColor);
    EXPECT_EQ(QColor(shot.pixel(150, 203)), kBorderLineColor);
    // The rounded region leaves the corners out.
    EXPECT_FALSE(m_form->mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(m_form->mask().contains(QPoint(302, 204)));
}

TEST_F(NotificationPopupTest, AWideTitleBarRepeatsThePicturesLastColumn)
{
    ASSERT_TRUE(showAndFadeIn(notice("plain", 700, 150)));
    runEvents(300);
    const QImage shot = screenshot(*m_form);
    const QImage picture = skinBitmap(QString::fromLatin1(SkinPicture::MessageTitle))
                               .toImage()
                               .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.width(), 703);
    ASSERT_EQ(picture.width(), 415);
    for (int y = 1; y < 51; ++y) {
        EXPECT_EQ(shot.pixel(200, y), picture.pixel(200, y)) << y;
        for (const int x : {415, 500, 640})
            ASSERT_EQ(shot.pixel(x, y), picture.pixel(414, y)) << x << ", " << y;
    }
    EXPECT_EQ(child<ImageButton>(m_form, "closeButton")->x(), 703 - 28 - 17);
}

} // namespace

} // namespace quorvane
