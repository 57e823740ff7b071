#pragma once

class PictureWriter;

// The pictures of the login window and its three frames.
void DrawLoginPictures(PictureWriter& writer);
