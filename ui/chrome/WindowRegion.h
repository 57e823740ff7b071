#pragma once

#include <QRegion>
#include <QSize>

class QWidget;

namespace quorvane {

// The rounded rectangle from (left, top) to (right, bottom), right and bottom excluded, with
// corners cut along an ellipse of the given width and height. A pixel belongs to the region
// when its centre lies inside the rounded outline.
QRegion roundedRectRegion(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);

// The region of a rounded window: the rounded rectangle from (1, 1) to (width, height) with a
// square corner ellipse, so the left column and the top row of pixels fall outside.
QRegion roundedWindowRegion(const QSize& size, int ellipse);

// The region of a shaped browser panel: square upper corners and rounded lower ones, the union
// of the rectangle (0, 0) to (width, height - 50) and the rounded rectangle (1, 1) to
// (width, height) with a 15 x 15 corner ellipse.
QRegion shapedPanelRegion(const QSize& size);

// Rebuilds the window's region from its current size, and that of its browser panel when it
// has a shaped one.
void updateRegion(QWidget* window, int ellipse, QWidget* shapedPanel = nullptr);

} // namespace quorvane
