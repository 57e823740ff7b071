#include "ui/chrome/WindowRegion.h"
#include "tests/support/TestApplication.h"
#include "ui/chrome/BorderLine.h"
#include "ui/chrome/DragImage.h"

#include <QCoreApplication>
#include <QPainter>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

struct Sample
{
    const char* where;
    QPoint point;
    bool inside;
};

// Points that decide the geometry of a rounded window of size w x h: the left column and the
// top row lie outside, the right column and the bottom row inside, the corners are cut.
std::vector<Sample> windowSamples(int w, int h)
{
    return {
        {"top left pixel", {0, 0}, false},
        {"left column", {0, h / 2}, false},
        {"top row", {w / 2, 0}, false},
        {"second column", {1, h / 2}, true},
        {"second row", {w / 2, 1}, true},
        {"right column", {w - 1, h / 2}, true},
        {"bottom row", {w / 2, h - 1}, true},
        {"top left corner", {1, 1}, false},
        {"top right corner", {w - 1, 1}, false},
        {"bottom left corner", {1, h - 1}, false},
        {"bottom right corner", {w - 1, h - 1}, false},
        {"inside the top left curve", {4, 4}, true},
        {"inside the bottom right curve", {w - 4, h - 4}, true},
        {"beyond the right edge", {w, h / 2}, false},
        {"beyond the bottom edge", {w / 2, h}, false},
    };
}

TEST(WindowRegion, RoundedWindowsForTwoSizesAndBothEllipses)
{
    const struct
    {
        QSize size;
        int ellipse;
    } windows[] = {{{451, 346}, 15}, {{995, 650}, 15}, {{415, 160}, 10}};
    for (const auto& window : windows) {
        const QRegion region = roundedWindowRegion(window.size, window.ellipse);
        for (const Sample& s : windowSamples(window.size.width(), window.size.height()))
            EXPECT_EQ(region.contains(s.point), s.inside)
                << s.where << " of " << window.size.width() << "x" << window.size.height();
    }
}

TEST(WindowRegion, TheCornerFollowsTheEllipse)
{
    // Along the top row (y = 1) the curve of a 15 x 15 ellipse starts a few pixels in, that of
    // a 10 x 10 ellipse sooner; the middle rows run from the second column to the last.
    const QRegion wide = roundedWindowRegion({200, 100}, 15);
    const QRegion narrow = roundedWindowRegion({200, 100}, 10);
    const auto firstOfRow = [](const QRegion& r, int y) {
        for (int x = 0; x < 200; ++x) {
            if (r.contains(QPoint(x, y)))
                return x;
        }
        return -1;
    };
    const auto lastOfRow = [](const QRegion& r, int y) {
        for (int x = 199; x >= 0; --x) {
            if (r.contains(QPoint(x, y)))
                return x;
        }
        return -1;
    };
    EXPECT_EQ(firstOfRow(wide, 1), 6);
    EXPECT_EQ(lastOfRow(wide, 1), 199 - 5);
    EXPECT_LT(firstOfRow(narrow, 1), firstOfRow(wide, 1));
    EXPECT_EQ(firstOfRow(wide, 8), 1);
    EXPECT_EQ(lastOfRow(wide, 50), 199);
    // Symmetric: the bottom row mirrors the top one.
    EXPECT_EQ(firstOfRow(wide, 99), firstOfRow(wide, 1));
}

TEST(WindowRegion, ShapedPanelHasSquareUpperAndRoundedLowerCorners)
{
    for (const QSize size : {QSize(991, 597), QSize(411, 110)}) {
        const int w = size.width();
        const int h = size.height();
        const QRegion region = shapedPanelRegion(size);
        const Sample samples[] = {
            {"top left pixel", {0, 0}, true},
            {"top right pixel", {w - 1, 0}, true},
            {"left column above the rounded part", {0, h - 51}, true},
            {"left column within the rounded part", {0, h - 20}, false},
            {"second column within the rounded part", {1, h - 20}, true},
            {"bottom left corner", {1, h - 1}, false},
            {"bottom right corner", {w - 1, h - 1}, false},
            {"bottom row", {w / 2, h - 1}, true},
            {"right column low down", {w - 1, h - 20}, true},
        };
        for (const Sample& s : samples)
            EXPECT_EQ(region.contains(s.point), s.inside) << s.where << " of " << w << "x" << h;
    }
}

TEST(WindowRegion, UpdateRegionRebuildsFromTheCurrentSizes)
{
    testApp();
    QWidget window;
    auto* panel = new QWidget(&window);
    window.resize(451, 346);
    panel->setGeometry(2, 51, 447, 293);
    updateRegion(&window, 15, panel);
    EXPECT_EQ(window.mask(), roundedWindowRegion({451, 346}, 15));
    EXPECT_EQ(panel->mask(), shapedPanelRegion({447, 293}));

    window.resize(700, 500);
    panel->setGeometry(2, 51, 696, 447);
    updateRegion(&window, 15, panel);
    EXPECT_EQ(window.mask(), roundedWindowRegion({700, 500}, 15));
    EXPECT_TRUE(window.mask().contains(QPoint(699, 250)));
    EXPECT_EQ(panel->mask(), shapedPanelRegion({696, 447}));
}

// A window that paints its border line itself at the end of its own painting.
class PaintingWindow final : public QWidget
{
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).fillRect(rect(), Qt::white);
        paintBorderLine(this);
    }
};

// The pixels where the border line of a w x h window runs, and some where it does not.
void expectBorderLine(const QImage& image, const char* what)
{
    const int w = image.width();
    const int h = image.height();
    const QColor line(35, 83, 141);
    const Sample samples[] = {
        {"top", {w / 2, 1}, true},
        {"left", {1, h / 2}, true},
        {"right", {w - 2, h / 2}, true},
        {"bottom", {w / 2, h - 2}, true},
        {"inside the top", {w / 2, 2}, false},
        {"right of the line", {w - 1, h / 2}, false},
        {"below the line", {w / 2, h - 1}, false},
        {"cut corner", {1, 1}, false},
        {"middle", {w / 2, h / 2}, false},
    };
    for (const Sample& s : samples)
        EXPECT_EQ(image.pixelColor(s.point) == line, s.inside) << what << ": " << s.where;
}

TEST(BorderLine, PaintedByTheWindowAndFollowingItsSize)
{
    testApp();
    PaintingWindow window;
    for (const QSize size : {QSize(300, 200), QSize(451, 346)}) {
        window.resize(size);
        expectBorderLine(window.grab().toImage(), "painted");
    }
}

TEST(BorderLine, OverlayLiesOverTheTitlePictureAndFollowsResizes)
{
    testApp();
    QWidget window;
    window.resize(300, 200);
    auto* title = new DragImage(&window);
    QPixmap white(300, 51);
    white.fill(Qt::white);
    title->setPicture(white);
    new BorderLine(&window);
    // A picture added after the line still lies below it.
    auto* late = new DragImage(&window);
    late->setPicture(white);
    late->move(0, 149);
    ASSERT_TRUE(showAndExpose(window));
    QCoreApplication::processEvents();
    expectBorderLine(window.grab().toImage(), "300x200");
    window.resize(451, 346);
    QCoreApplication::processEvents();
    expectBorderLine(window.grab().toImage(), "451x346");
}

} // namespace

} // namespace quorvane
