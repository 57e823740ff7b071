#pragma once

#include <QPixmap>
#include <QString>

namespace quorvane {

class Image;

// The skin bitmap of that name (e.g. "CLOSE_HOVER") from the client's own resources, in the
// sharper 2x drawing when a screen has more than one pixel per point (scale 1.5 or 2); either
// way it is shown at the same size in points. Raises Failure when there is no such bitmap.
QPixmap skinBitmap(const QString& name);

// Replaces the image's picture by the skin bitmap of that name. A missing name raises
// Failure and leaves the picture unchanged.
void loadButtonBitmap(Image* image, const QString& name);

} // namespace quorvane
