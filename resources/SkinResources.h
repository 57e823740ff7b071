#pragma once

#include <QIcon>
#include <QString>

namespace quorvane {

// The one place that knows where the client's pictures live. Every picture is compiled into the
// library quorvane_resources under the resource prefix "/skin":
//   button bitmaps      ":/skin/NAME.bmp"  (CLOSE_HOVER, BUTTON_NORMAL, ...)
//   window pictures     ":/skin/NAME.png"  (the names in SkinPictures.h)
//   both drawn at 2x    ":/skin/NAME@2x.bmp", ":/skin/NAME@2x.png" (high-density screens)
//   application icon    ":/skin/icons/quorvane-SIZE.png"

// Registers the compiled pictures. Called by the functions below on first use; call it yourself
// only before reaching a ":/skin/..." path without them. Safe to call repeatedly and from any thread.
void initSkinResources();

// The resource path of a skin bitmap or window picture: ":/skin/NAME.bmp" when there is such a
// bitmap, else ":/skin/NAME.png" when there is such a picture. An unknown name gives the ".bmp"
// path, which loads nothing, so the caller's failure names the missing bitmap. For a screen of
// more than one pixel per point (`devicePixelRatio` above 1) it gives the picture drawn at twice
// the size, ":/skin/NAME@2x.bmp" or ".png", which Qt reads with a device pixel ratio of 2.
QString skinPath(const QString& name, qreal devicePixelRatio = 1);

// The application icon in all its drawn sizes, for the tray icon and the windows.
QIcon applicationIcon();

} // namespace quorvane
