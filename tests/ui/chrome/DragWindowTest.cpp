#include "ui/chrome/DragWindow.h"
#include "resources/SkinPictures.h"
#include "tests/support/TestApplication.h"
#include "ui/chrome/DragImage.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/SkinBitmap.h"

#include <QMouseEvent>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// A borderless window with a draggable title picture and a close button lying on it, as the
// skinned windows have.
class DraggableWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestApp();
        window.setWindowFlags(Qt::FramelessWindowHint);
        window.resize(451, 300);
        window.move(100, 100);
        title = new TDragImage(&window);
        title->SetPicture(SkinBitmap(QString::fromLatin1(SkinPicture::LoginTitle)));
        close = new TImageButton(QStringLiteral("CLOSE"), TImageButton::TStates::Three, title);
        close->move(410, 5);
        ASSERT_TRUE(ShowAndExpose(window));
        start = window.pos();
    }

    // The mouse at a point of the screen, whereever the window has moved to.
    QPoint Local(QPoint global) const { return window.mapFromGlobal(global); }
    QWindow* Handle() { return window.windowHandle(); }
    void Press(Qt::MouseButton b, QPoint global) { QTest::mousePress(Handle(), b, {}, Local(global)); }
    void MoveTo(QPoint global) { QTest::mouseMove(Handle(), Local(global)); }
    void Release(Qt::MouseButton b, QPoint global) { QTest::mouseRelease(Handle(), b, {}, Local(global)); }

    // Presses at `from`, drags by `by` and releases there.
    void Drag(Qt::MouseButton b, QPoint from, QPoint by)
    {
        Press(b, from);
        MoveTo(from + by / 2);
        MoveTo(from + by);
        Release(b, from + by);
    }

public:
    QPoint OnTitle() const { return window.mapToGlobal(QPoint(20, 20)); }
    QPoint OnClose() const { return close->mapToGlobal(QPoint(5, 5)); }
    QPoint BelowTitle() const { return window.mapToGlobal(QPoint(200, 200)); }

protected:
    QWidget window;
    TDragImage* title = nullptr;
    TImageButton* close = nullptr;
    QPoint start;
};

TEST_F(DraggableWindow, OnlyALeftPressOnTheBackgroundMovesTheWindow)
{
    const struct
    {
        const char* what;
        Qt::MouseButton button;
        QPoint (DraggableWindow::*at)() const;
        bool moves;
    } cases[] = {
        {"right press on the title", Qt::RightButton, &DraggableWindow::OnTitle, false},
        {"middle press on the title", Qt::MiddleButton, &DraggableWindow::OnTitle, false},
        {"left press on the close button", Qt::LeftButton, &DraggableWindow::OnClose, false},
        {"left press below the title", Qt::LeftButton, &DraggableWindow::BelowTitle, false},
        {"left press on the title", Qt::LeftButton, &DraggableWindow::OnTitle, true},
    };
    for (const auto& c : cases) {
        const QPoint before = window.pos();
        Drag(c.button, (this->*c.at)(), QPoint(60, 40));
        EXPECT_EQ(window.pos(), c.moves ? before + QPoint(60, 40) : before) << c.what;
    }
}

TEST_F(DraggableWindow, TheMoveEndsWithTheRelease)
{
    Drag(Qt::LeftButton, OnTitle(), QPoint(-30, 25));
    ASSERT_EQ(window.pos(), start + QPoint(-30, 25));
    MoveTo(OnTitle() + QPoint(100, 100));
    EXPECT_EQ(window.pos(), start + QPoint(-30, 25));
}

TEST(DragWindow, StartsAMoveForTheLeftButtonOnly)
{
    TestApp();
    QWidget window;
    window.resize(200, 100);
    ASSERT_TRUE(ShowAndExpose(window));
    const auto press = [](Qt::MouseButton b) {
        return QMouseEvent(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(110, 110), b, b, {});
    };
    EXPECT_FALSE(DragWindow(&window, press(Qt::RightButton)));
    EXPECT_FALSE(DragWindow(&window, press(Qt::MiddleButton)));
    EXPECT_TRUE(DragWindow(&window, press(Qt::LeftButton)));
}

} // namespace
