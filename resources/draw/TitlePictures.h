#pragma once

namespace quorvane {

class PictureWriter;

// The dark title bars (main, login, notification), the small pictures on the main title bar,
// and the banner of the About window.
void drawTitlePictures(PictureWriter& writer, int scale);

} // namespace quorvane
