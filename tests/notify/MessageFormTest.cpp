#include "notify/MessageForm.h"
#include "notify/MessageTitle.h"
#include "resources/SkinPictures.h"
#include "tests/notify/PopupFixture.h"
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

namespace {

using MessageFormTest = PopupFixture;

// The work area's right and bottom edges, one past the last pixel.
int AreaRight()
{
    const QRect area = TfrmMessage::WorkArea();
    return area.x() + area.width();
}

int AreaBottom()
{
    const QRect area = TfrmMessage::WorkArea();
    return area.y() + area.height();
}

TEST_F(MessageFormTest, ANotificationOf300By200SitsAtTheBottomRight)
{
    form->ShowInformation(&pollingThread, Notice("plain"));
    // Sized, paused and counting at once; shown only once the page has loaded.
    EXPECT_TRUE(pollingThread.Paused());
    EXPECT_TRUE(form->PositionPending());
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(form->Timer1->interval(), 120000);
    EXPECT_EQ(form->size(), QSize(303, 205));
    EXPECT_EQ(form->imgClose->geometry(), QRect(303 - 28 - 17, 8, 28, 16));
    EXPECT_EQ(form->width() - (form->imgClose->x() + form->imgClose->width()), 17);
    EXPECT_EQ(form->imgClose->toolTip(), QStringLiteral("关闭"));
    EXPECT_EQ(form->Panel1->geometry(), QRect(0, 0, 303, 51));
    EXPECT_EQ(form->Panel2->geometry(), QRect(2, 51, 299, 152));
    EXPECT_EQ(form->WebBrowser1->geometry(), QRect(-2, -1, 301, 154));
    EXPECT_EQ(form->mask(), RoundedWindowRegion(QSize(303, 205), 10));
    EXPECT_EQ(form->Panel2->mask(), ShapedPanelRegion(QSize(299, 152)));

    ASSERT_TRUE(WaitUntil([&] { return FadedIn(); }));
    EXPECT_EQ(form->geometry(), QRect(AreaRight() - 303 - 20, AreaBottom() - 205, 303, 205));
    EXPECT_FALSE(form->PositionPending());
    EXPECT_EQ(fadeIns, 1);
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_TRUE(pollingThread.Paused());
}

TEST_F(MessageFormTest, SizesOutsideTheUsableRangeAreClamped)
{
    const QRect area = TfrmMessage::WorkArea();
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
        ASSERT_TRUE(ShowAndFadeIn(Notice("plain", c.width, c.height)));
        EXPECT_EQ(form->size(), c.window);
        // Always wholly inside the work area, 20 pixels from its right edge.
        EXPECT_EQ(form->geometry(),
                  QRect(AreaRight() - c.window.width() - 20, AreaBottom() - c.window.height(),
                        c.window.width(), c.window.height()));
        EXPECT_TRUE(area.contains(form->geometry()));
        EXPECT_EQ(form->width() - (form->imgClose->x() + form->imgClose->width()), 17);
        // The title picture reaches across however wide the window is.
        EXPECT_GE(form->Image1->width(), form->width());
        form->close();
    }
}

TEST_F(MessageFormTest, APageWithFramesFadesInOnce)
{
    form->ShowInformation(&pollingThread, Notice("frames"));
    const QStringList expected = {rig.AppUrl() + "/notice/frameA", rig.AppUrl() + "/notice/frameB",
                                  rig.AppUrl() + "/notice/frames"};
    ASSERT_TRUE(WaitUntil([&] {
        return FadedIn() && std::all_of(expected.begin(), expected.end(),
                                        [&](const QString& url) { return completions.contains(url); });
    })) << completions.join(' ').toStdString();
    RunEvents(200);
    EXPECT_EQ(fadeIns, 1);

    // A page reached by a link inside the notification changes nothing either.
    const QPoint placed = form->pos();
    form->move(placed - QPoint(40, 40));
    Js(QStringLiteral("location.href = '/quorvane2/notice/second'"));
    ASSERT_TRUE(WaitUntil([&] { return completions.contains(rig.AppUrl() + "/notice/second"); }));
    RunEvents(200);
    EXPECT_EQ(fadeIns, 1);
    EXPECT_EQ(form->pos(), placed - QPoint(40, 40));
}

