#include "Canvas.h"

#include "Palette.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace quorvane {

namespace {

QImage scaledImage(int width, int height, QImage::Format format, int scale)
{
    QImage image(width * scale, height * scale, format);
    image.setDevicePixelRatio(scale);
    return image;
}

} // namespace

QImage opaqueCanvas(int width, int height, const QColor& fill, int scale)
{
    QImage image = scaledImage(width, height, QImage::Format_RGB32, scale);
    image.fill(fill);
    return image;
}

QImage clearCanvas(int width, int height, int scale)
{
    QImage image = scaledImage(width, height, QImage::Format_ARGB32_Premultiplied, scale);
    image.fill(Qt::transparent);
    return image;
}

QImage titleCanvas(int width, int height, int top, int scale)
{
    QImage image = scaledImage(width, height, QImage::Format_RGB32, scale);
    for (int y = 0; y < image.height(); ++y) {
        const QRgb colour = Palette::titleRow(top + y / scale).rgb();
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line, line + image.width(), colour);
    }
    return image;
}

void smooth(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

QFont uiFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void drawText(QPainter& painter, const QRectF& rect, int flags, const QString& text, const QFont& font,
              const QColor& colour)
{
    painter.save();
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(rect, flags, text);
    painter.restore();
}

void drawButtonFace(QPainter& painter, const QRectF& rect, double radius, const ButtonLook& look)
{
    painter.save();
    const QRectF face = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient gradient(face.topLeft(), face.bottomLeft());
    gradient.setColorAt(0, look.top);
    gradient.setColorAt(1, look.bottom);
    painter.setPen(QPen(look.border, 1));
    painter.setBrush(gradient);
    painter.drawRoundedRect(face, radius, radius);
    if (look.shine.isValid()) {
        painter.setPen(QPen(look.shine, 1));
        painter.drawLine(QPointF(face.left() + radius, face.top() + 1),
                         QPointF(face.right() - radius, face.top() + 1));
    }
    painter.restore();
}

void drawProductMark(QPainter& painter, const QRectF& box, bool plate)
{
    painter.save();
    painter.translate(box.topLeft());
    painter.scale(box.width() / 256.0, box.height() / 256.0);

    if (plate) {
        QLinearGradient gradient(0, 0, 0, 256);
        gradient.setColorAt(0, QColor(52, 124, 208));
        gradient.setColorAt(1, Palette::TitleBlue);
        painter.setPen(Qt::NoPen);
        painter.setBrush(gradient);
        painter.drawRoundedRect(QRectF(8, 8, 240, 240), 52, 52);
    }

    // House: roof and body in one outline, with a door cut out.
    QPainterPath house;
    house.moveTo(128, 40);
    house.lineTo(226, 124);
    house.lineTo(200, 124);
    house.lineTo(200, 212);
    house.lineTo(56, 212);
    house.lineTo(56, 124);
    house.lineTo(30, 124);
    house.closeSubpath();
    // Below about 28 pixels the door and a thin line would blur; the mark keeps only its outline
    // and a bolder line.
    const bool small = box.width() < 28;
    QPainterPath door;
    door.addRoundedRect(QRectF(110, 156, 36, 56), 6, 6);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(small ? house : house.subtracted(door));

    // The rising price line across the house front.
    QPainterPath trend;
    trend.moveTo(70, 190);
    trend.lineTo(104, 150);
    trend.lineTo(132, 168);
    trend.lineTo(178, 110);
    QPen pen(Palette::Gold, small ? 26 : 18, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(trend);
    QPainterPath head;
    head.moveTo(196, 88);
    head.lineTo(194, 134);
    head.lineTo(156, 106);
    head.closeSubpath();
    painter.setPen(QPen(Palette::Gold, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Palette::Gold);
    painter.drawPath(head);
    painter.restore();
}

} // namespace quorvane
