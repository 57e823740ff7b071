#include "ui/chrome/ImageButton.h"
#include "platform/Failure.h"
#include "tests/support/TestApplication.h"
#include "ui/chrome/CaptionLabel.h"
#include "ui/chrome/SkinBitmap.h"

#include <QMouseEvent>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace quorvane {

namespace {

// The state whose bitmap the button shows, by comparing pixels: "NORMAL", "HOVER", "CLICK".
QString shownState(const ImageButton& button)
{
    const QImage shown = button.picture().toImage();
    for (const char* state : {"NORMAL", "HOVER", "CLICK"}) {
        const QString name = button.word() + QLatin1Char('_') + QLatin1String(state);
        if (button.states() == ImageButton::States::Two && QLatin1String(state) == "CLICK")
            continue;
        if (skinBitmap(name).toImage() == shown)
            return QLatin1String(state);
    }
    return QStringLiteral("?");
}

TEST(SkinBitmap, EveryButtonBitmapLoadsAtItsSize)
{
    testApp();
    const struct
    {
        const char* word;
        QSize size;
        bool threeStates;
    } buttons[] = {
        {"BUTTON", {87, 30}, false}, {"CANCEL", {78, 26}, false}, {"SAVE", {78, 26}, false},
        {"CLOSEF", {19, 18}, false}, {"CLOSE", {28, 16}, true},   {"MIN", {28, 16}, true},
        {"OPTION", {21, 21}, true},  {"GOBACK", {75, 22}, false}, {"REG", {100, 30}, false},
        {"SINA", {146, 30}, false},
    };
    for (const auto& b : buttons) {
        QStringList states = {QStringLiteral("NORMAL"), QStringLiteral("HOVER")};
        if (b.threeStates)
            states << QStringLiteral("CLICK");
        for (const QString& state : states) {
            const QString name = QString::fromLatin1(b.word) + QLatin1Char('_') + state;
            Image image;
            loadButtonBitmap(&image, name);
            EXPECT_EQ(image.picture().size(), b.size) << name.toStdString();
            // The image takes the size of its bitmap.
            EXPECT_EQ(image.size(), b.size) << name.toStdString();
        }
    }
}

TEST(SkinBitmap, AMissingNameFailsAndLeavesThePictureUnchanged)
{
    testApp();
    Image image;
    loadButtonBitmap(&image, QStringLiteral("CLOSE_NORMAL"));
    const QImage before = image.picture().toImage();
    try {
        loadButtonBitmap(&image, QStringLiteral("CLOSE_PRESSED"));
        FAIL() << "no failure raised";
    } catch (const Failure& failure) {
        EXPECT_TRUE(failure.message().contains(QLatin1String("CLOSE_PRESSED")))
            << failure.message().toStdString();
    }
    EXPECT_EQ(image.picture().toImage(), before);
    EXPECT_EQ(image.size(), QSize(28, 16));
}

// A window with one image button at (50, 50) and room around it.
class ButtonWindow : public ::testing::Test
{
protected:
    void make(const char* word, ImageButton::States states)
    {
        testApp();
        m_window.resize(300, 200);
        m_button = new ImageButton(QString::fromLatin1(word), states, &m_window);
        m_button->move(50, 50);
        QObject::connect(m_button, &ImageButton::clicked, [this] {
            ++m_clicks;
            m_shownDuringClick = shownState(*m_button);
        });
        ASSERT_TRUE(showAndExpose(m_window));
        // The window system ignores a move to where the cursor already is, which the last test
        // may have left there; start from a fresh position on the window's background.
        moveTo({0, 0});
        moveTo({1, 1});
    }

    QPoint onButton() const { return m_button->geometry().center(); }
    QPoint away() const { return {250, 180}; }
    // Mouse input goes through the window system, which routes it to the widget under the
    // cursor or to the one holding the pressed button.
    QWindow* handle() { return m_window.windowHandle(); }
    void moveTo(QPoint p) { QTest::mouseMove(handle(), p); }
    void press(Qt::MouseButton b, QPoint p) { QTest::mousePress(handle(), b, {}, p); }
    void release(Qt::MouseButton b, QPoint p) { QTest::mouseRelease(handle(), b, {}, p); }
    void click(Qt::MouseButton b, QPoint p) { QTest::mouseClick(handle(), b, {}, p); }

    struct Step
    {
        const char* what;
        std::function<void()> act;
        const char* shown;
        int clicks;
    };

    void Run(const std::vector<Step>& steps)
    {
        for (const Step& step : steps) {
            step.act();
            QCoreApplication::processEvents();
            EXPECT_EQ(shownState(*m_button), QLatin1String(step.shown)) << step.what;
            EXPECT_EQ(m_clicks, step.clicks) << step.what;
        }
    }

