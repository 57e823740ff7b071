#include "ui/chrome/WindowPlacement.h"

#include "tests/ui/dialogs/WindowTestApp.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

TEST(WindowPlacementTest, CentresAndKeepsOnTheScreen)
{
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget window;
    window.resize(200, 100);

    centreOnScreen(&window);
    EXPECT_EQ(window.frameGeometry().center(), work.center());

    centreWindowOn(&window, QRect(work.left() + 300, work.top() + 200, 400, 300));
    EXPECT_EQ(window.frameGeometry().center(), QRect(work.left() + 300, work.top() + 200, 400, 300).center());

    // Over an area at the screen's edge the window moves back inside.
    centreWindowOn(&window, QRect(work.right() - 50, work.bottom() - 20, 100, 40));
    EXPECT_EQ(window.frameGeometry().bottomRight(), work.bottomRight());
    centreWindowOn(&window, QRect(work.left() - 80, work.top() - 30, 60, 20));
    EXPECT_EQ(window.frameGeometry().topLeft(), work.topLeft());

    // Without another window: the screen.
    centreOverWindow(&window, nullptr);
    EXPECT_EQ(window.frameGeometry().center(), work.center());
}

} // namespace

} // namespace quorvane
