#include "SkinButtons.h"

#include "Canvas.h"
#include "Palette.h"
#include "PictureWriter.h"

#include <QFontMetricsF>
#include <QPainterPath>

namespace quorvane {

namespace {

enum class State
{
    Normal,
    Hover,
    Click
};

// Title-bar buttons sit at rows 8 (minimise, close) and 6 (option) of every dark title bar.
constexpr int TitleButtonTop = 8;
constexpr int OptionButtonTop = 6;

void drawCross(QPainter& painter, QPointF centre, double half, const QColor& colour, double width)
{
    painter.save();
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre + QPointF(-half, -half), centre + QPointF(half, half));
    painter.drawLine(centre + QPointF(-half, half), centre + QPointF(half, -half));
    painter.restore();
}

// The lit or pressed plate behind a title-bar glyph.
void drawTitlePlate(QPainter& painter, const QRectF& rect, const QColor& colour)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(rect, 4, 4);
    painter.restore();
}

QImage closeButton(State state, int scale)
{
    QImage image = titleCanvas(28, 16, TitleButtonTop, scale);
    QPainter painter(&image);
    smooth(painter);
    QPointF centre(14, 8);
    if (state == State::Hover)
        drawTitlePlate(painter, QRectF(0, 0, 28, 16), QColor(224, 67, 56));
    if (state == State::Click) {
        drawTitlePlate(painter, QRectF(0, 0, 28, 16), QColor(170, 36, 28));
        centre += QPointF(0, 1);
    }
    drawCross(painter, centre, 3.6, Qt::white, 1.7);
    return image;
}

QImage minButton(State state, int scale)
{
    QImage image = titleCanvas(28, 16, TitleButtonTop, scale);
    QPainter painter(&image);
    smooth(painter);
    double y = 10;
    if (state == State::Hover)
        drawTitlePlate(painter, QRectF(0, 0, 28, 16), QColor(255, 255, 255, 60));
    if (state == State::Click) {
        drawTitlePlate(painter, QRectF(0, 0, 28, 16), QColor(6, 40, 86, 150));
        y += 1;
    }
    painter.fillRect(QRectF(9, y, 10, 2), Qt::white);
    return image;
}

QImage optionButton(State state, int scale)
{
    QImage image = titleCanvas(21, 21, OptionButtonTop, scale);
    QPainter painter(&image);
    smooth(painter);
    double shift = 0;
    if (state == State::Hover)
        drawTitlePlate(painter, QRectF(0, 0, 21, 21), QColor(255, 255, 255, 60));
    if (state == State::Click) {
        drawTitlePlate(painter, QRectF(0, 0, 21, 21), QColor(6, 40, 86, 150));
        shift = 1;
    }
    // Three bars, the menu sign.
    for (int row = 0; row < 3; ++row)
        painter.fillRect(QRectF(5, 6 + shift + row * 4, 11, 2), Qt::white);
    return image;
}

QImage smallCloseButton(State state, int scale)
{
    QImage image = opaqueCanvas(19, 18, Palette::DialogHeader, scale);
    QPainter painter(&image);
    smooth(painter);
    if (state == State::Hover) {
        drawTitlePlate(painter, QRectF(0, 0, 19, 18), QColor(224, 67, 56));
        drawCross(painter, QPointF(9.5, 9), 3.6, Qt::white, 1.6);
    } else {
        drawCross(painter, QPointF(9.5, 9), 3.6, QColor(88, 112, 146), 1.6);
    }
    return image;
}

const ButtonLook BlueLook{QColor(66, 136, 214), QColor(28, 92, 170), QColor(22, 74, 140),
                          QColor(122, 178, 236)};
const ButtonLook BlueHoverLook{QColor(100, 166, 238), QColor(46, 116, 198), QColor(26, 86, 158),
                               QColor(164, 208, 248)};

// The blank blue button of the login frames; its caption is a label laid over it.
QImage blankButton(State state, int scale)
{
    QImage image = opaqueCanvas(87, 30, Palette::FrameLight, scale);
    QPainter painter(&image);
    smooth(painter);
    drawButtonFace(painter, QRectF(0, 0, 87, 30), 4, state == State::Hover ? BlueHoverLook : BlueLook);
    return image;
}

