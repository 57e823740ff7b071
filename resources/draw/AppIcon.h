#pragma once

namespace quorvane {

class PictureWriter;

// The application icon in every size the desktop and the tray ask for, and as SVG.
void drawAppIcons(PictureWriter& writer);

} // namespace quorvane
