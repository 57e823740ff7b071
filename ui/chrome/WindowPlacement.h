#pragma once

class QRect;
class QScreen;
class QWidget;

namespace quorvane {

// Places the top-level window so that its frame is centred on `area`, moved back inside the
// work area of the screen that holds the centre of `area` where it would stick out.
void centreWindowOn(QWidget* window, const QRect& area);

// Centred on the work area of the primary screen.
void centreOnScreen(QWidget* window);

// Centred on the work area of the screen that shows `other` (the primary one when `other` is null).
void centreOnScreenOf(QWidget* window, const QWidget* other);

// Centred over the frame of `other`; on the primary screen when `other` is null.
void centreOverWindow(QWidget* window, const QWidget* other);

// Shows the window in its normal state on top of the others and gives it the focus.
void bringToFront(QWidget* window);

} // namespace quorvane
