#include "ui/dialogs/WindowPlacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace {

QScreen* ScreenAt(const QPoint& point)
{
    QScreen* screen = QGuiApplication::screenAt(point);
    return screen ? screen : QGuiApplication::primaryScreen();
}

} // namespace

void CentreWindowOn(QWidget* window, const QRect& area)
{
    const QRect frame = window->frameGeometry();
    QRect placed(QPoint(0, 0), frame.size());
    placed.moveCenter(area.center());
    if (QScreen* screen = ScreenAt(area.center())) {
        const QRect work = screen->availableGeometry();
        // A window larger than the work area keeps its top left corner on the screen.
        placed.moveRight(qMin(placed.right(), work.right()));
        placed.moveBottom(qMin(placed.bottom(), work.bottom()));
        placed.moveLeft(qMax(placed.left(), work.left()));
        placed.moveTop(qMax(placed.top(), work.top()));
    }
    window->move(placed.topLeft());
}

void CentreOnScreen(QWidget* window)
{
    CentreOnScreenOf(window, nullptr);
}

void CentreOnScreenOf(QWidget* window, const QWidget* other)
{
    QScreen* screen = other ? ScreenAt(other->frameGeometry().center()) : QGuiApplication::primaryScreen();
    if (screen)
        CentreWindowOn(window, screen->availableGeometry());
}

void CentreOverWindow(QWidget* window, const QWidget* other)
{
    if (other)
        CentreWindowOn(window, other->frameGeometry());
    else
        CentreOnScreen(window);
}

void BringToFront(QWidget* window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}
