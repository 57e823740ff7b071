#include "ui/dialogs/FeedbackWindow.h"
#include "ui/chrome/OpenWindows.h"

#include "tests/support/NamedChild.h"
#include "tests/ui/dialogs/DialogsFixture.h"
#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"
#include "ui/chrome/DragImage.h"
#include "ui/chrome/ImageButton.h"

#include <QPointer>
#include <QTest>
#include <QWindow>

namespace quorvane {

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

class FeedbackWindowTest : public DialogsFixture
{
protected:
    FeedbackWindowTest()
    {
        signIn(QStringLiteral("user@example.com"));
        m_server.reply("/quorvane2/users/opinion", kOpinionPage, 200, "text/html");
        m_server.reply("/quorvane2/thanks", "<!doctype html><title>thanks</title>", 200, "text/html");
    }

    ~FeedbackWindowTest() override
    {
        if (findOpenWindow<FeedbackWindow>())
            delete findOpenWindow<FeedbackWindow>();
    }

    // Opens the window as the main window does and waits until its page has loaded.
    FeedbackWindow* open()
    {
        showFeedbackWindow(m_session, nullptr);
        FeedbackWindow* window = findOpenWindow<FeedbackWindow>();
        if (!window) {
            ADD_FAILURE() << "no feedback window";
            return nullptr;
        }
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window, 20000));
        EXPECT_TRUE(waitUntil([&] {
            return child<BrowserView>(window, "browser")->url().path() ==
                       QLatin1String("/quorvane2/users/opinion") &&
                   !child<BrowserView>(window, "browser")->browserPage()->isLoading();
        }));
        return window;
    }

    int count(FeedbackWindow* window, const char* what)
    {
        return runScript(child<BrowserView>(window, "browser")->browserPage(),
                         QStringLiteral("counts.%1").arg(QLatin1String(what)))
            .toInt();
    }

    static const QString kOpinionTarget;
};

const QString FeedbackWindowTest::kOpinionTarget =
    QStringLiteral("/quorvane2/users/opinion?userName=user%40example.com&token=T0KEN");

TEST_F(FeedbackWindowTest, ShowsTheFeedbackPageOfTheSession)
{
    FeedbackWindow* window = open();
    ASSERT_TRUE(window);
    EXPECT_EQ(m_server.targets(), QStringList({kOpinionTarget}));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("意见反馈"));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window->size(), QSize(453, 280));
    EXPECT_EQ(child<DragImage>(window, "background")->geometry(), QRect(0, 0, 453, 280));
    EXPECT_EQ(child<ImageButton>(window, "closeButton")->geometry(), QRect(414, 20, 19, 18));
    EXPECT_EQ(child<ImageButton>(window, "closeButton")->word(), QStringLiteral("CLOSEF"));
    EXPECT_EQ(child<BrowserView>(window, "browser")->geometry(), QRect(24, 64, 409, 193));
    EXPECT_EQ(
        runScript(child<BrowserView>(window, "browser")->browserPage(), QStringLiteral("document.title"))
            .toString(),
        QStringLiteral("opinion"));
}

TEST_F(FeedbackWindowTest, OpeningAgainKeepsThePageWhereTheUserLeftIt)
{
    FeedbackWindow* window = open();
    ASSERT_TRUE(window);
    runScript(child<BrowserView>(window, "browser")->browserPage(),
              QStringLiteral("location.href = '/quorvane2/thanks'"));
    ASSERT_TRUE(waitUntil([&] {
        return child<BrowserView>(window, "browser")->url().path() == QLatin1String("/quorvane2/thanks");
    }));

    showFeedbackWindow(m_session, nullptr);
    EXPECT_EQ(findOpenWindow<FeedbackWindow>(), window);
    processEvents();
    EXPECT_EQ(child<BrowserView>(window, "browser")->url().path(), QStringLiteral("/quorvane2/thanks"));
    EXPECT_EQ(m_server.targets().count(kOpinionTarget), 1);
}

TEST_F(FeedbackWindowTest, CloseDestroysAndTheNextOpeningLoadsAgain)
{
    FeedbackWindow* window = open();
    ASSERT_TRUE(window);
    QPointer<FeedbackWindow> alive(window);
    QTest::mouseClick(child<ImageButton>(window, "closeButton"), Qt::LeftButton, Qt::NoModifier,
                      child<ImageButton>(window, "closeButton")->rect().center());
    processEvents();
    EXPECT_FALSE(findOpenWindow<FeedbackWindow>());
    EXPECT_FALSE(alive);

    FeedbackWindow* again = open();
    ASSERT_TRUE(again);
    EXPECT_EQ(m_server.targets().count(kOpinionTarget), 2);
}

TEST_F(FeedbackWindowTest, RightClickInThePageOpensNoMenu)
{
    FeedbackWindow* window = open();
    ASSERT_TRUE(window);
    ASSERT_TRUE(showAndActivate(*window));
    const QPoint inside = child<BrowserView>(window, "browser")->mapTo(window, QPoint(200, 100));
    // Left clicks until the renderer takes input.
    ASSERT_TRUE(waitUntil([&] {
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, inside);
        return count(window, "left") > 0;
    }));
    const int leftBefore = count(window, "left");
    QTest::mouseClick(window->windowHandle(), Qt::RightButton, {}, inside);
    // Once the page has seen the left click after it, it would have seen the right one too.
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, inside);
    ASSERT_TRUE(waitUntil([&] { return count(window, "left") > leftBefore; }));
    EXPECT_EQ(count(window, "right"), 0);
    EXPECT_EQ(count(window, "menu"), 0);
}

} // namespace

} // namespace quorvane
