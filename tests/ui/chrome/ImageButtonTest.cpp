#include "ui/chrome/ImageButton.h"
#include "platform/Failure.h"
#include "tests/support/TestApplication.h"
#include "ui/chrome/CaptionLabel.h"
#include "ui/chrome/SkinBitmap.h"

#include <QMouseEvent>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// The state whose bitmap the button shows, by comparing pixels: "NORMAL", "HOVER", "CLICK".
QString ShownState(const TImageButton& button)
{
    const QImage shown = button.Picture().toImage();
    for (const char* state : {"NORMAL", "HOVER", "CLICK"}) {
        const QString name = button.Word() + QLatin1Char('_') + QLatin1String(state);
        if (button.States() == TImageButton::TStates::Two && QLatin1String(state) == "CLICK")
            continue;
        if (SkinBitmap(name).toImage() == shown)
            return QLatin1String(state);
    }
    return QStringLiteral("?");
}

TEST(SkinBitmap, EveryButtonBitmapLoadsAtItsSize)
{
    TestApp();
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
            TImage image;
            LoadButtonBitmap(&image, name);
            EXPECT_EQ(image.Picture().size(), b.size) << name.toStdString();
            // The image takes the size of its bitmap.
            EXPECT_EQ(image.size(), b.size) << name.toStdString();
        }
    }
}

TEST(SkinBitmap, AMissingNameFailsAndLeavesThePictureUnchanged)
{
    TestApp();
    TImage image;
    LoadButtonBitmap(&image, QStringLiteral("CLOSE_NORMAL"));
    const QImage before = image.Picture().toImage();
    try {
        LoadButtonBitmap(&image, QStringLiteral("CLOSE_PRESSED"));
        FAIL() << "no failure raised";
    } catch (const TFailure& failure) {
        EXPECT_TRUE(failure.Message().contains(QLatin1String("CLOSE_PRESSED")))
            << failure.Message().toStdString();
    }
    EXPECT_EQ(image.Picture().toImage(), before);
    EXPECT_EQ(image.size(), QSize(28, 16));
}

// A window with one image button at (50, 50) and room around it.
class ButtonWindow : public ::testing::Test
{
protected:
    void Make(const char* word, TImageButton::TStates states)
    {
        TestApp();
        window.resize(300, 200);
        button = new TImageButton(QString::fromLatin1(word), states, &window);
        button->move(50, 50);
        QObject::connect(button, &TImageButton::Clicked, [this] {
            ++clicks;
            shownDuringClick = ShownState(*button);
        });
        ASSERT_TRUE(ShowAndExpose(window));
        // The window system ignores a move to where the cursor already is, which the last test
        // may have left there; start from a fresh position on the window's background.
        MoveTo({0, 0});
        MoveTo({1, 1});
    }

    QPoint OnButton() const { return button->geometry().center(); }
    QPoint Away() const { return {250, 180}; }
    // Mouse input goes through the window system, which routes it to the widget under the
    // cursor or to the one holding the pressed button.
    QWindow* Handle() { return window.windowHandle(); }
    void MoveTo(QPoint p) { QTest::mouseMove(Handle(), p); }
    void Press(Qt::MouseButton b, QPoint p) { QTest::mousePress(Handle(), b, {}, p); }
    void Release(Qt::MouseButton b, QPoint p) { QTest::mouseRelease(Handle(), b, {}, p); }
    void Click(Qt::MouseButton b, QPoint p) { QTest::mouseClick(Handle(), b, {}, p); }

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
            EXPECT_EQ(ShownState(*button), QLatin1String(step.shown)) << step.what;
            EXPECT_EQ(clicks, step.clicks) << step.what;
        }
    }

    QWidget window;
    TImageButton* button = nullptr;
    int clicks = 0;
    QString shownDuringClick;
};

class ThreeStateButton : public ButtonWindow
{
};

TEST_F(ThreeStateButton, SwapsWholePicturesAndShowsNormalAfterRelease)
{
    Make("CLOSE", TImageButton::TStates::Three);
    Run({
        {"created", [] {}, "NORMAL", 0},
        {"enter", [this] { MoveTo(OnButton()); }, "HOVER", 0},
        {"right press", [this] { Press(Qt::RightButton, OnButton()); }, "CLICK", 0},
        {"right release", [this] { Release(Qt::RightButton, OnButton()); }, "NORMAL", 0},
        {"leave", [this] { MoveTo(Away()); }, "NORMAL", 0},
        {"enter again", [this] { MoveTo(OnButton()); }, "HOVER", 0},
        {"left press", [this] { Press(Qt::LeftButton, OnButton()); }, "CLICK", 0},
        // Not the hover picture, although the cursor is still over the button.
        {"left release", [this] { Release(Qt::LeftButton, OnButton()); }, "NORMAL", 1},
        {"move within", [this] { MoveTo(OnButton() + QPoint(2, 1)); }, "NORMAL", 1},
        {"out", [this] { MoveTo(Away()); }, "NORMAL", 1},
        {"back in", [this] { MoveTo(OnButton()); }, "HOVER", 1},
        {"middle press", [this] { Press(Qt::MiddleButton, OnButton()); }, "CLICK", 1},
        {"middle release", [this] { Release(Qt::MiddleButton, OnButton()); }, "NORMAL", 1},
        {"press again", [this] { Press(Qt::LeftButton, OnButton()); }, "CLICK", 1},
        {"drag out", [this] { MoveTo(Away()); }, "CLICK", 1},
        // Released away from the button: no click.
        {"release away", [this] { Release(Qt::LeftButton, Away()); }, "NORMAL", 1},
    });
    // The click action ran while the pressed picture was still shown.
    EXPECT_EQ(shownDuringClick, QLatin1String("CLICK"));
}