QImage saveButton(State state, int scale)
{
    QImage image = opaqueCanvas(78, 26, Palette::DialogBody, scale);
    QPainter painter(&image);
    smooth(painter);
    drawButtonFace(painter, QRectF(0, 0, 78, 26), 4, state == State::Hover ? BlueHoverLook : BlueLook);
    drawText(painter, QRectF(0, 0, 78, 25), Qt::AlignCenter, QStringLiteral("保存"), uiFont(14, true),
             Qt::white);
    return image;
}

QImage cancelButton(State state, int scale)
{
    QImage image = opaqueCanvas(78, 26, Palette::DialogBody, scale);
    QPainter painter(&image);
    smooth(painter);
    const bool hover = state == State::Hover;
    const ButtonLook look{Qt::white, hover ? QColor(232, 240, 251) : QColor(228, 230, 235),
                          hover ? QColor(66, 122, 190) : QColor(168, 174, 184), QColor()};
    drawButtonFace(painter, QRectF(0, 0, 78, 26), 4, look);
    drawText(painter, QRectF(0, 0, 78, 25), Qt::AlignCenter, QStringLiteral("取消"), uiFont(14),
             hover ? Palette::TitleBlue : Palette::Ink);
    return image;
}

// A back arrow in a ring and the words "back to login".
QImage gobackButton(State state, int scale)
{
    QImage image = opaqueCanvas(75, 22, Palette::FrameLight, scale);
    QPainter painter(&image);
    smooth(painter);
    const bool hover = state == State::Hover;
    if (hover) {
        painter.setPen(QPen(QColor(150, 180, 220), 1));
        painter.setBrush(QColor(236, 243, 252));
        painter.drawRoundedRect(QRectF(0.5, 0.5, 74, 21), 4, 4);
    }
    const QRectF ring(4.5, 4.5, 13, 13);
    painter.setPen(QPen(Palette::TitleBlue, 1.2));
    painter.setBrush(hover ? Palette::TitleBlue : Qt::transparent);
    painter.drawEllipse(ring);
    QPainterPath arrow;
    arrow.moveTo(12.5, 7.5);
    arrow.lineTo(8.8, 11);
    arrow.lineTo(12.5, 14.5);
    painter.setPen(
        QPen(hover ? Qt::white : Palette::TitleBlue, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(arrow);
    QFont font = uiFont(12);
    font.setUnderline(hover);
    drawText(painter, QRectF(21, 0, 52, 21), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("返回登录"),
             font, Palette::TitleBlue);
    return image;
}

// The green button of the account frame whose picture carries "register a new user".
QImage regButton(State state, int scale)
{
    QImage image = opaqueCanvas(100, 30, Palette::FrameLight, scale);
    QPainter painter(&image);
    smooth(painter);
    const ButtonLook normal{QColor(104, 194, 86), QColor(58, 148, 50), QColor(44, 120, 40),
                            QColor(160, 224, 146)};
    const ButtonLook hover{QColor(128, 212, 108), QColor(74, 168, 64), QColor(52, 136, 46),
                           QColor(186, 238, 172)};
    drawButtonFace(painter, QRectF(0, 0, 100, 30), 4, state == State::Hover ? hover : normal);

    const QFont font = uiFont(13, true);
    const QString text = QStringLiteral("注册新用户");
    const double textWidth = QFontMetricsF(font).horizontalAdvance(text);
    const double left = (100 - (12 + 4 + textWidth)) / 2;
    // A plus sign in a ring before the words.
    painter.setPen(QPen(Qt::white, 1.3));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(left + 0.5, 9.5, 11, 11));
    painter.drawLine(QPointF(left + 6, 12), QPointF(left + 6, 18));
    painter.drawLine(QPointF(left + 3, 15), QPointF(left + 9, 15));
    drawText(painter, QRectF(left + 16, 0, textWidth + 2, 29), Qt::AlignVCenter | Qt::AlignLeft, text, font,
             Qt::white);
    return image;
}

// The light button of the account frame: the microblog bubble and "log in with a microblog account".
QImage sinaButton(State state, int scale)
{
    QImage image = opaqueCanvas(146, 30, Palette::FrameLight, scale);
    QPainter painter(&image);
    smooth(painter);
    const bool hover = state == State::Hover;
    const ButtonLook look{Qt::white, hover ? QColor(255, 243, 234) : QColor(238, 241, 246),
                          hover ? QColor(226, 112, 52) : QColor(160, 174, 196), QColor()};
    drawButtonFace(painter, QRectF(0, 0, 146, 30), 4, look);

    const QFont font = uiFont(12, hover);
    const QString text = QStringLiteral("使用微博帐号登录");
    const double textWidth = QFontMetricsF(font).horizontalAdvance(text);
    const double left = (146 - (20 + 4 + textWidth)) / 2;
    drawMicroblogBubble(painter, QRectF(left, 6, 20, 18));
    drawText(painter, QRectF(left + 24, 0, textWidth + 2, 29), Qt::AlignVCenter | Qt::AlignLeft, text, font,
             hover ? QColor(196, 64, 20) : Palette::Ink);
    return image;
}

} // namespace

