#include "Palette.h"

#include <algorithm>

namespace quorvane {

namespace Palette {

QColor mix(const QColor& a, const QColor& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    auto channel = [t](int x, int y) { return int(x + (y - x) * t + 0.5); };
    return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue()),
                  channel(a.alpha(), b.alpha()));
}

QColor titleRow(int y)
{
    // A soft gloss at the top that settles into the flat title blue, and a darker last row
    // that sets the bar off against the content below.
    if (y <= 0)
        return QColor(74, 132, 204);
    if (y < 30)
        return mix(QColor(40, 103, 181), TitleBlue, (y - 1) / 29.0);
    if (y >= 50)
        return QColor(16, 62, 122);
    return TitleBlue;
}

} // namespace Palette

} // namespace quorvane
