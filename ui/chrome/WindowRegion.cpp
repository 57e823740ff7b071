#include "ui/chrome/WindowRegion.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

namespace quorvane {

QRegion roundedRectRegion(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
{
    if (right <= left || bottom <= top)
        return {};
    // Like the system's rounded regions, an ellipse larger than the rectangle is cut to it.
    const double a = std::min(ellipseWidth, right - left) / 2.0;
    const double b = std::min(ellipseHeight, bottom - top) / 2.0;
    if (a <= 0 || b <= 0)
        return QRegion(left, top, right - left, bottom - top);

    QRegion region;
    const auto addRow = [&](int y, double dy) {
        const double dx = a * std::sqrt(std::max(0.0, 1.0 - (dy / b) * (dy / b)));
        // Pixels whose centres x + 0.5 lie within [left + a - dx, right - a + dx].
        const int first = static_cast<int>(std::ceil(left + a - dx - 0.5));
        const int last = static_cast<int>(std::floor(right - a + dx - 0.5));
        if (last >= first)
            region += QRect(first, y, last - first + 1, 1);
    };
    const int cornerRows = static_cast<int>(std::ceil(b));
    const int upperEnd = std::min(top + cornerRows, bottom);
    const int lowerStart = std::max(bottom - cornerRows, upperEnd);
    for (int y = top; y < upperEnd; ++y) {
        const double dy = (top + b) - (y + 0.5);
        addRow(y, std::max(0.0, dy));
    }
    if (lowerStart > upperEnd)
        region += QRect(left, upperEnd, right - left, lowerStart - upperEnd);
    for (int y = lowerStart; y < bottom; ++y) {
        const double dy = (y + 0.5) - (bottom - b);
        addRow(y, std::max(0.0, dy));
    }
    return region;
}

QRegion roundedWindowRegion(const QSize& size, int ellipse)
{
    return roundedRectRegion(1, 1, size.width(), size.height(), ellipse, ellipse);
}

QRegion shapedPanelRegion(const QSize& size)
{
    QRegion region = roundedRectRegion(1, 1, size.width(), size.height(), 15, 15);
    if (size.height() > 50)
        region += QRect(0, 0, size.width(), size.height() - 50);
    return region;
}

void updateRegion(QWidget* window, int ellipse, QWidget* shapedPanel)
{
    window->setMask(roundedWindowRegion(window->size(), ellipse));
    if (shapedPanel)
        shapedPanel->setMask(shapedPanelRegion(shapedPanel->size()));
}

} // namespace quorvane
