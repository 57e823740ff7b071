#include "Mockups.h"

#include "Canvas.h"
#include "Palette.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <stdexcept>

namespace quorvane {

namespace {

class Sheet final
{
public:
    Sheet(const QDir& resources, int width, int height, const QColor& fill)
        : m_resources(resources), m_image(opaqueCanvas(width, height, fill, 1)), m_painter(&m_image)
    {
        smooth(m_painter);
    }

    QImage load(const QString& name) const
    {
        for (const char* suffix : {".bmp", ".png"}) {
            const QImage picture(
                m_resources.filePath(QStringLiteral("skin/") + name + QLatin1String(suffix)));
            if (!picture.isNull())
                return picture;
        }
        throw std::runtime_error("missing picture " + name.toStdString());
    }

    void put(const QString& name, int x, int y) { m_painter.drawImage(x, y, load(name)); }

    void writeText(int x, int y, const QString& text, int size, const QColor& colour = Palette::Ink,
                   bool bold = false)
    {
        drawText(m_painter, QRectF(x, y, 400, size + 6), Qt::AlignLeft | Qt::AlignTop, text,
                 uiFont(size, bold), colour);
    }

    void edit(int x, int y, int w, int h, const QString& text = QString())
    {
        m_painter.setPen(QPen(QColor(127, 157, 185), 1));
        m_painter.setBrush(Qt::white);
        m_painter.drawRect(QRectF(x + 0.5, y + 0.5, w - 1, h - 1));
        if (!text.isEmpty())
            drawText(m_painter, QRectF(x + 4, y, w - 8, h), Qt::AlignLeft | Qt::AlignVCenter, text,
                     uiFont(14), Palette::Ink);
    }

    void check(int x, int y, const QString& text, bool checked = true)
    {
        m_painter.setPen(QPen(QColor(112, 112, 112), 1));
        m_painter.setBrush(Qt::white);
        m_painter.drawRect(QRectF(x + 0.5, y + 2.5, 12, 12));
        if (checked) {
            QPainterPath tick;
            tick.moveTo(x + 3, y + 8.5);
            tick.lineTo(x + 5.5, y + 11);
            tick.lineTo(x + 10, y + 5.5);
            m_painter.setPen(QPen(QColor(30, 30, 30), 1.6));
            m_painter.setBrush(Qt::NoBrush);
            m_painter.drawPath(tick);
        }
        writeText(x + 16, y, text, 12);
    }

    // The rounded region and border line of a skinned window.
    void round(int ellipse)
    {
        QImage shaped = opaqueCanvas(m_image.width(), m_image.height(), QColor(90, 90, 90), 1);
        QPainter mask(&shaped);
        smooth(mask);
        QPainterPath region;
        region.addRoundedRect(QRectF(1, 1, m_image.width() - 1, m_image.height() - 1), ellipse / 2.0,
                              ellipse / 2.0);
        mask.setClipPath(region);
        mask.drawImage(0, 0, m_image);
        mask.setClipping(false);
        mask.setPen(QPen(Palette::Border, 1));
        mask.setBrush(Qt::NoBrush);
        mask.drawRoundedRect(QRectF(1.5, 1.5, m_image.width() - 2.5, m_image.height() - 2.5), 7.5, 7.5);
        mask.end();
        m_painter.drawImage(0, 0, shaped);
    }

    QPainter& painter() { return m_painter; }