TEST_F(MessageFormTest, FadesInAndOutThroughEveryOpacity)
{
    // The client's own pauses: a short one up to 100, a longer one above, and 8 during the fade-out.
    const TMessageTimings timings;
    EXPECT_EQ(timings.showMs, 120000);
    EXPECT_EQ(timings.FadeInPause(0), 5);
    EXPECT_EQ(timings.FadeInPause(100), 5);
    EXPECT_EQ(timings.FadeInPause(101), 10);
    EXPECT_EQ(timings.FadeInPause(255), 10);
    EXPECT_EQ(timings.fadeOutMs, 8);

    ASSERT_TRUE(ShowAndFadeIn(Notice("plain")));
    QList<int> upwards(256);
    std::iota(upwards.begin(), upwards.end(), 0);
    EXPECT_EQ(opacities, upwards);
    EXPECT_TRUE(form->Translucent());
    EXPECT_DOUBLE_EQ(form->windowOpacity(), 1.0);

    // The mouse is away from the window: the whole fade-out runs and the window closes.
    MovePointer(QPoint(5, 5));
    opacities.clear();
    TwoMinutesPass();
    ASSERT_TRUE(WaitUntil([&] { return closes == 1; }));
    QList<int> downwards(upwards.rbegin(), upwards.rend());
    EXPECT_EQ(opacities, downwards);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_FALSE(pollingThread.Paused());
}

TEST_F(MessageFormTest, TheMouseOverTheWindowStopsTheFadeOut)
{
    ASSERT_TRUE(ShowAndFadeIn(Notice("plain")));
    MovePointer(form->geometry().center());
    opacities.clear();
    TwoMinutesPass();
    ASSERT_TRUE(WaitUntil([&] { return !form->Timer1->isActive() && !form->FadingOut(); }));
    RunEvents(100);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->Translucent());
    EXPECT_DOUBLE_EQ(form->windowOpacity(), 1.0);
    EXPECT_TRUE(opacities.isEmpty()) << "the fade stopped before its first step";
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_TRUE(pollingThread.Paused());
    EXPECT_EQ(closes, 0);

    // Out across the title bar: a new two-minute countdown starts.
    MovePointer(form->mapToGlobal(QPoint(100, 25)));
    EXPECT_FALSE(form->Timer1->isActive());
    MovePointer(form->mapToGlobal(QPoint(100, -30)));
    ASSERT_TRUE(WaitUntil([&] { return form->Timer1->isActive(); }));
    EXPECT_GT(form->Timer1->remainingTime(), 60000);

    // Back over the page, then out through the page's side: the same.
    form->StopFadeOut();
    MovePointer(form->mapToGlobal(QPoint(150, 120)));
    EXPECT_FALSE(form->Timer1->isActive());
    MovePointer(form->mapToGlobal(QPoint(form->width() + 10, 120)));
    ASSERT_TRUE(WaitUntil([&] { return form->Timer1->isActive(); }));
    EXPECT_TRUE(form->isVisible());
}

TEST_F(MessageFormTest, TheCloseButtonHidesTheWindowAndResumesPolling)
{
    ASSERT_TRUE(ShowAndFadeIn(Notice("plain")));
    ASSERT_TRUE(pollingThread.Paused());
    QTest::mouseClick(form->imgClose, Qt::LeftButton, {}, QPoint(14, 8));
    ASSERT_TRUE(WaitUntil([&] { return !form->isVisible(); }));
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(pollingThread.Paused());
    // The next notification gets its full two minutes.
    EXPECT_FALSE(form->Timer1->isActive());
    // Closing it never ends the client, even as the last window on screen.
    EXPECT_FALSE(form->testAttribute(Qt::WA_QuitOnClose));

    ASSERT_TRUE(ShowAndFadeIn(Notice("plain")));
    EXPECT_GT(form->Timer1->remainingTime(), 60000);
    EXPECT_TRUE(pollingThread.Paused());
}

// A client at rest in the tray keeps no page of a notification it no longer shows: the page's
// renderer process ends when the window closes, and the next notification loads anew.
TEST_F(MessageFormTest, AClosedNotificationGivesUpItsPageAndTheNextOneLoadsAnew)
{
    ASSERT_TRUE(ShowAndFadeIn(Notice("plain")));
    QWebEnginePage* page = form->WebBrowser1->page();
    ASSERT_TRUE(WaitUntil([&] { return page->renderProcessPid() > 0; }));
    QTest::mouseClick(form->imgClose, Qt::LeftButton, {}, QPoint(14, 8));
    ASSERT_TRUE(
        WaitUntil([&] { return page->lifecycleState() == QWebEnginePage::LifecycleState::Discarded; }));
    EXPECT_TRUE(WaitUntil([&] { return page->renderProcessPid() == 0; }));
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(pollingThread.Paused());

    rig.server.ClearRequests();
    completions.clear();
    ASSERT_TRUE(ShowAndFadeIn(Notice("second")));
    EXPECT_EQ(page->lifecycleState(), QWebEnginePage::LifecycleState::Active);
    EXPECT_EQ(fadeIns, 2);
    // Only the new page was asked for: the old one is not loaded again on the way.
    EXPECT_EQ(rig.server.Targets().filter(QStringLiteral("/notice/")),
              QStringList{QStringLiteral("/quorvane2/notice/second")});
    EXPECT_TRUE(
        Js(QStringLiteral("document.location.pathname")).toString().endsWith(QStringLiteral("/second")));
}

