#pragma once

#include "ui/chrome/Fonts.h"    // songFont: "宋体", mapped once for the whole application
#include "ui/chrome/TitleBar.h" // fillBackground

#include <QColor>
#include <QFont>
#include <QRect>

class QWidget;

namespace quorvane {

// "Tahoma" at the given character height in pixels.
QFont tahomaFont(int pixelSize);

// Gives the widget the left edge and width of `place`, and the height its font needs (at least
// that of `place`), centred on the middle of `place`: the substitute fonts are taller than the
// ones the windows were laid out for, and would otherwise be clipped.
void placeCentred(QWidget* widget, const QRect& place);

} // namespace quorvane
