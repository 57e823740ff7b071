#pragma once

#include <QApplication>
#include <QWidget>

namespace quorvane {

// A window that closes for good (WA_DeleteOnClose) marks itself in its close event: from then on
// it no longer counts as open, although it exists until its deletion.
inline void markClosedForGood(QWidget* window)
{
    window->setProperty("closedForGood", true);
}

// The open window of that type, if there is one: shown or hidden, but not closed for good.
template <typename Window> Window* findOpenWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<Window*>(widget);
        if (window && !window->property("closedForGood").toBool())
            return window;
    }
    return nullptr;
}

} // namespace quorvane