void drawMicroblogBubble(QPainter& painter, const QRectF& box)
{
    painter.save();
    painter.translate(box.topLeft());
    painter.scale(box.width() / 40.0, box.height() / 36.0);
    QPainterPath bubble;
    bubble.addEllipse(QRectF(1, 1, 38, 28));
    QPainterPath tail;
    tail.moveTo(9, 22);
    tail.lineTo(6, 35);
    tail.lineTo(19, 27);
    tail.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(226, 38, 48));
    painter.drawPath(bubble.united(tail));
    // Three dots: a message being written.
    painter.setBrush(Qt::white);
    for (int i = 0; i < 3; ++i)
        painter.drawEllipse(QPointF(11 + i * 9, 15), 3.2, 3.2);
    painter.restore();
}

void drawSkinButtons(PictureWriter& writer, int scale)
{
    writer.bitmap(QStringLiteral("BUTTON_NORMAL"), blankButton(State::Normal, scale));
    writer.bitmap(QStringLiteral("BUTTON_HOVER"), blankButton(State::Hover, scale));
    writer.bitmap(QStringLiteral("CANCEL_NORMAL"), cancelButton(State::Normal, scale));
    writer.bitmap(QStringLiteral("CANCEL_HOVER"), cancelButton(State::Hover, scale));
    writer.bitmap(QStringLiteral("SAVE_NORMAL"), saveButton(State::Normal, scale));
    writer.bitmap(QStringLiteral("SAVE_HOVER"), saveButton(State::Hover, scale));
    writer.bitmap(QStringLiteral("CLOSEF_NORMAL"), smallCloseButton(State::Normal, scale));
    writer.bitmap(QStringLiteral("CLOSEF_HOVER"), smallCloseButton(State::Hover, scale));
    writer.bitmap(QStringLiteral("CLOSE_NORMAL"), closeButton(State::Normal, scale));
    writer.bitmap(QStringLiteral("CLOSE_HOVER"), closeButton(State::Hover, scale));
    writer.bitmap(QStringLiteral("CLOSE_CLICK"), closeButton(State::Click, scale));
    writer.bitmap(QStringLiteral("MIN_NORMAL"), minButton(State::Normal, scale));
    writer.bitmap(QStringLiteral("MIN_HOVER"), minButton(State::Hover, scale));
    writer.bitmap(QStringLiteral("MIN_CLICK"), minButton(State::Click, scale));
    writer.bitmap(QStringLiteral("OPTION_NORMAL"), optionButton(State::Normal, scale));
    writer.bitmap(QStringLiteral("OPTION_HOVER"), optionButton(State::Hover, scale));
    writer.bitmap(QStringLiteral("OPTION_CLICK"), optionButton(State::Click, scale));
    writer.bitmap(QStringLiteral("GOBACK_NORMAL"), gobackButton(State::Normal, scale));
    writer.bitmap(QStringLiteral("GOBACK_HOVER"), gobackButton(State::Hover, scale));
    writer.bitmap(QStringLiteral("REG_NORMAL"), regButton(State::Normal, scale));
    writer.bitmap(QStringLiteral("REG_HOVER"), regButton(State::Hover, scale));
    writer.bitmap(QStringLiteral("SINA_NORMAL"), sinaButton(State::Normal, scale));
    writer.bitmap(QStringLiteral("SINA_HOVER"), sinaButton(State::Hover, scale));
}

} // namespace quorvane
