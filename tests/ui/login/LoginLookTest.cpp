#include "tests/support/NamedChild.h"
#include "tests/ui/login/LoginFixture.h"

#include "resources/SkinPictures.h"
#include "ui/chrome/CaptionLabel.h"
#include "ui/chrome/Fonts.h"
#include "ui/chrome/Image.h"
#include "ui/chrome/ImageButton.h"
#include "ui/chrome/SkinBitmap.h"
#include "ui/login/AccountLoginFrame.h"
#include "ui/login/MicroblogLoginFrame.h"
#include "ui/login/RegistrationFrame.h"

#include <QCheckBox>
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionButton>

namespace quorvane {

namespace {

using LoginLookTest = LoginFixture;

// What a person sees in part of a rendered frame: a white edit box (one pixel), or a skin picture,
// or a corner of one, lying over the frame's background (transparent parts let it through).
struct Sample
{
    const char* what;
    QPoint at;           // in the frame: the top-left of what is compared
    const char* picture; // nullptr: a white edit box
    QSize corner = {};   // compare only this top-left part of the picture (a caption covers the rest)
};

QImage expectedLook(const QImage& ground, const Sample& sample)
{
    if (!sample.picture) {
        QImage white(1, 1, QImage::Format_RGB32);
        white.fill(Qt::white);
        return white;
    }
    const QImage picture = skinBitmap(QString::fromLatin1(sample.picture)).toImage();
    const QSize size = sample.corner.isEmpty() ? picture.size() : sample.corner;
    QImage look = ground.copy(QRect(sample.at, size)).convertToFormat(QImage::Format_RGB32);
    QPainter painter(&look);
    painter.drawImage(QPoint(0, 0), picture, QRect(QPoint(0, 0), size));
    painter.end();
    return look;
}

// Renders the frame and compares it with the samples. `ground` names the frame's background
// picture; a sample that would look like the bare background checks nothing and fails too.
void expectSeen(LoginFrame& frame, const char* ground, std::initializer_list<Sample> samples)
{
    const QImage shown = frame.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage background =
        skinBitmap(QString::fromLatin1(ground)).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(301, 295));
    for (const Sample& sample : samples) {
        const QImage expected = expectedLook(background, sample);
        const QRect area(sample.at, expected.size());
        EXPECT_TRUE(shown.copy(area) == expected) << sample.what;
        EXPECT_FALSE(background.copy(area) == expected) << sample.what << ": the sample shows no part of it";
    }
}

// Where the background shows, the error mark is hidden.
void expectNoErrorMark(LoginFrame& frame, const char* ground, QPoint at)
{
    const QImage shown = frame.grab().toImage();
    EXPECT_EQ(shown.pixelColor(at), skinBitmap(QString::fromLatin1(ground)).toImage().pixelColor(at));
}

TEST_F(LoginLookTest, AccountFrameComponents)
{
    LoginWindow window(m_session);
    window.showAccountLoginFrame();
    auto& frame = *qobject_cast<AccountLoginFrame*>(window.currentFrame());
    EXPECT_EQ(frame.size(), QSize(301, 295));
    expectNoErrorMark(frame, SkinPicture::LoginFrame, {66, 70});
    expectNoErrorMark(frame, SkinPicture::LoginFrame, {66, 123});
    frame.showEmailError(QStringLiteral("请输入E-mail!"));
    expectSeen(frame, SkinPicture::LoginFrame,
               {{"e-mail box", {150, 39}, nullptr},
                {"e-mail error mark", {64, 64}, SkinPicture::ErrorIcon},
                {"password box", {150, 97}, nullptr},
                {"login button", {64, 165}, "BUTTON_NORMAL", {10, 10}},
                {"reset button", {170, 166}, "BUTTON_NORMAL", {10, 10}},
                {"separator", {0, 206}, SkinPicture::FrameSeparator},
                {"register button", {3, 227}, "REG_NORMAL"},
                {"microblog button", {121, 227}, "SINA_NORMAL"},
                {"footer", {0, 274}, SkinPicture::FrameFooter}});
    frame.showPasswordError(QStringLiteral("请输入密码!"));
    expectSeen(frame, SkinPicture::LoginFrame, {{"password error mark", {64, 117}, SkinPicture::ErrorIcon}});
    expectNoErrorMark(frame, SkinPicture::LoginFrame, {66, 70});
    EXPECT_EQ(child<QLabel>(frame, "labEmail")->text(), "E-mail：");
    EXPECT_EQ(child<QLabel>(frame, "labPassword")->text(), "密码：");
    EXPECT_EQ(child<CaptionLabel>(frame, "labLogin")->text(), "登录");
    EXPECT_EQ(child<CaptionLabel>(frame, "labReset")->text(), "重置");
    EXPECT_EQ(child<QCheckBox>(frame, "cbRemberPass")->text(), "记住密码");
    EXPECT_EQ(child<QCheckBox>(frame, "cbAutoLogin")->text(), "自动登录");
    EXPECT_EQ(child<CaptionLabel>(frame, "labLogin")->image(), child<ImageButton>(frame, "imgLogin"));
    EXPECT_EQ(child<CaptionLabel>(frame, "labReset")->image(), child<ImageButton>(frame, "imgReset"));
    EXPECT_EQ(child<ImageButton>(frame, "imgLogin")->word(), "BUTTON");
    EXPECT_EQ(child<ImageButton>(frame, "imgReg")->word(), "REG");
    EXPECT_EQ(child<ImageButton>(frame, "imgSina")->word(), "SINA");
    EXPECT_EQ(frame.palette().color(QPalette::Window), QColor(213, 226, 242));
    EXPECT_EQ(child<QLineEdit>(frame, "edEmail")->font().pixelSize(), 14);
    EXPECT_EQ(child<QLineEdit>(frame, "edEmail")->palette().color(QPalette::Text), QColor(60, 60, 60));
    EXPECT_EQ(child<QLabel>(frame, "labEmail")->font().family(), "Arial");
    EXPECT_EQ(child<QLabel>(frame, "labEmail")->palette().color(QPalette::WindowText), QColor(60, 60, 60));
    EXPECT_EQ(child<CaptionLabel>(frame, "labLogin")->palette().color(QPalette::WindowText),
              QColor(Qt::white));
    EXPECT_EQ(child<QLabel>(frame, "labEmailError")->palette().color(QPalette::WindowText),
              QColor(255, 0, 0));
    EXPECT_EQ(child<QLabel>(frame, "labEmailError")->font().pixelSize(), 12);
    EXPECT_EQ(child<ImageButton>(frame, "imgLogin")->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(child<CaptionLabel>(frame, "labLogin")->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(LoginLookTest, MicroblogFrameComponents)
{
    LoginWindow window(m_session);
    window.showMicroblogLoginFrame();
    auto& frame = *qobject_cast<MicroblogLoginFrame*>(window.currentFrame());
    EXPECT_EQ(frame.size(), QSize(301, 295));
    frame.showEmailError(QStringLiteral("请输入E-mail!"));
    expectSeen(frame, SkinPicture::SinaFrame,
               {{"logo", {21, 13}, SkinPicture::SinaLogo},
                {"e-mail box", {150, 76}, nullptr},
                {"e-mail error mark", {86, 99}, SkinPicture::ErrorIcon},
                {"password box", {150, 134}, nullptr},
                {"login button", {90, 203}, "BUTTON_NORMAL", {10, 10}},
                {"reset button", {183, 203}, "BUTTON_NORMAL", {10, 10}},
                {"back button", {212, 265}, "GOBACK_NORMAL"},
                {"footer", {0, 274}, SkinPicture::FrameFooter}});
    expectNoErrorMark(frame, SkinPicture::SinaFrame, {88, 164});
    EXPECT_EQ(child<CaptionLabel>(frame, "labLogin")->text(), "微博登录");
    EXPECT_EQ(child<CaptionLabel>(frame, "labReset")->text(), "重置");
    EXPECT_EQ(child<CaptionLabel>(frame, "labLogin")->image(), child<ImageButton>(frame, "imgLogin"));
    EXPECT_EQ(child<ImageButton>(frame, "imgGoback")->word(), "GOBACK");
    EXPECT_EQ(child<QLineEdit>(frame, "edEmail")->font().pixelSize(), 15);
    EXPECT_EQ(frame.palette().color(QPalette::Window), QColor(213, 226, 242));
}

TEST_F(LoginLookTest, RegistrationFrameComponents)
{
    LoginWindow window(m_session);
    window.showRegistrationFrame();
    auto& frame = *qobject_cast<RegistrationFrame*>(window.currentFrame());
    EXPECT_EQ(frame.size(), QSize(301, 295));
    frame.showRePasswordError(QStringLiteral("重复密码错误!"));
    expectSeen(frame, SkinPicture::RegFrame,
               {{"e-mail box", {150, 38}, nullptr},
                {"password box", {150, 96}, nullptr},
                {"repeated password box", {150, 153}, nullptr},
                {"repeated password error mark", {86, 176}, SkinPicture::ErrorIcon},
                {"register button", {90, 203}, "BUTTON_NORMAL", {10, 10}},
                {"reset button", {183, 203}, "BUTTON_NORMAL", {10, 10}},
                {"back button", {212, 265}, "GOBACK_NORMAL"},
                {"footer", {0, 274}, SkinPicture::FrameFooter}});
    expectNoErrorMark(frame, SkinPicture::RegFrame, {88, 67});
    EXPECT_EQ(child<QLabel>(frame, "labRePassword")->text(), "重复密码：");
    EXPECT_EQ(child<CaptionLabel>(frame, "labRegister")->text(), "注册");
    EXPECT_EQ(child<CaptionLabel>(frame, "labRegister")->image(), child<ImageButton>(frame, "imgReg"));
    EXPECT_EQ(child<CaptionLabel>(frame, "labReset")->image(), child<ImageButton>(frame, "imgReset"));
}

// The frames of a window, one of each kind.
QList<LoginFrame*> allFrames(LoginWindow& window)
{
    window.showAccountLoginFrame();
    window.showMicroblogLoginFrame();
    window.showRegistrationFrame();
    return child<QWidget>(window, "frameHost")->findChildren<LoginFrame*>();
}

TEST_F(LoginLookTest, PasswordsShowStars)
{
    LoginWindow window(m_session);
    for (LoginFrame* frame : allFrames(window)) {
        for (auto* edit : frame->findChildren<QLineEdit*>()) {
            edit->setText("秘密 pw");
            const bool password = edit->objectName().contains("Password");
            EXPECT_EQ(edit->displayText(), password ? QString("*****") : QString("秘密 pw"))
                << edit->objectName().toStdString();
        }
    }
}

// The next widget that Tab reaches after `widget`.
QWidget* nextTabStop(QWidget* widget)
{
    for (QWidget* next = widget->nextInFocusChain(); next != widget; next = next->nextInFocusChain()) {
        if ((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(widget->window()) && next->isEnabled())
            return next;
    }
    return nullptr;
}

TEST_F(LoginLookTest, TabOrderRunsThroughTheFields)
{
    LoginWindow window(m_session);
    window.showAccountLoginFrame();
    auto* login = qobject_cast<AccountLoginFrame*>(window.currentFrame());
    EXPECT_EQ(nextTabStop(child<QLineEdit>(login, "edEmail")), child<QLineEdit>(login, "edPassword"));
    EXPECT_EQ(nextTabStop(child<QLineEdit>(login, "edPassword")), child<QCheckBox>(login, "cbRemberPass"));
    EXPECT_EQ(nextTabStop(child<QCheckBox>(login, "cbRemberPass")), child<QCheckBox>(login, "cbAutoLogin"));
    window.showMicroblogLoginFrame();
    auto* sina = qobject_cast<MicroblogLoginFrame*>(window.currentFrame());
    EXPECT_EQ(nextTabStop(child<QLineEdit>(sina, "edEmail")), child<QLineEdit>(sina, "edPassword"));
    EXPECT_EQ(nextTabStop(child<QLineEdit>(sina, "edPassword")), child<QCheckBox>(sina, "cbRemberPass"));
    EXPECT_EQ(nextTabStop(child<QCheckBox>(sina, "cbRemberPass")), child<QCheckBox>(sina, "cbAutoLogin"));
    window.showRegistrationFrame();
    auto* reg = qobject_cast<RegistrationFrame*>(window.currentFrame());
    EXPECT_EQ(nextTabStop(child<QLineEdit>(reg, "edEmail")), child<QLineEdit>(reg, "edPassword"));
    EXPECT_EQ(nextTabStop(child<QLineEdit>(reg, "edPassword")), child<QLineEdit>(reg, "edRePassword"));
}

TEST_F(LoginLookTest, EveryFrameRoundsItsBottomRightCorner)
{
    LoginWindow window(m_session);
    const QList<LoginFrame*> frames = allFrames(window);
    ASSERT_EQ(frames.size(), 4);
    for (LoginFrame* frame : frames) {
        const char* name = qobject_cast<AccountLoginFrame*>(frame)     ? SkinPicture::LoginFrame
                           : qobject_cast<MicroblogLoginFrame*>(frame) ? SkinPicture::SinaFrame
                                                                       : SkinPicture::RegFrame;
        const QImage plain = skinBitmap(QString::fromLatin1(name)).toImage();
        const QImage shown = child<Image>(frame, "imgBg")->picture().toImage();
        ASSERT_EQ(shown.size(), QSize(301, 295));
        int arcPixels = 0;
        for (int y = 0; y < 295; ++y) {
            for (int x = 0; x < 301; ++x) {
                if (shown.pixel(x, y) == plain.pixel(x, y))
                    continue;
                // Only the bottom-right corner changes, and only to the arc's colour.
                EXPECT_TRUE(x >= 293 && y >= 287) << x << "," << y;
                EXPECT_EQ(QColor(shown.pixel(x, y)), QColor(35, 83, 141));
                ++arcPixels;
            }
        }
        // A quarter of a circle of radius 4: from the bottom point to the right point.
        EXPECT_GE(arcPixels, 5);
        EXPECT_EQ(QColor(shown.pixel(296, 294)), QColor(35, 83, 141));
        EXPECT_EQ(QColor(shown.pixel(298, 293)), QColor(35, 83, 141));
        EXPECT_EQ(QColor(shown.pixel(300, 290)), QColor(35, 83, 141));
        EXPECT_NE(QColor(shown.pixel(294, 288)), QColor(35, 83, 141));
    }
}

TEST_F(LoginLookTest, TheFontsResolveToInstalledChineseFonts)
{
    const QFontInfo song(songFont(16));
    EXPECT_TRUE(song.family().contains("CJK")) << song.family().toStdString();
    EXPECT_EQ(song.pixelSize(), 16);
    const QFontInfo arial(arialFont(15));
    EXPECT_FALSE(arial.family().isEmpty());
    // Every Chinese caption of the window has its glyphs in the font it is drawn with.
    const QFontMetrics metrics(songFont(15));
    for (const char* text : {"记住密码", "自动登录", "微博登录", "重复密码：", "目前服务维护中，请稍后再试!"})
        for (const QChar c : QString::fromUtf8(text))
            EXPECT_TRUE(metrics.inFont(c)) << text;
}

// Every text fits its component and stays inside the frame: nothing is cut off or runs into
// the edit beside it.
TEST_F(LoginLookTest, NoTextIsCutOff)
{
    LoginWindow window(m_session);
    for (LoginFrame* frame : allFrames(window)) {
        const std::string frameName = frame->objectName().toStdString();
        frame->showPasswordError("用户名或密码不正确!");
        for (const QLabel* label : frame->findChildren<QLabel*>()) {
            if (label->isHidden())
                continue;
            const std::string name = frameName + " " + label->objectName().toStdString();
            const int textWidth = QFontMetrics(label->font()).horizontalAdvance(label->text());
            EXPECT_GE(label->width(), textWidth) << name;
            EXPECT_TRUE(frame->rect().contains(label->geometry())) << name;
            // The ink of the characters lies inside the label.
            const QRect ink = QFontMetrics(label->font()).tightBoundingRect(label->text());
            EXPECT_GE(QFontMetrics(label->font()).ascent() + ink.top(), 0) << name;
            EXPECT_LE(QFontMetrics(label->font()).ascent() + ink.bottom(), label->height()) << name;
        }
        for (const auto* box : frame->findChildren<QCheckBox*>()) {
            QStyleOptionButton option;
            option.initFrom(box);
            option.text = box->text();
            const QRect textRect = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
            const int textWidth = QFontMetrics(box->font()).horizontalAdvance(box->text());
            EXPECT_LE(textRect.left() + textWidth, box->width())
                << frameName << " " << box->text().toStdString();
        }
        // Field captions end before their edits; button captions lie on their buttons.
        for (const auto* edit : frame->findChildren<QLineEdit*>()) {
            for (const QLabel* label : frame->findChildren<QLabel*>()) {
                if (label->isHidden() || label->objectName().endsWith("Error"))
                    continue;
                const bool sameRow = qAbs(label->geometry().center().y() - edit->geometry().center().y()) < 8;
                if (sameRow) {
                    EXPECT_LE(label->geometry().right(), edit->x())
                        << frameName << " " << label->objectName().toStdString();
                }
            }
        }
        for (const auto* caption : frame->findChildren<CaptionLabel*>()) {
            const QRect button = caption->image()->geometry();
            EXPECT_TRUE(button.contains(caption->geometry()))
                << frameName << " " << caption->objectName().toStdString();
            EXPECT_LE(qAbs(caption->geometry().center().y() - button.center().y()), 2)
                << frameName << " " << caption->objectName().toStdString();
        }
    }
}

TEST_F(LoginLookTest, ALongServerMessageIsCutAtTheFrameEdgeAndKeptWhole)
{
    LoginWindow window(m_session);
    window.showRegistrationFrame();
    auto* frame = qobject_cast<RegistrationFrame*>(window.currentFrame());
    const QString message = QString("服务器消息").repeated(12);
    frame->showEmailError(message);
    EXPECT_EQ(child<QLabel>(frame, "labEmailError")->text(), message);
    EXPECT_LE(child<QLabel>(frame, "labEmailError")->geometry().right(), 300);
    EXPECT_EQ(child<QLabel>(frame, "labEmailError")->toolTip(), message);
    frame->showEmailError("short");
    EXPECT_EQ(child<QLabel>(frame, "labEmailError")->toolTip(), "");
}

TEST_F(LoginLookTest, LabelsAreTransparentPlainText)
{
    LoginWindow window(m_session);
    for (LoginFrame* frame : allFrames(window)) {
        for (const QLabel* label : frame->findChildren<QLabel*>()) {
            EXPECT_FALSE(label->autoFillBackground()) << label->objectName().toStdString();
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
        }
    }
}

// Pictures of the window with each frame, for a person to look at: set QUORVANE_LOGIN_PICTURES to
// a folder to get them.
TEST_F(LoginLookTest, Pictures)
{
    const QString folder = qEnvironmentVariable("QUORVANE_LOGIN_PICTURES");
    if (folder.isEmpty())
        GTEST_SKIP() << "QUORVANE_LOGIN_PICTURES is not set";
    QDir().mkpath(folder);
    saveLogin("alice@example.com", "secret", true, false, 0);
    const auto window = openWindow();
    auto* login = qobject_cast<AccountLoginFrame*>(window->currentFrame());
    login->showPasswordError("用户名或密码不正确!");
    window->grab().save(folder + "/login.png");
    // As the screen shows it, with the rounded region (under a real X server).
    processEvents();
    const QRect onScreen = window->frameGeometry().adjusted(-4, -4, 4, 4);
    window->screen()
        ->grabWindow(0, onScreen.x(), onScreen.y(), onScreen.width(), onScreen.height())
        .save(folder + "/login-screen.png");
    window->showMicroblogLoginFrame();
    auto* sina = qobject_cast<MicroblogLoginFrame*>(window->currentFrame());
    sina->showEmailError("请输入有效的E-mail!");
    window->grab().save(folder + "/sina.png");
    window->showRegistrationFrame();
    auto* reg = qobject_cast<RegistrationFrame*>(window->currentFrame());
    child<QLineEdit>(reg, "edEmail")->setText("new@example.com");
    child<QLineEdit>(reg, "edPassword")->setText("pw");
    reg->showRePasswordError("重复密码错误!");
    window->grab().save(folder + "/reg.png");
}

} // namespace

} // namespace quorvane
