#include "DialogPictures.h"

#include "Canvas.h"
#include "Palette.h"
#include "PictureWriter.h"

#include <QPainterPath>
#include <QtMath>

namespace quorvane {

namespace {

// Light body, header band with the product mark and the window's title, and a border line.
QImage dialogCanvas(int width, int height, const QString& title, int scale)
{
    QImage image = opaqueCanvas(width, height, Palette::DialogBody, scale);
    QPainter painter(&image);
    smooth(painter);
    const int header = Palette::DialogHeaderHeight;
    painter.fillRect(QRect(0, 0, width, header), Palette::DialogHeader);
    painter.fillRect(QRect(0, 1, width, 1), QColor(242, 247, 253));
    painter.fillRect(QRect(0, header - 1, width, 1), QColor(196, 212, 234));
    drawProductMark(painter, QRectF(16, 14, 22, 22), true);
    drawText(painter, QRectF(46, 0, 200, header), Qt::AlignLeft | Qt::AlignVCenter, title, uiFont(15, true),
             Palette::TitleBlue);
    painter.setPen(QPen(Palette::Border, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, 0.5, width - 1, height - 1));
    return image;
}

void drawGear(QPainter& painter, QPointF centre, double outer, double inner, const QColor& colour)
{
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        // Each tooth is a plateau between two steps of the outline.
        const double a0 = (i - 0.5) * M_PI / teeth;
        const double a1 = (i + 0.5) * M_PI / teeth;
        const double r = (i % 2 == 0) ? outer : inner;
        const QPointF p0 = centre + QPointF(std::cos(a0 + 0.08) * r, std::sin(a0 + 0.08) * r);
        const QPointF p1 = centre + QPointF(std::cos(a1 - 0.08) * r, std::sin(a1 - 0.08) * r);
        if (i == 0)
            gear.moveTo(p0);
        else
            gear.lineTo(p0);
        gear.lineTo(p1);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(centre, inner * 0.45, inner * 0.45);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(gear.subtracted(hole));
    painter.restore();
}

QImage settingsPicture(int scale)
{
    QImage image = dialogCanvas(453, 251, QStringLiteral("系统设置"), scale);
    QPainter painter(&image);
    smooth(painter);
    // An emblem to the left of the three check boxes.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(228, 237, 249));
    painter.drawEllipse(QPointF(84, 114), 40, 40);
    drawGear(painter, QPointF(78, 108), 24, 18, QColor(70, 128, 196));
    drawGear(painter, QPointF(100, 132), 12, 9, QColor(245, 177, 45));
    // A groove above the buttons.
    painter.fillRect(QRect(24, 164, 405, 1), QColor(222, 222, 222));
    painter.fillRect(QRect(24, 165, 405, 1), Qt::white);
    return image;
}

QImage feedbackPicture(int scale)
{
    QImage image = dialogCanvas(453, 280, QStringLiteral("意见反馈"), scale);
    QPainter painter(&image);
    smooth(painter);
    // A frame around the page view at (24, 64), 409 x 193.
    painter.setPen(QPen(QColor(182, 198, 222), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(23.5, 63.5, 410, 194));
    drawText(painter, QRectF(24, 259, 409, 20), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("感谢您的宝贵意见，我们会认真阅读每一条反馈。"), uiFont(12),
             QColor(124, 132, 146));
    return image;
}

} // namespace

void drawDialogPictures(PictureWriter& writer, int scale)
{
    writer.picture(QStringLiteral("SETTING_BG"), settingsPicture(scale));
    writer.picture(QStringLiteral("FEEDBACK_BG"), feedbackPicture(scale));
}

} // namespace quorvane
