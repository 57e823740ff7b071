#include "LoginPictures.h"

#include "Canvas.h"
#include "Palette.h"
#include "PictureWriter.h"
#include "SkinButtons.h"

#include <QPainterPath>

namespace quorvane {

namespace {

void drawCoin(QPainter& painter, QPointF centre, double radius, bool sign)
{
    painter.save();
    // The coin's edge shows below its face.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(196, 128, 24));
    painter.drawEllipse(centre + QPointF(0, radius * 0.18), radius, radius * 0.92);
    QRadialGradient face(centre - QPointF(radius * 0.35, radius * 0.4), radius * 1.4);
    face.setColorAt(0, QColor(255, 232, 140));
    face.setColorAt(1, QColor(238, 168, 36));
    painter.setBrush(face);
    painter.setPen(QPen(QColor(214, 142, 26), 1));
    painter.drawEllipse(centre, radius, radius * 0.92);
    if (sign)
        drawText(painter, QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius),
                 Qt::AlignCenter, QStringLiteral("¥"), uiFont(int(radius * 1.2), true), QColor(176, 108, 10));
    painter.restore();
}

void drawHouse(QPainter& painter)
{
    painter.save();
    // Shadow on the ground.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(170, 194, 226, 150));
    painter.drawEllipse(QRectF(14, 196, 124, 16));

    // Walls.
    QLinearGradient wall(0, 140, 0, 204);
    wall.setColorAt(0, QColor(255, 255, 255));
    wall.setColorAt(1, QColor(232, 238, 247));
    painter.setPen(QPen(QColor(150, 170, 200), 1));
    painter.setBrush(wall);
    painter.drawRect(QRectF(30.5, 140.5, 84, 63));
    // Chimney.
    painter.setBrush(QColor(176, 72, 52));
    painter.setPen(Qt::NoPen);
    painter.drawRect(QRectF(92, 108, 11, 22));
    // Roof.
    QPainterPath roof;
    roof.moveTo(20, 144);
    roof.lineTo(72.5, 100);
    roof.lineTo(125, 144);
    roof.lineTo(117, 144);
    roof.lineTo(72.5, 108);
    roof.lineTo(28, 144);
    roof.closeSubpath();
    QLinearGradient tiles(0, 100, 0, 144);
    tiles.setColorAt(0, QColor(232, 96, 64));
    tiles.setColorAt(1, QColor(196, 66, 44));
    painter.setBrush(tiles);
    painter.drawPath(roof);
    QPainterPath gable;
    gable.moveTo(28, 144);
    gable.lineTo(72.5, 108);
    gable.lineTo(117, 144);
    gable.closeSubpath();
    painter.setBrush(QColor(248, 250, 253));
    painter.drawPath(gable);
    // Round attic window.
    painter.setBrush(QColor(120, 172, 228));
    painter.setPen(QPen(Qt::white, 1.5));
    painter.drawEllipse(QPointF(72.5, 129), 6, 6);
    // Windows.
    for (double x : {40.0, 88.0}) {
        painter.setPen(QPen(QColor(120, 140, 170), 1));
        painter.setBrush(QColor(132, 184, 236));
        painter.drawRect(QRectF(x + 0.5, 156.5, 17, 17));
        painter.setPen(QPen(Qt::white, 1.2));
        painter.drawLine(QPointF(x + 9, 157), QPointF(x + 9, 174));
        painter.drawLine(QPointF(x + 1, 165), QPointF(x + 17, 165));
    }
    // Door.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(148, 96, 56));
    painter.drawRoundedRect(QRectF(65, 170, 16, 34), 2, 2);
    painter.setBrush(QColor(250, 214, 120));
    painter.drawEllipse(QPointF(77, 188), 1.4, 1.4);
    painter.restore();
}

// The side picture of the login window: a house with a trail of coins.
QImage loginSide(int scale)
{
    QImage image = opaqueCanvas(150, 295, Palette::FrameLight, scale);
    QPainter painter(&image);
    smooth(painter);
    QLinearGradient sky(0, 0, 0, 295);
    sky.setColorAt(0, QColor(240, 246, 253));
    sky.setColorAt(1, QColor(206, 222, 243));
    painter.fillRect(image.rect(), sky);

    drawText(painter, QRectF(0, 20, 150, 26), Qt::AlignHCenter | Qt::AlignVCenter,
             QStringLiteral("房价早知道"), uiFont(19, true), Palette::TitleBlue);
    drawText(painter, QRectF(0, 48, 150, 18), Qt::AlignHCenter | Qt::AlignVCenter,
             QStringLiteral("实时掌握房产价格动态"), uiFont(11), QColor(84, 112, 150));

    // A soft hill for the house to stand on.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 110));
    painter.drawEllipse(QRectF(-40, 198, 230, 90));

    drawHouse(painter);

    // The trail of coins rising towards the house, and a small stack beside it.
    const QPointF trail[] = {{16, 268}, {36, 259}, {57, 252}, {79, 247}};
    const double sizes[] = {4.5, 5.5, 6.5, 7.5};
    for (int i = 0; i < 4; ++i)
        drawCoin(painter, trail[i], sizes[i], false);
    for (int i = 0; i < 3; ++i)
        drawCoin(painter, QPointF(126, 206 - i * 6), 11, false);
    drawCoin(painter, QPointF(126, 188), 11, true);
    drawCoin(painter, QPointF(106, 244), 10, true);

    // A hairline that parts the picture from the frame beside it.
    painter.setPen(QPen(QColor(186, 204, 230), 1));
    painter.drawLine(QPointF(149.5, 0), QPointF(149.5, 295));
    return image;
}

// A frame background: the light frame colour with a small caption above the form.
QImage frameBackground(const QString& caption, double captionLeft, int scale)
{
    QImage image = opaqueCanvas(301, 295, Palette::FrameLight, scale);
    QPainter painter(&image);
    smooth(painter);
    painter.fillRect(QRect(0, 0, 301, 1), QColor(236, 243, 251));
    if (!caption.isEmpty()) {
        painter.fillRect(QRectF(captionLeft, 7, 3, 12), Palette::TitleBlue);
        drawText(painter, QRectF(captionLeft + 7, 3, 200, 20), Qt::AlignLeft | Qt::AlignVCenter, caption,
                 uiFont(12, true), Palette::TitleBlue);
    }
    return image;
}

// The logo picture of the microblog frame.
QImage microblogLogo(int scale)
{
    QImage image = opaqueCanvas(140, 42, Palette::FrameLight, scale);
    QPainter painter(&image);
    smooth(painter);
    drawMicroblogBubble(painter, QRectF(0, 3, 40, 36));
    drawText(painter, QRectF(47, 1, 93, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("微博登录"),
             uiFont(18, true), QColor(206, 34, 44));
    drawText(painter, QRectF(47, 24, 93, 16), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("使用微博帐号登录"), uiFont(11), Palette::Ink);
    return image;
}

// An etched line that fades out at both ends.
QImage separator(int scale)
{
    QImage image = clearCanvas(267, 4, scale);
    QPainter painter(&image);
    auto faded = [](const QColor& colour) {
        QLinearGradient gradient(0, 0, 267, 0);
        QColor clear = colour;
        clear.setAlpha(0);
        gradient.setColorAt(0, clear);
        gradient.setColorAt(0.15, colour);
        gradient.setColorAt(0.85, colour);
        gradient.setColorAt(1, clear);
        return gradient;
    };
    painter.fillRect(QRect(0, 1, 267, 1), faded(QColor(150, 176, 212)));
    painter.fillRect(QRect(0, 2, 267, 1), faded(QColor(250, 252, 255)));
    return image;
}

// The small line of text at the foot of every frame.
QImage footer(int scale)
{
    QImage image = clearCanvas(168, 13, scale);
    QPainter painter(&image);
    smooth(painter);
    drawText(painter, QRectF(4, -2, 164, 16), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Quorvane · 房产价格信息服务"), uiFont(11), QColor(112, 136, 170));
    return image;
}

// Red round sign with a white exclamation mark, beside an error label.
QImage errorIcon(int scale)
{
    QImage image = clearCanvas(12, 12, scale);
    QPainter painter(&image);
    smooth(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(222, 48, 48));
    painter.drawEllipse(QRectF(0, 0, 12, 12));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(5.1, 2.4, 1.8, 5), 0.8, 0.8);
    painter.drawEllipse(QPointF(6, 9.1), 1.05, 1.05);
    return image;
}

} // namespace

void drawLoginPictures(PictureWriter& writer, int scale)
{
    writer.picture(QStringLiteral("LOGIN_SIDE"), loginSide(scale));
    writer.picture(QStringLiteral("FRAME_LOGIN"), frameBackground(QStringLiteral("帐号登录"), 62, scale));
    writer.picture(QStringLiteral("FRAME_SINA"), frameBackground(QString(), 0, scale));
    writer.picture(QStringLiteral("FRAME_REG"), frameBackground(QStringLiteral("注册新帐号"), 86, scale));
    writer.picture(QStringLiteral("SINA_LOGO"), microblogLogo(scale));
    writer.picture(QStringLiteral("FRAME_SEPARATOR"), separator(scale));
    writer.picture(QStringLiteral("FRAME_FOOTER"), footer(scale));
    writer.picture(QStringLiteral("ERROR_ICON"), errorIcon(scale));
}

} // namespace quorvane
