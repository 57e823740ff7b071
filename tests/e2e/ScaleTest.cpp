// The client on high-density screens, scaled as a desktop scales it (QT_SCALE_FACTOR 1.5 and 2):
// the login window at each scale is compared with the same window at scale 1, point by point,
// and its buttons are used where they are drawn.
#include "tests/e2e/EndToEndTest.h"

#include <QThread>
#include <cmath>

namespace quorvane {

namespace {

const QRgb kTitleBlue = qRgb(22, 80, 153);
const QRgb kCloseHoverRed = qRgb(224, 67, 56);

bool nearColour(QRgb a, QRgb b, int tolerance = 8)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance && std::abs(qAlpha(a) - qAlpha(b)) <= tolerance;
}

// Whether the pixels around `p` (two each way) all have one colour: a point of plain ground, where
// a drawing at any scale must show that colour too.
bool plainGround(const QImage& image, QPoint p)
{
    const QRgb colour = image.pixel(p);
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const QPoint q = p + QPoint(dx, dy);
            if (!image.rect().contains(q) || image.pixel(q) != colour)
                return false;
        }
    }
    return true;
}

// The pixel of a window shown at `scale` that holds the centre of the point `p` of its 1x drawing.
QPoint scaledPixel(QPoint p, qreal scale)
{
    return QPoint(int(std::floor((p.x() + 0.5) * scale)), int(std::floor((p.y() + 0.5) * scale)));
}

class ScaleTest : public EndToEndTest, public ::testing::WithParamInterface<qreal>
{
protected:
    // Room for the login window at twice its size.
    QSize screenSize() const override { return QSize(1600, 1200); }

    // Starts the client at `scale` with no saved login and waits for its login window, drawn.
    std::optional<DesktopWindow> startAtScale(qreal scale)
    {
        QProcessEnvironment environment;
        if (scale != 1)
            environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
        const qint64 pid = startClient(QString(), environment)->pid();
        const std::optional<DesktopWindow> login = waitForScaledWindow(pid, WindowSize::kLogin, scale);
        // Drawn once the right end of the title bar shows its blue.
        if (login && !waitFor(
                         [&] {
                             return nearColour(m_x.grab(login->geometry).pixel(scaledPixel({440, 40}, scale)),
                                               kTitleBlue);
                         },
                         kActionTimeoutMs))
            return std::nullopt;
        QThread::msleep(500); // the rest of the window paints in the same frame, or the next
        return login;
    }
};

TEST_P(ScaleTest, WindowLooksAsAtScaleOneWithItsShapeAndBorder)
{
    const qreal scale = GetParam();
    const std::optional<DesktopWindow> single = startAtScale(1);
    ASSERT_TRUE(single);
    const QImage one = m_x.grabWindow(single->id, single->geometry);
    m_clients.back()->end();

    const std::optional<DesktopWindow> scaled = startAtScale(scale);
    ASSERT_TRUE(scaled);
    const QImage many = m_x.grabWindow(scaled->id, scaled->geometry);

    // Every point of plain ground: the frames, the title bar, the buttons' faces and the
    // corners cut away by the window's shape (transparent in both).
    int plain = 0;
    QList<QPoint> differing;
    for (int y = 0; y < one.height(); y += 2) {
        for (int x = 0; x < one.width(); x += 2) {
            if (!plainGround(one, {x, y}))
                continue;
            ++plain;
            if (!nearColour(one.pixel(x, y), many.pixel(scaledPixel({x, y}, scale))))
                differing.append({x, y});
        }
    }
    ASSERT_GT(plain, 10000);
    // A few may differ: the caret of the focused field blinks.
    EXPECT_LT(differing.size(), plain / 200)
        << "first differing point " << differing.value(0).x() << "," << differing.value(0).y();

    // The edges: the border line (or the picture over it) one point in from the window's edge,
    // and the column and the row outside it cut away by the shape, at every scale.
    const QSize size = WindowSize::kLogin;
    QList<QPoint> edge;
    QList<QPoint> outside;
    for (int x = 8; x < size.width() - 8; x += 7) {
        edge << QPoint(x, 1) << QPoint(x, size.height() - 2);
        outside << QPoint(x, 0);
    }
    for (int y = 8; y < size.height() - 8; y += 7) {
        edge << QPoint(1, y) << QPoint(size.width() - 2, y);
        outside << QPoint(0, y);
    }
    for (const QPoint p : edge)
        EXPECT_TRUE(nearColour(one.pixel(p), many.pixel(scaledPixel(p, scale)), 24))
            << "edge at " << p.x() << "," << p.y();
    for (const QPoint p : outside) {
        EXPECT_EQ(qAlpha(one.pixel(p)), 0) << "scale 1, outside the shape at " << p.x() << "," << p.y();
        EXPECT_EQ(qAlpha(many.pixel(scaledPixel(p, scale))), 0)
            << "outside the shape at " << p.x() << "," << p.y();
    }
}

TEST_P(ScaleTest, ButtonsAnswerWhereTheyAreDrawn)
{
    const qreal scale = GetParam();
    const std::optional<DesktopWindow> login = startAtScale(scale);
    ASSERT_TRUE(login);
    // The close button of the title bar, 28 x 16 points at (415, 8): lit under the pointer...
    const QPoint plate = scaledPixel({415 + 4, 8 + 8}, scale);
    Desktop::moveMouse(login->geometry.topLeft() + scaledPixel({415 + 14, 8 + 8}, scale));
    EXPECT_TRUE(
        waitFor([&] { return nearColour(m_x.grab(login->geometry).pixel(plate), kCloseHoverRed, 24); },
                kActionTimeoutMs));
    // ...and it closes the window when clicked there.
    Desktop::click(login->geometry.topLeft() + scaledPixel({415 + 14, 8 + 8}, scale));
    EXPECT_TRUE(
        waitFor([&] { return !Desktop::inspect(login->id) || !Desktop::inspect(login->id)->viewable; },
                kActionTimeoutMs));
}

INSTANTIATE_TEST_SUITE_P(HighDensity, ScaleTest, ::testing::Values(1.5, 2.0),
                         [](const ::testing::TestParamInfo<qreal>& info) {
                             return info.param == 2.0 ? std::string("Scale2") : std::string("Scale1_5");
                         });

} // namespace

} // namespace quorvane
