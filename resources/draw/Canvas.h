#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

namespace quorvane {

// Small painting helpers shared by the picture painters.
//
// Pictures are painted in the coordinates of their 1x size. A canvas at `scale` 2 has twice the
// pixels each way and a device pixel ratio of 2, so the same painting gives the sharper picture
// that the client shows on high-density screens.

// An opaque picture filled with one colour.
QImage opaqueCanvas(int width, int height, const QColor& fill, int scale);

// A picture with an alpha channel, fully transparent.
QImage clearCanvas(int width, int height, int scale);

// An opaque picture painted with the title-bar rows starting at row `top` of the bar; at scale 2
// every row is two pixel rows of the same colour, so the bars match at either scale.
QImage titleCanvas(int width, int height, int top, int scale);

// A painter with antialiasing for shapes and text.
void smooth(QPainter& painter);

// The CJK sans-serif face at a pixel size; it carries Latin letters as well.
QFont uiFont(int pixelSize, bool bold = false);

// Text inside a rectangle with alignment flags.
void drawText(QPainter& painter, const QRectF& rect, int flags, const QString& text, const QFont& font,
              const QColor& colour);

// A rounded button face: vertical gradient, one-pixel border, a lighter inner line at the top.
struct ButtonLook
{
    QColor top;
    QColor bottom;
    QColor border;
    QColor shine;
};
void drawButtonFace(QPainter& painter, const QRectF& rect, double radius, const ButtonLook& look);

// The product's mark: a white house with a rising gold price line, fitting the square `box`.
// `plate` draws the blue rounded plate behind it (the application icon); without it the mark is
// drawn alone for use on the blue title bars.
void drawProductMark(QPainter& painter, const QRectF& box, bool plate);

} // namespace quorvane
