#include "ui/dialogs/FeedbackForm.h"

#include "tests/ui/dialogs/DialogsFixture.h"
#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/DragImage.h"
#include "ui/chrome/ImageButton.h"

#include <QPointer>
#include <QTest>
#include <QWindow>

namespace {

const char kOpinionPage[] = R"(<!doctype html>
<html><head><meta charset="utf-8"><title>opinion</title></head>
<body style="margin:0;height:400px">
<p>意见反馈</p><textarea id="text"></textarea>
<script>
window.counts = { left: 0, right: 0, menu: 0 };
document.addEventListener("mousedown", function (e) {
    if (e.button === 0) counts.left++;
    if (e.button === 2) counts.right++;
});
document.addEventListener("contextmenu", function () { counts.menu++; });
</script>
</body></html>)";

class FeedbackFormTest : public DialogsFixture
{
protected:
    FeedbackFormTest()
    {
        SignIn(QStringLiteral("user@example.com"));
        server.Reply("/quorvane2/users/opinion", kOpinionPage, 200, "text/html");
        server.Reply("/quorvane2/thanks", "<!doctype html><title>thanks</title>", 200, "text/html");
    }

    ~FeedbackFormTest() override
    {
        if (frmFeedback)
            delete frmFeedback;
    }

    // Opens the window as the main window does and waits until its page has loaded.
    TfrmFeedback* Open()
    {
        ShowFeedbackWindow(nullptr);
        TfrmFeedback* window = frmFeedback;
        if (!window) {
            ADD_FAILURE() << "no feedback window";
            return nullptr;
        }
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window, 20000));
        EXPECT_TRUE(WaitUntil([&] {
            return window->WebBrowser1->url().path() == QLatin1String("/quorvane2/users/opinion") &&
                   !window->WebBrowser1->Page()->isLoading();
        }));
        return window;
    }

    int Count(TfrmFeedback* window, const char* what)
    {
        return RunScript(window->WebBrowser1->Page(), QStringLiteral("counts.%1").arg(QLatin1String(what)))
            .toInt();
    }

    static const QString kOpinionTarget;
};

const QString FeedbackFormTest::kOpinionTarget =
    QStringLiteral("/quorvane2/users/opinion?userName=user%40example.com&token=T0KEN");

TEST_F(FeedbackFormTest, ShowsTheFeedbackPageOfTheSession)
{
    TfrmFeedback* window = Open();
    ASSERT_TRUE(window);
    EXPECT_EQ(server.Targets(), QStringList({kOpinionTarget}));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("意见反馈"));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window->size(), QSize(453, 280));
    EXPECT_EQ(window->Image1->geometry(), QRect(0, 0, 453, 280));
    EXPECT_EQ(window->imgClose->geometry(), QRect(414, 20, 19, 18));
    EXPECT_EQ(window->imgClose->Word(), QStringLiteral("CLOSEF"));
    EXPECT_EQ(window->WebBrowser1->geometry(), QRect(24, 64, 409, 193));
    EXPECT_EQ(RunScript(window->WebBrowser1->Page(), QStringLiteral("document.title")).toString(),
              QStringLiteral("opinion"));
}

TEST_F(FeedbackFormTest, OpeningAgainKeepsThePageWhereTheUserLeftIt)
{
    TfrmFeedback* window = Open();
    ASSERT_TRUE(window);
    RunScript(window->WebBrowser1->Page(), QStringLiteral("location.href = '/quorvane2/thanks'"));
    ASSERT_TRUE(
        WaitUntil([&] { return window->WebBrowser1->url().path() == QLatin1String("/quorvane2/thanks"); }));

    ShowFeedbackWindow(nullptr);
    EXPECT_EQ(frmFeedback, window);
    ProcessEvents();
    EXPECT_EQ(window->WebBrowser1->url().path(), QStringLiteral("/quorvane2/thanks"));
    EXPECT_EQ(server.Targets().count(kOpinionTarget), 1);
}

TEST_F(FeedbackFormTest, CloseDestroysAndTheNextOpeningLoadsAgain)
{
    TfrmFeedback* window = Open();
    ASSERT_TRUE(window);
    QPointer<TfrmFeedback> alive(window);
    QTest::mouseClick(window->imgClose, Qt::LeftButton, Qt::NoModifier, window->imgClose->rect().center());
    ProcessEvents();
    EXPECT_FALSE(frmFeedback);
    EXPECT_FALSE(alive);

    TfrmFeedback* again = Open();
    ASSERT_TRUE(again);
    EXPECT_EQ(server.Targets().count(kOpinionTarget), 2);
}

TEST_F(FeedbackFormTest, RightClickInThePageOpensNoMenu)
{
    TfrmFeedback* window = Open();
    ASSERT_TRUE(window);
    ASSERT_TRUE(ShowAndActivate(*window));
    const QPoint inside = window->WebBrowser1->mapTo(window, QPoint(200, 100));
    // Left clicks until the renderer takes input.
    ASSERT_TRUE(WaitUntil([&] {
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, inside);
        return Count(window, "left") > 0;
    }));
    const int leftBefore = Count(window, "left");
    QTest::mouseClick(window->windowHandle(), Qt::RightButton, {}, inside);
    // Once the page has seen the left click after it, it would have seen the right one too.
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, inside);
    ASSERT_TRUE(WaitUntil([&] { return Count(window, "left") > leftBefore; }));
    EXPECT_EQ(Count(window, "right"), 0);
    EXPECT_EQ(Count(window, "menu"), 0);
}

} // namespace
