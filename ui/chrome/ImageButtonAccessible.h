#pragma once

#include <QAccessibleWidget>

namespace quorvane {

class ImageButton;

// What screen readers learn of a skinned button: a push button named after the text it shows or
// what it does (its accessible name, else its tooltip), which their "press" action clicks.
class ImageButtonAccessible final : public QAccessibleWidget
{
public:
    explicit ImageButtonAccessible(ImageButton* button);

    QString text(QAccessible::Text kind) const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;
};

// Makes Qt's accessibility describe every ImageButton with ImageButtonAccessible; once is enough.
void installImageButtonAccessibility();

} // namespace quorvane
