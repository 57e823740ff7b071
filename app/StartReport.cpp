#include "app/StartReport.h"

#include "platform/Shell.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace quorvane {

StartReport::StartReport(QObject* parent) : QObject(parent)
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool StartReport::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->isWindow()) {
            QCoreApplication::instance()->removeEventFilter(this);
            reportStartToUpdater();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quorvane
