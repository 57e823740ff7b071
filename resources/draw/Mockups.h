#pragma once

#include <QDir>

namespace quorvane {

// Preview sheets for the people who draw the pictures: each window put together from the
// written pictures at their places, with stand-ins for the live controls, plus every button
// bitmap enlarged. Written to `out`; nothing here ships.
void writeMockups(const QDir& resources, const QDir& out);

} // namespace quorvane
