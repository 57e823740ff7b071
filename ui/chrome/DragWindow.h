#pragma once

class QMouseEvent;
class QWidget;

namespace quorvane {

// Moves the window as if its caption had been pressed, until the button is released. Only a
// press of the left button counts; any other button does nothing. Where the window system
// runs no move of its own (no window manager, the offscreen platform), the window follows the
// mouse itself. True when a move has started.
bool dragWindow(QWidget* window, const QMouseEvent& press);

} // namespace quorvane