TEST_F(MessageFormTest, APageThatNeverLoadsIsClosedAfterTwoMinutesAndPollingResumes)
{
    rig.server.Stall("/quorvane2/notice/stalled");
    form->ShowInformation(&pollingThread, Notice("stalled"));
    ASSERT_TRUE(WaitUntil([&] { return !rig.server.Targets().isEmpty(); }));
    // Even with the pointer where the window would be: a window not on screen has no mouse over it.
    MovePointer(QPoint(AreaRight() - 170, AreaBottom() - 100));
    TwoMinutesPass();
    ASSERT_TRUE(WaitUntil([&] { return closes == 1; }));
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(pollingThread.Paused());
    EXPECT_EQ(fadeIns, 0);
}

TEST_F(MessageFormTest, APageThatLoadsAfterTheCloseDoesNotBringTheWindowBack)
{
    rig.server.Get("/quorvane2/notice/slow", [](const httplib::Request&, httplib::Response& response) {
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        response.set_content("<!doctype html><p>slow</p>", "text/html");
    });
    form->ShowInformation(&pollingThread, Notice("slow"));
    ASSERT_TRUE(WaitUntil([&] { return !rig.server.Targets().isEmpty(); }));
    form->close();
    RunEvents(1500);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(fadeIns, 0);
    EXPECT_FALSE(pollingThread.Paused());
}

TEST_F(MessageFormTest, NeverTakesTheFocusAndHasNoTaskBarEntry)
{
    QWidget other;
    other.setWindowTitle(QStringLiteral("other"));
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    const bool otherActive = QTest::qWaitForWindowActive(&other, 5000);

    ASSERT_TRUE(ShowAndFadeIn(Notice("plain")));
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(form->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(form->parentWidget(), nullptr);
    EXPECT_FALSE(form->isActiveWindow());
    if (otherActive) {
        EXPECT_EQ(QApplication::activeWindow(), &other);
    }
    // A click into the page works without taking the focus either.
    WaitForInput();
    RunEvents(100);
    EXPECT_FALSE(form->isActiveWindow());
}

TEST_F(MessageFormTest, ARightClickInThePageShowsNoMenu)
{
    ASSERT_TRUE(ShowAndFadeIn(Notice("plain")));
    WaitForInput();
    const int leftBefore = Count("left");
    const QPoint inside = form->mapFromGlobal(form->WebBrowser1->mapToGlobal(QPoint(150, 120)));
    QTest::mouseClick(form->windowHandle(), Qt::RightButton, {}, inside);
    // Once the page has seen the left click after it, it would have seen the right one too.
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, inside);
    ASSERT_TRUE(WaitUntil([&] { return Count("left") > leftBefore; }));
    EXPECT_EQ(Count("right"), 0);
    EXPECT_EQ(Count("menu"), 0);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// The window's pixels on the screen, as the X server shows them.
QImage Screenshot(const QWidget& window)
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(0)
        .toImage()
        .copy(window.geometry())
        .convertToFormat(QImage::Format_RGB32);
}

TEST_F(MessageFormTest, LooksLikeANotification)
{
    ASSERT_TRUE(ShowAndFadeIn(Notice("plain", 300, 200)));
    RunEvents(500); // let the page paint
    const QImage shot = Screenshot(*form);
    if (const QByteArray dir = qgetenv("QUORVANE_SCREENSHOT_DIR"); !dir.isEmpty())
        shot.save(QDir(QString::fromLocal8Bit(dir)).filePath(QStringLiteral("notification.png")));
    ASSERT_EQ(shot.size(), QSize(303, 205));

    // The title bar shows its picture, with the close button's white cross on it.
    const QImage title = MessageTitlePicture(303).toImage().convertToFormat(QImage::Format_RGB32);
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
    EXPECT_FALSE(form->mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(form->mask().contains(QPoint(302, 204)));
}

TEST_F(MessageFormTest, AWideTitleBarRepeatsThePicturesLastColumn)
{
    ASSERT_TRUE(ShowAndFadeIn(Notice("plain", 700, 150)));
    RunEvents(300);
    const QImage shot = Screenshot(*form);
    const QImage picture = SkinBitmap(QString::fromLatin1(SkinPicture::MessageTitle))
                               .toImage()
                               .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.width(), 703);
    ASSERT_EQ(picture.width(), 415);
    for (int y = 1; y < 51; ++y) {
        EXPECT_EQ(shot.pixel(200, y), picture.pixel(200, y)) << y;
        for (const int x : {415, 500, 640})
            ASSERT_EQ(shot.pixel(x, y), picture.pixel(414, y)) << x << ", " << y;
    }
    EXPECT_EQ(form->imgClose->x(), 703 - 28 - 17);
}

} // namespace
