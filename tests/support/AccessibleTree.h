#pragma once

#include <QAccessible>
#include <QList>
#include <QString>

class QWidget;

namespace quorvane {

// One shown node of a window's accessibility tree, as a screen reader sees it.
struct AccessibleNode
{
    QAccessible::Role role;
    QString name;
    QString objectName; // of the widget behind it, to tell the nodes apart in a failure
    bool focusable;
};

// Every visible node of the window's tree, depth first, the window itself left out.
QList<AccessibleNode> accessibleTree(QWidget* window);

} // namespace quorvane
