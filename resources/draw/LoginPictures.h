#pragma once

namespace quorvane {

class PictureWriter;

// The pictures of the login window and its three frames.
void drawLoginPictures(PictureWriter& writer, int scale);

} // namespace quorvane
