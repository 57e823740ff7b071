#pragma once

#include <QColor>

namespace quorvane {

// The colours every picture shares, so that buttons sit on their backgrounds without a seam.
namespace Palette {

inline const QColor TitleBlue{22, 80, 153};    // dark title bars
inline const QColor FrameLight{213, 226, 242}; // login frames, About window
inline const QColor Border{35, 83, 141};       // border line of the rounded windows
inline const QColor DialogBody{247, 247, 247}; // body of the settings and feedback windows
inline const QColor Ink{60, 60, 60};           // dark text on light ground
inline const QColor Gold{245, 177, 45};

// Linear mix of two colours, t = 0 gives a, t = 1 gives b.
QColor mix(const QColor& a, const QColor& b, double t);

// The colour of row y of every dark title bar (rows 0 to 50). Only the row counts, never the
// column, so a button bitmap drawn on the rows it covers matches any title bar it lies on.
QColor titleRow(int y);

// The header band of the light dialogs (settings, feedback): rows 0 to 49, flat where the small
// close button lies.
inline constexpr int DialogHeaderHeight = 50;
inline const QColor DialogHeader{226, 235, 247};

} // namespace Palette

} // namespace quorvane
