#include "app/StartReport.h"

#include "platform/Shell.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

TStartReport::TStartReport(QObject* parent) : QObject(parent)
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool TStartReport::eventFilter(QObject* watched, QEvent* event)
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
