#include "ui/login/RequestGuard.h"

#include <QCoreApplication>
#include <QEvent>

namespace quorvane {

RequestGuard::RequestGuard(QWidget* window) : QObject(window), m_window(window)
{
    QCoreApplication::instance()->installEventFilter(this);
}

RequestGuard::~RequestGuard()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

void RequestGuard::dropQueuedInput()
{
    QCoreApplication::processEvents();
}

bool RequestGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_running)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
        break;
    default:
        return false;
    }
    const auto* widget = qobject_cast<const QWidget*>(watched);
    return widget && m_window && widget->window() == m_window;
}

} // namespace quorvane
