#include "ui/chrome/ImageButtonAccessible.h"

#include "ui/chrome/ImageButton.h"

#include <mutex>

namespace quorvane {

namespace {

QAccessibleInterface* describeImageButton(const QString&, QObject* object)
{
    if (auto* button = qobject_cast<ImageButton*>(object))
        return new ImageButtonAccessible(button);
    return nullptr;
}

} // namespace

ImageButtonAccessible::ImageButtonAccessible(ImageButton* button)
    : QAccessibleWidget(button, QAccessible::Button)
{
}

QString ImageButtonAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Name) {
        const QString name = widget()->accessibleName();
        return name.isEmpty() ? widget()->toolTip() : name;
    }
    return QAccessibleWidget::text(kind);
}

QStringList ImageButtonAccessible::actionNames() const
{
    return {pressAction()};
}

void ImageButtonAccessible::doAction(const QString& action)
{
    if (action == pressAction())
        static_cast<ImageButton*>(widget())->click();
}

void installImageButtonAccessibility()
{
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(&describeImageButton); });
}

} // namespace quorvane
