#pragma once

#include <QPixmap>
#include <QString>

class TImage;

// The skin bitmap of that name (e.g. "CLOSE_HOVER") from the client's own resources.
// Raises TFailure when there is no such bitmap.
QPixmap skinBitmap(const QString& name);

// Replaces the image's picture by the skin bitmap of that name. A missing name raises
// TFailure and leaves the picture unchanged.
void loadButtonBitmap(TImage* image, const QString& name);
