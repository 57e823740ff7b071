#pragma once

#include <QPixmap>

namespace quorvane {

// The title-bar picture of the notification window at the given width: the picture at its
// natural size, its last column repeated to the right when the window is wider.
QPixmap messageTitlePicture(int width);

} // namespace quorvane
