#include "ui/login/RequestGuard.h"

#include <QCoreApplication>
#include <QEvent>

TRequestGuard::TRequestGuard(QWidget* window) : QObject(window), m_window(window)
{
    QCoreApplication::instance()->installEventFilter(this);
}

TRequestGuard::~TRequestGuard()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

void TRequestGuard::dropQueuedInput()
{
    QCoreApplication::processEvents();
}

bool TRequestGuard::eventFilter(QObject* watched, QEvent* event)
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
