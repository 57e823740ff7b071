#include "tests/e2e/ColourArea.h"

#include <QPoint>
#include <cstdlib>
#include <vector>

namespace quorvane {

namespace {

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace

std::optional<QRect> findColourArea(const QImage& image, QRgb colour, int tolerance, QSize minimum)
{
    const int width = image.width();
    const int height = image.height();
    std::vector<char> seen(size_t(width) * size_t(height), 0);
    auto index = [width](int x, int y) { return size_t(y) * size_t(width) + size_t(x); };

    std::optional<QRect> best;
    qint64 bestCount = 0;
    std::vector<QPoint> stack;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (seen[index(x, y)] || !near(image.pixel(x, y), colour, tolerance))
                continue;
            // Flood the area from here.
            QRect bounds(x, y, 1, 1);
            qint64 count = 0;
            stack.assign(1, QPoint(x, y));
            seen[index(x, y)] = 1;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                ++count;
                bounds |= QRect(p, QSize(1, 1));
                for (const QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                    const QPoint next = p + step;
                    if (next.x() < 0 || next.y() < 0 || next.x() >= width || next.y() >= height)
                        continue;
                    if (seen[index(next.x(), next.y())] || !near(image.pixel(next), colour, tolerance))
                        continue;
                    seen[index(next.x(), next.y())] = 1;
                    stack.push_back(next);
                }
            }
            if (bounds.width() >= minimum.width() && bounds.height() >= minimum.height() &&
                count > bestCount) {
                best = bounds;
                bestCount = count;
            }
        }
    }
    return best;
}

} // namespace quorvane