TEST_F(ThreeStateButton, AClickActionThatDestroysTheButtonEndsCleanly)
{
    Make("MIN", TImageButton::TStates::Three);
    QObject::connect(button, &TImageButton::Clicked, [this] { delete button; });
    QPointer<TImageButton> watched(button);
    MoveTo(OnButton());
    const QPoint at = OnButton();
    Press(Qt::LeftButton, at);
    Release(Qt::LeftButton, at);
    EXPECT_TRUE(watched.isNull());
    EXPECT_EQ(clicks, 1);
}

class TwoStateButton : public ButtonWindow
{
};

TEST_F(TwoStateButton, HoverAndNormalOnlyAndClicksOnLeftRelease)
{
    Make("SINA", TImageButton::TStates::Two);
    Run({
        {"created", [] {}, "NORMAL", 0},
        {"enter", [this] { MoveTo(OnButton()); }, "HOVER", 0},
        {"left press", [this] { Press(Qt::LeftButton, OnButton()); }, "HOVER", 0},
        {"left release", [this] { Release(Qt::LeftButton, OnButton()); }, "HOVER", 1},
        {"right press", [this] { Press(Qt::RightButton, OnButton()); }, "HOVER", 1},
        {"right release", [this] { Release(Qt::RightButton, OnButton()); }, "HOVER", 1},
        {"leave", [this] { MoveTo(Away()); }, "NORMAL", 1},
    });
}

TEST_F(ThreeStateButton, BothPressesOfADoubleClickShowThePressedPictureButOnlyTheFirstClicks)
{
    Make("OPTION", TImageButton::TStates::Three);
    QStringList shownAtPress;
    QObject::connect(button, &TImage::MouseDown, [&] { shownAtPress << ShownState(*button); });
    MoveTo(OnButton());
    QTest::mouseDClick(Handle(), Qt::LeftButton, {}, OnButton());
    EXPECT_EQ(shownAtPress, QStringList({QStringLiteral("CLICK"), QStringLiteral("CLICK")}));
    EXPECT_EQ(ShownState(*button), QLatin1String("NORMAL"));
    EXPECT_EQ(clicks, 1);
}

TEST_F(TwoStateButton, ADoubleClickRunsTheClickActionOnce)
{
    Make("BUTTON", TImageButton::TStates::Two);
    QTest::mouseDClick(Handle(), Qt::LeftButton, {}, OnButton());
    EXPECT_EQ(clicks, 1);
}

// A caption label laid over the middle of a two-state button, as in the login frames.
class CaptionLabelOverButton : public ButtonWindow
{
protected:
    void SetUp() override
    {
        Make("BUTTON", TImageButton::TStates::Two);
        label = new TCaptionLabel(QStringLiteral("登录"), button, &window);
        label->setGeometry(button->x() + 20, button->y() + 5, 47, 20);
        label->show();
        label->raise();
    }

    QPoint OnLabel() const { return label->geometry().center(); }
    QPoint OnImageBesideLabel() const { return {button->x() + 5, button->y() + 15}; }

    TCaptionLabel* label = nullptr;
};

TEST_F(CaptionLabelOverButton, ForwardsEnterAndClickToItsImage)
{
    Run({
        {"enter the label", [this] { MoveTo(OnLabel()); }, "HOVER", 0},
        {"click the label", [this] { Click(Qt::LeftButton, OnLabel()); }, "HOVER", 1},
        {"right click the label", [this] { Click(Qt::RightButton, OnLabel()); }, "HOVER", 1},
        {"on to the image", [this] { MoveTo(OnImageBesideLabel()); }, "HOVER", 1},
        {"leave the image", [this] { MoveTo(Away()); }, "NORMAL", 1},
        {"back on the label", [this] { MoveTo(OnLabel()); }, "HOVER", 1},
    });
}

TEST_F(CaptionLabelOverButton, LeavingTheLabelForOutsideRestoresTheNormalPicture)
{
    MoveTo(OnLabel());
    ASSERT_EQ(ShownState(*button), QLatin1String("HOVER"));
    MoveTo(Away());
    EXPECT_TRUE(WaitUntil([this] { return ShownState(*button) == QLatin1String("NORMAL"); }, 2000));
}

} // namespace
