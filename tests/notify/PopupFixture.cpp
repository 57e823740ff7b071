#include "tests/notify/PopupFixture.h"
#include "tests/support/NamedChild.h"

#include "notify/NotificationRoad.h"

#include "ui/chrome/BrowserPage.h"
#include "ui/chrome/BrowserView.h"

#include <QCursor>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <string>

namespace quorvane {

namespace {

std::string page(const std::string& title, const std::string& body)
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

PopupFixture::PopupFixture(const MessageTimings& timings)
{
    testApp();
    // Every other page of the web application; the later registrations below win over it.
    m_rig.server.reply("/quorvane2/.*", page("page", "<p>page</p>"), 200, "text/html");
    m_rig.server.reply(
        "/quorvane2/notice/plain",
        page("notice", "<p><b>新房源提醒</b></p><p>您关注的小区“滨江花园”有 3 套新房源，"
                       "均价 28,600 元/平方米。</p>"
                       "<a id=\"show\" href=\"vemtraclient://show/?url=house/list\">查看房源</a>"
                       "<a id=\"next\" href=\"/quorvane2/notice/second\">下一条</a>" +
                           std::string(kCounters)),
        200, "text/html");
    m_rig.server.reply("/quorvane2/notice/second", page("second", "<p>second</p>"), 200, "text/html");
    m_rig.server.reply("/quorvane2/notice/frames",
                       page("frames", "<iframe src=\"/quorvane2/notice/frameA\"></iframe>"
                                      "<iframe src=\"/quorvane2/notice/frameB\"></iframe>"),
                       200, "text/html");
    m_rig.server.reply("/quorvane2/notice/frame[AB]", page("frame", "<p>frame</p>"), 200, "text/html");

    m_ownForm = std::make_unique<NotificationPopup>(nullptr, timings);
    showNotificationsIn(*m_ownForm, m_pollingThread);
    watch(*m_ownForm);
}

void PopupFixture::watch(NotificationPopup& popup)
{
    m_form = &popup;
    QObject::connect(child<BrowserView>(m_form, "browser")->browserPage(), &BrowserPage::documentComplete,
                     [this](const QString& url) { m_completions << url; });
    QObject::connect(m_form, &NotificationPopup::fadeInStarted, [this] {
        ++m_fadeIns;
        m_opacities.clear();
    });
    QObject::connect(m_form, &NotificationPopup::opacityChanged,
                     [this](int opacity) { m_opacities << opacity; });
    QObject::connect(m_form, &NotificationPopup::closed, [this] { ++m_closes; });
}

PopupFixture::~PopupFixture()
{
    m_ownForm.reset();
}

MessageTimings PopupFixture::quickFades()
{
    MessageTimings timings;
    timings.fadeInFastMs = 0;
    timings.fadeInSlowMs = 0;
    timings.fadeOutMs = 0;
    return timings;
}

Reply PopupFixture::notice(const QString& page, int width, int height) const
{
    Reply information;
    information.success = true;
    information.url = m_rig.appUrl() + QStringLiteral("/notice/") + page;
    information.width = width;
    information.height = height;
    return information;
}

bool PopupFixture::fadedIn() const
{
    return m_form->isVisible() && !m_form->fadingIn() && m_form->opacity() == 255;
}

bool PopupFixture::showAndFadeIn(const Reply& information)
{
    const int before = m_fadeIns;
    m_form->showNotification(information);
    return waitUntil([&] { return m_fadeIns > before && fadedIn(); }) &&
           QTest::qWaitForWindowExposed(m_form, 20000);
}

void PopupFixture::twoMinutesPass()
{
    const int interval = child<QTimer>(m_form, "closeTimer")->interval();
    child<QTimer>(m_form, "closeTimer")->start(0);
    EXPECT_TRUE(waitUntil([&] { return !child<QTimer>(m_form, "closeTimer")->isActive(); }));
    child<QTimer>(m_form, "closeTimer")->setInterval(interval);
}

QVariant PopupFixture::js(const QString& script)
{
    QVariant result;
    bool done = false;
    child<BrowserView>(m_form, "browser")->browserPage()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    EXPECT_TRUE(waitUntil([&] { return done; })) << script.toStdString();
    return result;
}

QPoint PopupFixture::globalCentreOf(const QString& id)
{
    const QVariantList centre =
        js(QStringLiteral("(function () { var r = document.getElementById('%1').getBoundingClientRect();"
                          " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
               .arg(id))
            .toList();
    EXPECT_EQ(centre.size(), 2) << id.toStdString();
    if (centre.size() != 2)
        return {};
    return child<BrowserView>(m_form, "browser")->mapToGlobal(QPoint(centre[0].toInt(), centre[1].toInt()));
}

int PopupFixture::count(const char* what)
{
    return js(QStringLiteral("counts.%1").arg(QLatin1String(what))).toInt();
}

void PopupFixture::waitForInput()
{
    // Low in the page, away from its links.
    const QPoint blank = m_form->mapFromGlobal(
        child<BrowserView>(m_form, "browser")
            ->mapToGlobal(QPoint(child<BrowserView>(m_form, "browser")->width() / 2,
                                 child<BrowserView>(m_form, "browser")->height() - 20)));
    ASSERT_TRUE(waitUntil([&] {
        QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, blank);
        return count("left") > 0;
    }));
}

void PopupFixture::movePointer(const QPoint& global)
{
    QCursor::setPos(global);
    waitUntil([&] { return QCursor::pos() == global; }, 5000);
    runEvents(100);
}

} // namespace quorvane
