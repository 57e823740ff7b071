#include "TitlePictures.h"

#include "Canvas.h"
#include "Palette.h"
#include "PictureWriter.h"

#include <QPainterPath>

namespace quorvane {

namespace {

// Buttons and labels cover rows 6 to 27; the skyline stays below them, so every column above
// row 30 is the plain title gradient and the buttons' bitmaps match it anywhere.
constexpr int SkylineTop = 30;

// A faint city skyline along the bottom of a title bar, between `left` and `right`.
void drawSkyline(QPainter& painter, int left, int right, int bottom)
{
    static const int heights[] = {9, 14, 7, 18, 11, 16, 6, 12, 20, 10, 15, 8, 13, 17, 9, 12, 6, 14};
    static const int widths[] = {14, 10, 18, 12, 16, 9, 20, 13, 11, 17, 12, 15, 10, 14, 19, 11, 16, 12};
    QPainterPath city;
    int x = left;
    for (int i = 0; x < right; ++i) {
        const int w = widths[i % 18];
        const int h = heights[(i * 7) % 18];
        city.addRect(QRectF(x, bottom - h, std::min(w, right - x), h));
        x += w;
    }
    QLinearGradient fade(left, 0, right, 0);
    fade.setColorAt(0, QColor(255, 255, 255, 0));
    fade.setColorAt(0.2, QColor(255, 255, 255, 20));
    fade.setColorAt(0.8, QColor(255, 255, 255, 20));
    fade.setColorAt(1, QColor(255, 255, 255, 0));
    painter.save();
    painter.setClipRect(QRect(left, SkylineTop, right - left, bottom - SkylineTop));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fade);
    painter.drawPath(city.simplified());
    painter.restore();
}

// Product mark, name and a subtitle at the left end of a dark band.
void drawBrand(QPainter& painter, int height, const QString& subtitle)
{
    const int mark = height >= 51 ? 34 : 30;
    const double top = (height - mark) / 2.0;
    drawProductMark(painter, QRectF(12, top, mark, mark), true);
    painter.setPen(QPen(QColor(255, 255, 255, 70), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(12 + mark * 8 / 256.0 + 0.5, top + mark * 8 / 256.0 + 0.5,
                                   mark * 240 / 256.0 - 1, mark * 240 / 256.0 - 1),
                            mark * 52 / 256.0, mark * 52 / 256.0);
    const int textLeft = 12 + mark + 9;
    drawText(painter, QRectF(textLeft, height / 2.0 - 21, 200, 24), Qt::AlignLeft | Qt::AlignBottom,
             QStringLiteral("Quorvane"), uiFont(19, true), Qt::white);
    drawText(painter, QRectF(textLeft + 1, height / 2.0 + 3, 240, 18), Qt::AlignLeft | Qt::AlignTop, subtitle,
             uiFont(12), QColor(188, 213, 243));
}

QImage titleBar(int width, const QString& subtitle, int skylineLeft, int skylineRight, int scale)
{
    QImage image = titleCanvas(width, 51, 0, scale);
    QPainter painter(&image);
    smooth(painter);
    drawSkyline(painter, skylineLeft, skylineRight, 50);
    drawBrand(painter, 51, subtitle);
    return image;
}

QImage aboutBanner(int scale)
{
    QImage image = titleCanvas(1290, 49, 0, scale);
    QPainter painter(&image);
    smooth(painter);
    drawSkyline(painter, 220, 1200, 49);
    drawBrand(painter, 49, QStringLiteral("房产价格信息服务客户端"));
    return image;
}

// Gold round badge with a white V: a certified enterprise account.
QImage certifiedBadge(int scale)
{
    QImage image = clearCanvas(16, 16, scale);
    QPainter painter(&image);
    smooth(painter);
    QRadialGradient gold(QPointF(6, 5), 11);
    gold.setColorAt(0, QColor(255, 214, 102));
    gold.setColorAt(1, QColor(232, 146, 20));
    painter.setPen(QPen(QColor(255, 244, 214), 1));
    painter.setBrush(gold);
    painter.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    QPainterPath v;
    v.moveTo(4.6, 4.8);
    v.lineTo(8, 11.6);
    v.lineTo(11.4, 4.8);
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(v);
    return image;
}

// A one-pixel groove: a dark column beside a light one.
QImage groove(int width, int height, int scale)
{
    QImage image = clearCanvas(width, height, scale);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, 1, height), QColor(10, 50, 104));
    painter.fillRect(QRect(1, 0, 1, height), QColor(74, 132, 202));
    return image;
}

// A white envelope.
QImage envelope(int scale)
{
    QImage image = clearCanvas(13, 10, scale);
    QPainter painter(&image);
    smooth(painter);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, 0.5, 12, 9));
    QPainterPath flap;
    flap.moveTo(1, 1);
    flap.lineTo(6.5, 5.6);
    flap.lineTo(12, 1);
    painter.drawPath(flap);
    return image;
}

} // namespace

void drawTitlePictures(PictureWriter& writer, int scale)
{
    writer.picture(QStringLiteral("TITLE_MAIN"),
                   titleBar(995, QStringLiteral("房产价格信息服务"), 200, 600, scale));
    writer.picture(QStringLiteral("TITLE_LOGIN"), titleBar(451, QStringLiteral("欢迎登录"), 170, 372, scale));
    writer.picture(QStringLiteral("TITLE_MESSAGE"),
                   titleBar(415, QStringLiteral("消息提醒"), 170, 340, scale));
    writer.picture(QStringLiteral("BADGE_V"), certifiedBadge(scale));
    writer.picture(QStringLiteral("TITLE_SPLIT"), groove(2, 11, scale));
    writer.picture(QStringLiteral("TITLE_EMAIL"), envelope(scale));
    writer.picture(QStringLiteral("TITLE_SEPARATOR"), groove(3, 8, scale));
    writer.picture(QStringLiteral("ABOUT_BANNER"), aboutBanner(scale));
}

} // namespace quorvane
