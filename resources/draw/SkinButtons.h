#pragma once

#include <QPainter>
#include <QRectF>

class PictureWriter;

// Draws every skin bitmap (the image buttons in all their states).
void DrawSkinButtons(PictureWriter& writer);

// The microblog speech bubble used on the microblog button and logo, fitted into `box`.
void DrawMicroblogBubble(QPainter& painter, const QRectF& box);
