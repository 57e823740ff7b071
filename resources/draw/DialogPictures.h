#pragma once

namespace quorvane {

class PictureWriter;

// The whole-window pictures of the settings and feedback windows.
void drawDialogPictures(PictureWriter& writer, int scale);

} // namespace quorvane
