#include "resources/SkinPictures.h"
#include "tests/support/TestApplication.h"
#include "ui/chrome/DragImage.h"
#include "ui/chrome/SkinBitmap.h"

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

// Real pointer input from the X server, made with xdotool; the window's position is then read
// back from the X server too.
bool xdotool(const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return false;
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput());
    return true;
}

QPoint xPosition(const QWidget& window)
{
    QString geometry;
    if (!xdotool({QStringLiteral("getwindowgeometry"), QString::number(window.winId())}, &geometry))
        return {-1, -1};
    // "Window 123\n  Position: 100,100 (screen: 0)\n  Geometry: 451x300\n"
    const int at = geometry.indexOf(QLatin1String("Position: "));
    const QStringList xy = geometry.mid(at + 10).section(QLatin1Char(' '), 0, 0).split(QLatin1Char(','));
    return xy.size() == 2 ? QPoint(xy[0].toInt(), xy[1].toInt()) : QPoint(-1, -1);
}

TEST(DragWindowOnX11, ARealLeftDragMovesTheWindowAndARightDragDoesNot)
{
    testApp();
    QWidget window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.resize(451, 300);
    window.move(100, 100);
    auto* title = new DragImage(&window);
    title->setPicture(skinBitmap(QString::fromLatin1(SkinPicture::LoginTitle)));
    ASSERT_TRUE(showAndExpose(window));
    ASSERT_TRUE(waitUntil([&] { return xPosition(window) == QPoint(100, 100); }));

    const auto drag = [](const char* button, QPoint from, QPoint to) {
        return xdotool({QStringLiteral("mousemove"), QString::number(from.x()), QString::number(from.y()),
                        QStringLiteral("mousedown"), QLatin1String(button), QStringLiteral("mousemove"),
                        QString::number((from.x() + to.x()) / 2), QString::number((from.y() + to.y()) / 2),
                        QStringLiteral("mousemove"), QString::number(to.x()), QString::number(to.y()),
                        QStringLiteral("mouseup"), QLatin1String(button)});
    };

    // The right button first: afterwards a left drag shows that input arrives at all.
    ASSERT_TRUE(drag("3", {120, 120}, {200, 180}));
    ASSERT_TRUE(drag("1", {130, 125}, {190, 165}));
    EXPECT_TRUE(waitUntil([&] { return window.pos() == QPoint(160, 140); }))
        << window.pos().x() << "," << window.pos().y();
    EXPECT_TRUE(waitUntil([&] { return xPosition(window) == QPoint(160, 140); }));
}

} // namespace

} // namespace quorvane