    void save(const QDir& out, const QString& file)
    {
        m_painter.end();
        if (!m_image.save(out.filePath(file)))
            throw std::runtime_error("cannot write " + file.toStdString());
    }

private:
    QDir m_resources;
    QImage m_image;
    QPainter m_painter;
};

enum class Frame
{
    Login,
    Sina,
    Reg
};

void loginWindow(const QDir& resources, const QDir& out, Frame frame, const QString& file)
{
    Sheet s(resources, 455, 350, Palette::Border);
    s.put(QStringLiteral("TITLE_LOGIN"), 2, 2);
    s.put(QStringLiteral("MIN_NORMAL"), 2 + 381, 2 + 8);
    s.put(QStringLiteral("CLOSE_HOVER"), 2 + 415, 2 + 8);
    s.put(QStringLiteral("LOGIN_SIDE"), 2, 53);
    const int fx = 152;
    const int fy = 53;
    auto at = [&](const QString& name, int x, int y) { s.put(name, fx + x, fy + y); };
    auto text = [&](int x, int y, const QString& t, int size, const QColor& c = Palette::Ink) {
        s.writeText(fx + x, fy + y, t, size, c);
    };
    const QColor red(230, 0, 0);
    switch (frame) {
    case Frame::Login:
        at(QStringLiteral("FRAME_LOGIN"), 0, 0);
        text(0, 33, QStringLiteral("E-mail："), 15);
        s.edit(fx + 62, fy + 28, 195, 22, QStringLiteral("user@example.com"));
        at(QStringLiteral("ERROR_ICON"), 64, 64);
        text(82, 63, QStringLiteral("目前服务维护中，请稍后再试!"), 12, red);
        text(11, 92, QStringLiteral("密码："), 15);
        s.edit(fx + 62, fy + 86, 195, 22, QStringLiteral("******"));
        s.check(fx + 64, fy + 137, QStringLiteral("记住密码"));
        s.check(fx + 170, fy + 137, QStringLiteral("自动登录"), false);
        at(QStringLiteral("BUTTON_NORMAL"), 64, 165);
        text(92, 172, QStringLiteral("登录"), 15, Qt::white);
        at(QStringLiteral("BUTTON_HOVER"), 170, 166);
        text(198, 172, QStringLiteral("重置"), 15, Qt::white);
        at(QStringLiteral("FRAME_SEPARATOR"), 0, 206);
        at(QStringLiteral("REG_NORMAL"), 3, 227);
        at(QStringLiteral("SINA_HOVER"), 121, 227);
        at(QStringLiteral("FRAME_FOOTER"), 0, 274);
        break;
    case Frame::Sina:
        at(QStringLiteral("FRAME_SINA"), 0, 0);
        at(QStringLiteral("SINA_LOGO"), 21, 13);
        text(21, 70, QStringLiteral("E-mail："), 15);
        s.edit(fx + 86, fy + 65, 195, 23);
        at(QStringLiteral("ERROR_ICON"), 86, 99);
        text(107, 99, QStringLiteral("请输入注册的E-mail!"), 12, red);
        text(34, 129, QStringLiteral("密码："), 15);
        s.edit(fx + 86, fy + 123, 195, 23);
        s.check(fx + 64, fy + 175, QStringLiteral("记住密码"));
        s.check(fx + 170, fy + 175, QStringLiteral("自动登录"));
        at(QStringLiteral("BUTTON_HOVER"), 90, 203);
        text(104, 209, QStringLiteral("微博登录"), 15, Qt::white);
        at(QStringLiteral("BUTTON_NORMAL"), 183, 203);
        text(211, 209, QStringLiteral("重置"), 15, Qt::white);
        at(QStringLiteral("GOBACK_NORMAL"), 212, 265);
        at(QStringLiteral("FRAME_FOOTER"), 0, 274);
        break;
    case Frame::Reg:
        at(QStringLiteral("FRAME_REG"), 0, 0);
        text(21, 32, QStringLiteral("E-mail："), 15);
        s.edit(fx + 86, fy + 27, 195, 23, QStringLiteral("new@example.com"));
        text(34, 91, QStringLiteral("密码："), 15);
        s.edit(fx + 86, fy + 85, 195, 23, QStringLiteral("****"));
        text(4, 148, QStringLiteral("重复密码："), 15);
        s.edit(fx + 86, fy + 142, 195, 23, QStringLiteral("***"));
        at(QStringLiteral("ERROR_ICON"), 86, 176);
        text(107, 176, QStringLiteral("重复密码错误!"), 12, red);
        at(QStringLiteral("BUTTON_NORMAL"), 90, 203);
        text(118, 209, QStringLiteral("注册"), 15, Qt::white);
        at(QStringLiteral("BUTTON_NORMAL"), 183, 203);
        text(211, 209, QStringLiteral("重置"), 15, Qt::white);
        at(QStringLiteral("GOBACK_HOVER"), 212, 265);
        at(QStringLiteral("FRAME_FOOTER"), 0, 274);
        break;
    }
    // The corner arc each frame draws on its background.
    s.painter().setPen(QPen(Palette::Border, 1));
    s.painter().drawArc(QRectF(fx + 301 - 8, fy + 295 - 8, 8, 8), 270 * 16, 90 * 16);
    s.round(15);
    s.save(out, file);
}

void mainTitle(const QDir& resources, const QDir& out)
{
    Sheet s(resources, 995, 140, Qt::white);
    s.put(QStringLiteral("TITLE_MAIN"), 0, 0);
    const QFont font = uiFont(12);
    const QString name = QStringLiteral("zhang.wei@example.com");
    const int nameWidth = QFontMetrics(font).horizontalAdvance(name);
    const int welcomeWidth = QFontMetrics(font).horizontalAdvance(QStringLiteral("欢迎！"));
    const int nameLeft = 774 - nameWidth - 2;
    s.writeText(nameLeft - welcomeWidth - 5, 10, QStringLiteral("欢迎！"), 12, Qt::white);
    s.writeText(nameLeft, 9, name, 12, QColor(255, 230, 0));
    s.put(QStringLiteral("BADGE_V"), 774, 6);
    s.put(QStringLiteral("TITLE_SPLIT"), 794, 11);
    s.put(QStringLiteral("TITLE_EMAIL"), 803, 11);
    s.writeText(817, 10, QStringLiteral("  意见反馈"), 12, Qt::white);
    s.put(QStringLiteral("TITLE_SEPARATOR"), 879, 12);
    s.put(QStringLiteral("OPTION_HOVER"), 885, 6);
    s.put(QStringLiteral("MIN_NORMAL"), 912, 8);
    s.put(QStringLiteral("CLOSE_NORMAL"), 946, 8);
    s.writeText(40, 80, QStringLiteral("（网页内容）"), 14);
    s.round(15);
    s.save(out, QStringLiteral("main-title.png"));
}

// A notification window of the given outer width: the title picture, then its last column
// repeated when the window is wider than the picture.
void notification(const QDir& resources, const QDir& out, int width, const QString& file)
{
    Sheet s(resources, width, 150, Qt::white);
    const QImage title = s.load(QStringLiteral("TITLE_MESSAGE"));
    for (int x = title.width(); x < width; ++x)
        s.painter().drawImage(x, 0, title, title.width() - 1, 0, 1, title.height());
    s.painter().drawImage(0, 0, title);
    s.put(QStringLiteral("CLOSE_HOVER"), width - 28 - 17, 8);
    s.writeText(20, 70, QStringLiteral("您关注的小区本周均价上涨 2.3%"), 14);
    s.round(10);
    s.save(out, file);
}

void settings(const QDir& resources, const QDir& out)
{
    Sheet s(resources, 453, 251, Palette::DialogBody);
    s.put(QStringLiteral("SETTING_BG"), 0, 0);
    s.check(149, 75, QStringLiteral(" 开机时自动启动"));
    s.check(149, 105, QStringLiteral(" 启动时自动登录"), false);
    s.check(149, 136, QStringLiteral(" 点击关闭自动退出"));
    s.put(QStringLiteral("SAVE_HOVER"), 129, 180);
    s.put(QStringLiteral("CANCEL_NORMAL"), 237, 180);
    s.put(QStringLiteral("CLOSEF_NORMAL"), 415, 18);
    s.save(out, QStringLiteral("settings.png"));
}

void feedback(const QDir& resources, const QDir& out)
{
    Sheet s(resources, 453, 280, Palette::DialogBody);
    s.put(QStringLiteral("FEEDBACK_BG"), 0, 0);
    s.put(QStringLiteral("CLOSEF_HOVER"), 414, 20);
    s.writeText(34, 74, QStringLiteral("（意见反馈网页）"), 14);
    s.save(out, QStringLiteral("feedback.png"));
}

void about(const QDir& resources, const QDir& out)
{
    Sheet s(resources, 460, 310, Palette::FrameLight);
    s.put(QStringLiteral("ABOUT_BANNER"), -1, 0);
    s.writeText(16, 64, QStringLiteral("Quorvane"), 14);
    s.writeText(72, 64, QStringLiteral("01.00.201205281429"), 14);
    s.writeText(16, 96, QStringLiteral("版权所有"), 14);
    s.edit(16, 160, 436, 97);
    s.save(out, QStringLiteral("about.png"));
}

// Every button bitmap, state by state, at three times its size.
void buttonSheet(const QDir& resources, const QDir& out)
{
    const QStringList rows[] = {{"CLOSE_NORMAL", "CLOSE_HOVER", "CLOSE_CLICK"},
                                {"MIN_NORMAL", "MIN_HOVER", "MIN_CLICK"},
                                {"OPTION_NORMAL", "OPTION_HOVER", "OPTION_CLICK"},
                                {"CLOSEF_NORMAL", "CLOSEF_HOVER"},
                                {"BUTTON_NORMAL", "BUTTON_HOVER"},
                                {"SAVE_NORMAL", "SAVE_HOVER"},
                                {"CANCEL_NORMAL", "CANCEL_HOVER"},
                                {"GOBACK_NORMAL", "GOBACK_HOVER"},
                                {"REG_NORMAL", "REG_HOVER"},
                                {"SINA_NORMAL", "SINA_HOVER"}};
    Sheet s(resources, 3 * 460 + 20, 10 * 34 * 3 + 20, QColor(255, 0, 255));
    int y = 10;
    for (const QStringList& row : rows) {
        int x = 10;
        for (const QString& name : row) {
            const QImage picture = s.load(name);
            s.painter().setRenderHint(QPainter::SmoothPixmapTransform, false);
            s.painter().drawImage(QRect(x, y, picture.width() * 3, picture.height() * 3), picture);
            x += 460;
        }
        y += 34 * 3;
    }
    s.save(out, QStringLiteral("buttons.png"));
}

} // namespace

void writeMockups(const QDir& resources, const QDir& out)
{
    loginWindow(resources, out, Frame::Login, QStringLiteral("login-account.png"));
    loginWindow(resources, out, Frame::Sina, QStringLiteral("login-microblog.png"));
    loginWindow(resources, out, Frame::Reg, QStringLiteral("login-register.png"));
    mainTitle(resources, out);
    notification(resources, out, 303, QStringLiteral("notification-303.png"));
    notification(resources, out, 603, QStringLiteral("notification-603.png"));
    settings(resources, out);
    feedback(resources, out);
    about(resources, out);
    buttonSheet(resources, out);
}

} // namespace quorvane
