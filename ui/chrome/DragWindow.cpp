#include "ui/chrome/DragWindow.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace quorvane {

namespace {

// Moves a window with the mouse until the left button is released, for window systems that
// cannot move it themselves.
class WindowFollower final : public QObject
{
public:
    WindowFollower(QWidget* window, QPointF pressGlobal)
        : QObject(window), m_window(window), m_pressGlobal(pressGlobal), m_startPos(window->pos())
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Every mouse event reaches the application twice (window, then widget); follow the
        // widget-level ones only.
        if (!watched->isWidgetType())
            return false;
        if (event->type() == QEvent::MouseMove) {
            const auto* move = static_cast<QMouseEvent*>(event);
            if (!move->buttons().testFlag(Qt::LeftButton)) {
                deleteLater();
                return false;
            }
            m_window->move(m_startPos + (move->globalPosition() - m_pressGlobal).toPoint());
        } else if (event->type() == QEvent::MouseButtonRelease &&
                   static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            deleteLater();
        }
        return false;
    }

private:
    QWidget* m_window;
    QPointF m_pressGlobal;
    QPoint m_startPos;
};

QPointer<QObject> follower;

} // namespace

bool dragWindow(QWidget* window, const QMouseEvent& press)
{
    if (press.button() != Qt::LeftButton || !window)
        return false;
    window = window->window();
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    delete follower;
    if (QWindow* handle = window->windowHandle(); handle && handle->startSystemMove())
        return true;
    follower = new WindowFollower(window, press.globalPosition());
    return true;
}

} // namespace quorvane
