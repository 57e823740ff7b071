#include "tests/support/NamedChild.h"

#include <QWidget>

namespace quorvane {

namespace {

// True when no other window lies between `object` and `window`. A menu is a window of its own
// to the window system but part of the window that owns it.
bool belongsTo(const QObject* object, const QObject& window)
{
    for (const QObject* parent = object->parent(); parent; parent = parent->parent()) {
        if (parent == &window)
            return true;
        const auto* widget = qobject_cast<const QWidget*>(parent);
        if (widget && widget->isWindow() && widget->windowType() != Qt::Popup)
            return false;
    }
    return false;
}

} // namespace

QObject* findOwnChild(const QObject& window, const QString& name, bool (*hasType)(QObject*))
{
    QObject* found = nullptr;
    for (QObject* candidate : window.findChildren<QObject*>(name)) {
        if (!hasType(candidate) || !belongsTo(candidate, window))
            continue;
        if (found)
            throw MissingChild("more than one \"" + name.toStdString() + "\" in " +
                               window.objectName().toStdString());
        found = candidate;
    }
    if (!found)
        throw MissingChild("no \"" + name.toStdString() + "\" of that type in " +
                           window.objectName().toStdString());
    return found;
}

} // namespace quorvane
