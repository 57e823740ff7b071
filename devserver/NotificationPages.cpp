#include "devserver/NotificationPages.h"

#include "devserver/HousePrices.h"
#include "devserver/HtmlPage.h"

namespace quorvane {

using HtmlPage::escape;

namespace {

// The pop-up's browser view is about 300 x 170 pixels below the client's own title bar.
const char* const kNotificationCss = R"css(
body { background: #fff; }
.note { padding: 10px 12px; }
.note h1 { font-size: 14px; margin-bottom: 6px; }
.note p { margin: 0 0 8px; }
.note .actions { margin-top: 8px; }
.note .button { padding: 3px 10px; }
)css";

QString page(const QString& heading, const QString& message, const QString& showPath, const QString& showText,
             const QString& openAddress)
{
    const QString body =
        QStringLiteral("<div class=\"note\"><h1>") + escape(heading) + QStringLiteral("</h1><p>") +
        escape(message) +
        QStringLiteral("</p><div class=\"actions\"><a class=\"button\" id=\"show\" href=\"") +
        escape(SiteLinks::clientShow(showPath)) + QStringLiteral("\">") + escape(showText) +
        QStringLiteral("</a><a id=\"open\" href=\"") + escape(SiteLinks::clientOpen(openAddress)) +
        QStringLiteral("\">市场报告</a></div></div>");
    return HtmlPage::render(heading, body, QString::fromUtf8(kNotificationCss));
}

} // namespace

namespace NotificationPages {

std::optional<QString> render(const SiteLinks& links, int id)
{
    switch (id) {
    case 1: {
        const HouseListing listing = *HousePrices::find(3);
        return page(QStringLiteral("欢迎使用 Quorvane 房价通"),
                    HousePrices::currentMonth() + QStringLiteral("房价数据已更新，") + listing.community +
                        QStringLiteral("等热门小区价格稳中有升。"),
                    QStringLiteral("house/detail?id=3"), QStringLiteral("查看小区详情"),
                    links.report(listing.districtCode));
    }
    case 2: {
        const HouseListing listing = *HousePrices::find(1);
        return page(QStringLiteral("价格提醒"),
                    listing.community + QStringLiteral("挂牌均价较上月上涨 ") +
                        QString::number(listing.monthChangePercent, 'f', 1) + QStringLiteral("%，现为 ") +
                        QString::number(listing.pricePerSquareMetre) + QStringLiteral(" 元/平方米。"),
                    QStringLiteral("house/detail?id=1"), QStringLiteral("查看走势"),
                    links.report(listing.districtCode));
    }
    default:
        return std::nullopt;
    }
}

} // namespace NotificationPages

} // namespace quorvane
