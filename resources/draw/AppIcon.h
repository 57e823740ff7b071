#pragma once

class PictureWriter;

// The application icon in every size the desktop and the tray ask for, and as SVG.
void DrawAppIcons(PictureWriter& writer);