    QWidget m_window;
    ImageButton* m_button = nullptr;
    int m_clicks = 0;
    QString m_shownDuringClick;
};

class ThreeStateButton : public ButtonWindow
{
};

TEST_F(ThreeStateButton, SwapsWholePicturesAndShowsNormalAfterRelease)
{
    make("CLOSE", ImageButton::States::Three);
    Run({
        {"created", [] {}, "NORMAL", 0},
        {"enter", [this] { moveTo(onButton()); }, "HOVER", 0},
        {"right press", [this] { press(Qt::RightButton, onButton()); }, "CLICK", 0},
        {"right release", [this] { release(Qt::RightButton, onButton()); }, "NORMAL", 0},
        {"leave", [this] { moveTo(away()); }, "NORMAL", 0},
        {"enter again", [this] { moveTo(onButton()); }, "HOVER", 0},
        {"left press", [this] { press(Qt::LeftButton, onButton()); }, "CLICK", 0},
        // Not the hover picture, although the cursor is still over the button.
        {"left release", [this] { release(Qt::LeftButton, onButton()); }, "NORMAL", 1},
        {"move within", [this] { moveTo(onButton() + QPoint(2, 1)); }, "NORMAL", 1},
        {"out", [this] { moveTo(away()); }, "NORMAL", 1},
        {"back in", [this] { moveTo(onButton()); }, "HOVER", 1},
        {"middle press", [this] { press(Qt::MiddleButton, onButton()); }, "CLICK", 1},
        {"middle release", [this] { release(Qt::MiddleButton, onButton()); }, "NORMAL", 1},
        {"press again", [this] { press(Qt::LeftButton, onButton()); }, "CLICK", 1},
        {"drag out", [this] { moveTo(away()); }, "CLICK", 1},
        // Released away from the button: no click.
        {"release away", [this] { release(Qt::LeftButton, away()); }, "NORMAL", 1},
    });
    // The click action ran while the pressed picture was still shown.
    EXPECT_EQ(m_shownDuringClick, QLatin1String("CLICK"));
}

TEST_F(ThreeStateButton, AClickActionThatDestroysTheButtonEndsCleanly)
{
    make("MIN", ImageButton::States::Three);
    QObject::connect(m_button, &ImageButton::clicked, [this] { delete m_button; });
    QPointer<ImageButton> watched(m_button);
    moveTo(onButton());
    const QPoint at = onButton();
    press(Qt::LeftButton, at);
    release(Qt::LeftButton, at);
    EXPECT_TRUE(watched.isNull());
    EXPECT_EQ(m_clicks, 1);
}

class TwoStateButton : public ButtonWindow
{
};

TEST_F(TwoStateButton, HoverAndNormalOnlyAndClicksOnLeftRelease)
{
    make("SINA", ImageButton::States::Two);
    Run({
        {"created", [] {}, "NORMAL", 0},
        {"enter", [this] { moveTo(onButton()); }, "HOVER", 0},
        {"left press", [this] { press(Qt::LeftButton, onButton()); }, "HOVER", 0},
        {"left release", [this] { release(Qt::LeftButton, onButton()); }, "HOVER", 1},
        {"right press", [this] { press(Qt::RightButton, onButton()); }, "HOVER", 1},
        {"right release", [this] { release(Qt::RightButton, onButton()); }, "HOVER", 1},
        {"leave", [this] { moveTo(away()); }, "NORMAL", 1},
    });
}

TEST_F(ThreeStateButton, BothPressesOfADoubleClickShowThePressedPictureButOnlyTheFirstClicks)
{
    make("OPTION", ImageButton::States::Three);
    QStringList shownAtPress;
    QObject::connect(m_button, &Image::mouseDown, [&] { shownAtPress << shownState(*m_button); });
    moveTo(onButton());
    QTest::mouseDClick(handle(), Qt::LeftButton, {}, onButton());
    EXPECT_EQ(shownAtPress, QStringList({QStringLiteral("CLICK"), QStringLiteral("CLICK")}));
    EXPECT_EQ(shownState(*m_button), QLatin1String("NORMAL"));
    EXPECT_EQ(m_clicks, 1);
}

TEST_F(TwoStateButton, ADoubleClickRunsTheClickActionOnce)
{
    make("BUTTON", ImageButton::States::Two);
    QTest::mouseDClick(handle(), Qt::LeftButton, {}, onButton());
    EXPECT_EQ(m_clicks, 1);
}

// A caption label laid over the middle of a two-state button, as in the login frames.
class CaptionLabelOverButton : public ButtonWindow
{
protected:
    void SetUp() override
    {
        make("BUTTON", ImageButton::States::Two);
        m_label = new CaptionLabel(QStringLiteral("登录"), m_button, &m_window);
        m_label->setGeometry(m_button->x() + 20, m_button->y() + 5, 47, 20);
        m_label->show();
        m_label->raise();
    }

    QPoint onLabel() const { return m_label->geometry().center(); }
    QPoint onImageBesideLabel() const { return {m_button->x() + 5, m_button->y() + 15}; }

    CaptionLabel* m_label = nullptr;
};

TEST_F(CaptionLabelOverButton, ForwardsEnterAndClickToItsImage)
{
    Run({
        {"enter the label", [this] { moveTo(onLabel()); }, "HOVER", 0},
        {"click the label", [this] { click(Qt::LeftButton, onLabel()); }, "HOVER", 1},
        {"right click the label", [this] { click(Qt::RightButton, onLabel()); }, "HOVER", 1},
        {"on to the image", [this] { moveTo(onImageBesideLabel()); }, "HOVER", 1},
        {"leave the image", [this] { moveTo(away()); }, "NORMAL", 1},
        {"back on the label", [this] { moveTo(onLabel()); }, "HOVER", 1},
    });
}

TEST_F(CaptionLabelOverButton, LeavingTheLabelForOutsideRestoresTheNormalPicture)
{
    moveTo(onLabel());
    ASSERT_EQ(shownState(*m_button), QLatin1String("HOVER"));
    moveTo(away());
    EXPECT_TRUE(waitUntil([this] { return shownState(*m_button) == QLatin1String("NORMAL"); }, 2000));
}

} // namespace

} // namespace quorvane
