#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <optional>

namespace quorvane {

// Finds a control on a screenshot by its colour, as a person finds a coloured button: the largest
// connected area of pixels within `tolerance` of `colour` (per channel) that is at least
// `minimum` large. Its rectangle is in the image's coordinates.
std::optional<QRect> findColourArea(const QImage& image, QRgb colour, int tolerance, QSize minimum);

} // namespace quorvane
