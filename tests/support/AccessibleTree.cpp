#include "tests/support/AccessibleTree.h"

#include <QWidget>

namespace quorvane {

namespace {

void collect(QAccessibleInterface* node, QList<AccessibleNode>& nodes)
{
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (!child || child->state().invisible)
            continue;
        const QObject* object = child->object();
        nodes.append({child->role(), child->text(QAccessible::Name),
                      object ? object->objectName() : QString(), child->state().focusable != 0});
        collect(child, nodes);
    }
}

} // namespace

QList<AccessibleNode> accessibleTree(QWidget* window)
{
    QList<AccessibleNode> nodes;
    if (QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window))
        collect(root, nodes);
    return nodes;
}

} // namespace quorvane
