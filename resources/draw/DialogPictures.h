#pragma once

class PictureWriter;

// The whole-window pictures of the settings and feedback windows.
void DrawDialogPictures(PictureWriter& writer);
