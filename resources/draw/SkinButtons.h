#pragma once

#include <QPainter>
#include <QRectF>

namespace quorvane {

class PictureWriter;

// Draws every skin bitmap (the image buttons in all their states).
void drawSkinButtons(PictureWriter& writer, int scale);

// The microblog speech bubble used on the microblog button and logo, fitted into `box`.
void drawMicroblogBubble(QPainter& painter, const QRectF& box);

} // namespace quorvane
