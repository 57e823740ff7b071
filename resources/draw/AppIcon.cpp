#include "AppIcon.h"

#include "Canvas.h"
#include "PictureWriter.h"

namespace quorvane {

namespace {

// The same outline as drawProductMark with its plate, in the icon's 256-unit square.
const char Svg[] = R"svg(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <linearGradient id="plate" x1="0" y1="0" x2="0" y2="256" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#347cd0"/>
      <stop offset="1" stop-color="#165099"/>
    </linearGradient>
  </defs>
  <rect x="8" y="8" width="240" height="240" rx="52" ry="52" fill="url(#plate)"/>
  <path fill="#ffffff" fill-rule="evenodd"
        d="M128 40 L226 124 L200 124 L200 212 L56 212 L56 124 L30 124 Z
           M116 156 L140 156 A6 6 0 0 1 146 162 L146 212 L110 212 L110 162 A6 6 0 0 1 116 156 Z"/>
  <polyline points="70,190 104,150 132,168 178,110" fill="none" stroke="#f5b12d" stroke-width="18"
            stroke-linecap="round" stroke-linejoin="round"/>
  <polygon points="196,88 194,134 156,106" fill="#f5b12d" stroke="#f5b12d" stroke-width="6"
           stroke-linejoin="round"/>
</svg>
)svg";

QImage icon(int size)
{
    QImage image = clearCanvas(size, size, 1);
    QPainter painter(&image);
    smooth(painter);
    drawProductMark(painter, QRectF(0, 0, size, size), true);
    return image;
}

} // namespace

void drawAppIcons(PictureWriter& writer)
{
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        writer.iconFile(QStringLiteral("quorvane-%1.png").arg(size), icon(size));
    writer.iconText(QStringLiteral("quorvane.svg"), QByteArray(Svg));
}

} // namespace quorvane
