#pragma once

#include <QFont>

class QLabel;

namespace quorvane {

// The skinned windows are laid out for the fonts "宋体" and "Arial". Where they are not installed
// they are mapped once, for the whole application, onto installed fonts that carry Chinese
// (fonts-noto-cjk). Safe to call repeatedly; every function below calls it.
void installLoginFonts();

// "宋体" at the given character height in pixels.
QFont songFont(int pixelSize);
// "Arial" at the given character height in pixels.
QFont arialFont(int pixelSize);

// Height of the ascent in the fonts the layout was made for, as a share of the character height.
inline constexpr double kSongAscent = 0.86;
inline constexpr double kArialAscent = 0.905;

// Puts a label at the layout position (x, y) so that its text stands on the same baseline as in
// the font the layout was made for: the substitute fonts have a taller ascent, which would push
// every caption a few pixels down, off the buttons and edits it belongs to.
void placeLabel(QLabel* label, int x, int y, double designAscent);

} // namespace quorvane
