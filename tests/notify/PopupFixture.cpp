#include "tests/notify/PopupFixture.h"

#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"

#include <QCursor>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <string>

namespace {

std::string Page(const std::string& title, const std::string& body)
{
    return "<!doctype html><html><head><meta charset=\"utf-8\"><title>" + title +
           "</title><style>html,body{margin:0;height:100%;background:#fdf3d8;color:#1b3a5c;"
           "font:14px 'Noto Sans CJK SC',sans-serif}p{margin:10px "
           "12px}a{margin-left:12px}</style></head><body>" +
           body + "</body></html>";
}

// Counts the presses and menus that reach the page.
const char kCounters[] = "<script>window.counts = { left: 0, right: 0, menu: 0 };"
                         "document.addEventListener('mousedown', function (e) {"
                         " if (e.button === 0) counts.left++; if (e.button === 2) counts.right++; });"
                         "document.addEventListener('contextmenu', function () { counts.menu++; });</script>";

} // namespace

PopupFixture::PopupFixture(const TMessageTimings& timings)
{
    TestApp();
    // Every other page of the web application; the later registrations below win over it.
    rig.server.Reply("/quorvane2/.*", Page("page", "<p>page</p>"), 200, "text/html");
    rig.server.Reply("/quorvane2/notice/plain",
                     Page("notice", "<p><b>新房源提醒</b></p><p>您关注的小区“滨江花园”有 3 套新房源，"
                                    "均价 28,600 元/平方米。</p>"
                                    "<a id=\"show\" href=\"vemtraclient://show/?url=house/list\">查看房源</a>"
                                    "<a id=\"next\" href=\"/quorvane2/notice/second\">下一条</a>" +
                                        std::string(kCounters)),
                     200, "text/html");
    rig.server.Reply("/quorvane2/notice/second", Page("second", "<p>second</p>"), 200, "text/html");
    rig.server.Reply("/quorvane2/notice/frames",
                     Page("frames", "<iframe src=\"/quorvane2/notice/frameA\"></iframe>"
                                    "<iframe src=\"/quorvane2/notice/frameB\"></iframe>"),
                     200, "text/html");
    rig.server.Reply("/quorvane2/notice/frame[AB]", Page("frame", "<p>frame</p>"), 200, "text/html");

    form = std::make_unique<TfrmMessage>(nullptr, timings);
    QObject::connect(form->WebBrowser1->Page(), &TBrowserPage::DocumentComplete,
                     [this](const QString& url) { completions << url; });
    QObject::connect(form.get(), &TfrmMessage::FadeInStarted, [this] {
        ++fadeIns;
        opacities.clear();
    });
    QObject::connect(form.get(), &TfrmMessage::OpacityChanged, [this](int opacity) { opacities << opacity; });
    QObject::connect(form.get(), &TfrmMessage::Closed, [this] { ++closes; });
}

PopupFixture::~PopupFixture()
{
    form.reset();
}

TMessageTimings PopupFixture::QuickFades()
{
    TMessageTimings timings;
    timings.fadeInFastMs = 0;
    timings.fadeInSlowMs = 0;
    timings.fadeOutMs = 0;
    return timings;
}

APIResponse PopupFixture::Notice(const QString& page, int width, int height) const
{
    APIResponse information;
    information.success = true;
    information.url = rig.AppUrl() + QStringLiteral("/notice/") + page;
    information.width = width;
    information.height = height;
    return information;
}

bool PopupFixture::FadedIn() const
{
    return form->isVisible() && !form->FadingIn() && form->Opacity() == 255;
}

bool PopupFixture::ShowAndFadeIn(const APIResponse& information)
{
    const int before = fadeIns;
    form->ShowInformation(&pollingThread, information);
    return WaitUntil([&] { return fadeIns > before && FadedIn(); }) &&
           QTest::qWaitForWindowExposed(form.get(), 20000);
}

void PopupFixture::TwoMinutesPass()
{
    const int interval = form->Timer1->interval();
    form->Timer1->start(0);
    EXPECT_TRUE(WaitUntil([&] { return !form->Timer1->isActive(); }));
    form->Timer1->setInterval(interval);
}

QVariant PopupFixture::Js(const QString& script)
{
    QVariant result;
    bool done = false;
    form->WebBrowser1->page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    EXPECT_TRUE(WaitUntil([&] { return done; })) << script.toStdString();
    return result;
}

QPoint PopupFixture::GlobalCentreOf(const QString& id)
{
    const QVariantList centre =
        Js(QStringLiteral("(function () { var r = document.getElementById('%1').getBoundingClientRect();"
                          " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
               .arg(id))
            .toList();
    EXPECT_EQ(centre.size(), 2) << id.toStdString();
    if (centre.size() != 2)
        return {};
    return form->WebBrowser1->mapToGlobal(QPoint(centre[0].toInt(), centre[1].toInt()));
}

int PopupFixture::Count(const char* what)
{
    return Js(QStringLiteral("counts.%1").arg(QLatin1String(what))).toInt();
}

void PopupFixture::WaitForInput()
{
    // Low in the page, away from its links.
    const QPoint blank = form->mapFromGlobal(form->WebBrowser1->mapToGlobal(
        QPoint(form->WebBrowser1->width() / 2, form->WebBrowser1->height() - 20)));
    ASSERT_TRUE(WaitUntil([&] {
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, blank);
        return Count("left") > 0;
    }));
}

void PopupFixture::MovePointer(const QPoint& global)
{
    QCursor::setPos(global);
    WaitUntil([&] { return QCursor::pos() == global; }, 5000);
    RunEvents(100);
}
