#include "ui/chrome/BrowserMessageFilter.h"

#include <QCoreApplication>
#include <QMouseEvent>

namespace quorvane {

bool filterBrowserMessage(const QWidget* view, const QObject* target, const QEvent* event)
{
    switch (event->type()) {
    case QEvent::ContextMenu:
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        if (static_cast<const QMouseEvent*>(event)->button() != Qt::RightButton)
            return false;
        break;
    default:
        return false;
    }
    if (!view || !target || !target->isWidgetType() || target == view)
        return false;
    return view->isAncestorOf(static_cast<const QWidget*>(target));
}

BrowserMessageFilter::BrowserMessageFilter(QWidget* window, QWidget* view, ExtraStep extraStep)
    : QObject(window), m_view(view), m_extraStep(std::move(extraStep))
{
    QCoreApplication::instance()->installEventFilter(this);
}

BrowserMessageFilter::~BrowserMessageFilter() = default;

bool BrowserMessageFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (filterBrowserMessage(m_view, watched, event))
        return true;
    if (m_extraStep)
        m_extraStep(watched, event);
    return false;
}

} // namespace quorvane
