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

namespace quorvane {

namespace {

// A borderless window with a draggable title picture and a close button lying on it, as the
// skinned windows have.
class DraggableWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testApp();
        m_window.setWindowFlags(Qt::FramelessWindowHint);
        m_window.resize(451, 300);
        m_window.move(100, 100);
        m_title = new DragImage(&m_window);
        m_title->setPicture(skinBitmap(QString::fromLatin1(SkinPicture::LoginTitle)));
        m_close = new ImageButton(QStringLiteral("CLOSE"), ImageButton::States::Three, m_title);
        m_close->move(410, 5);
        ASSERT_TRUE(showAndExpose(m_window));
        m_start = m_window.pos();
    }

    // The mouse at a point of the screen, whereever the window has moved to.
    QPoint local(QPoint global) const { return m_window.mapFromGlobal(global); }
    QWindow* handle() { return m_window.windowHandle(); }
    void press(Qt::MouseButton b, QPoint global) { QTest::mousePress(handle(), b, {}, local(global)); }
    void moveTo(QPoint global) { QTest::mouseMove(handle(), local(global)); }
    void release(Qt::MouseButton b, QPoint global) { QTest::mouseRelease(handle(), b, {}, local(global)); }

    // Presses at `from`, drags by `by` and releases there.
    void drag(Qt::MouseButton b, QPoint from, QPoint by)
    {
        press(b, from);
        moveTo(from + by / 2);
        moveTo(from + by);
        release(b, from + by);
    }

public:
    QPoint onTitle() const { return m_window.mapToGlobal(QPoint(20, 20)); }
    QPoint onClose() const { return m_close->mapToGlobal(QPoint(5, 5)); }
    QPoint belowTitle() const { return m_window.mapToGlobal(QPoint(200, 200)); }

protected:
    QWidget m_window;
    DragImage* m_title = nullptr;
    ImageButton* m_close = nullptr;
    QPoint m_start;
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
        {"right press on the title", Qt::RightButton, &DraggableWindow::onTitle, false},
        {"middle press on the title", Qt::MiddleButton, &DraggableWindow::onTitle, false},
        {"left press on the close button", Qt::LeftButton, &DraggableWindow::onClose, false},
        {"left press below the title", Qt::LeftButton, &DraggableWindow::belowTitle, false},
        {"left press on the title", Qt::LeftButton, &DraggableWindow::onTitle, true},
    };
    for (const auto& c : cases) {
        const QPoint before = m_window.pos();
        drag(c.button, (this->*c.at)(), QPoint(60, 40));
        EXPECT_EQ(m_window.pos(), c.moves ? before + QPoint(60, 40) : before) << c.what;
    }
}

TEST_F(DraggableWindow, TheMoveEndsWithTheRelease)
{
    drag(Qt::LeftButton, onTitle(), QPoint(-30, 25));
    ASSERT_EQ(m_window.pos(), m_start + QPoint(-30, 25));
    moveTo(onTitle() + QPoint(100, 100));
    EXPECT_EQ(m_window.pos(), m_start + QPoint(-30, 25));
}

TEST(DragWindow, StartsAMoveForTheLeftButtonOnly)
{
    testApp();
    QWidget window;
    window.resize(200, 100);
    ASSERT_TRUE(showAndExpose(window));
    const auto press = [](Qt::MouseButton b) {
        return QMouseEvent(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(110, 110), b, b, {});
    };
    EXPECT_FALSE(dragWindow(&window, press(Qt::RightButton)));
    EXPECT_FALSE(dragWindow(&window, press(Qt::MiddleButton)));
    EXPECT_TRUE(dragWindow(&window, press(Qt::LeftButton)));
}

} // namespace

} // namespace quorvane
