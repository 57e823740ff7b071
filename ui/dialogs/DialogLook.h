#pragma once

#include "ui/chrome/Fonts.h" // SongFont: "宋体", mapped once for the whole application

#include <QColor>
#include <QFont>
#include <QRect>

class QWidget;

// "Tahoma" at the given character height in pixels.
QFont tahomaFont(int pixelSize);

// Paints the widget's background in a plain colour.
void fillBackground(QWidget* widget, const QColor& color);

// Gives the widget the left edge and width of `place`, and the height its font needs (at least
// that of `place`), centred on the middle of `place`: the substitute fonts are taller than the
// ones the windows were laid out for, and would otherwise be clipped.
void placeCentred(QWidget* widget, const QRect& place);
