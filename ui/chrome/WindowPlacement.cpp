#include "ui/chrome/WindowPlacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace quorvane {

namespace {

QScreen* screenAt(const QPoint& point)
{
    QScreen* screen = QGuiApplication::screenAt(point);
    return screen ? screen : QGuiApplication::primaryScreen();
}

} // namespace

void centreWindowOn(QWidget* window, const QRect& area)
{
    const QRect frame = window->frameGeometry();
    QRect placed(QPoint(0, 0), frame.size());
    placed.moveCenter(area.center());
    if (QScreen* screen = screenAt(area.center())) {
        const QRect work = screen->availableGeometry();
        // A window larger than the work area keeps its top left corner on the screen.
        placed.moveRight(qMin(placed.right(), work.right()));
        placed.moveBottom(qMin(placed.bottom(), work.bottom()));
        placed.moveLeft(qMax(placed.left(), work.left()));
        placed.moveTop(qMax(placed.top(), work.top()));
    }
    window->move(placed.topLeft());
}

void centreOnScreen(QWidget* window)
{
    centreOnScreenOf(window, nullptr);
}

void centreOnScreenOf(QWidget* window, const QWidget* other)
{
    QScreen* screen = other ? screenAt(other->frameGeometry().center()) : QGuiApplication::primaryScreen();
    if (screen)
        centreWindowOn(window, screen->availableGeometry());
}

void centreOverWindow(QWidget* window, const QWidget* other)
{
    if (other)
        centreWindowOn(window, other->frameGeometry());
    else
        centreOnScreen(window);
}

void bringToFront(QWidget* window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace quorvane
