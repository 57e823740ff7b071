#include "devserver/HomePages.h"

#include "devserver/HtmlPage.h"

#include <algorithm>

namespace quorvane {

using HtmlPage::escape;

namespace {

QString formatPrice(int price)
{
    QString digits = QString::number(price);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return digits;
}

QString changeCell(double percent)
{
    const QString cls = percent > 0 ? QStringLiteral("up") : percent < 0 ? QStringLiteral("down") : QString();
    const QString text =
        (percent > 0 ? QStringLiteral("+") : QString()) + QString::number(percent, 'f', 1) + QLatin1Char('%');
    return QStringLiteral("<td class=\"number ") + cls + QStringLiteral("\">") + text +
           QStringLiteral("</td>");
}

QString header(const SiteLinks& links, const QString& userName, bool certified)
{
    QString html = QStringLiteral("<header class=\"bar\"><div class=\"logo\"><a href=\"") +
                   escape(links.home()) +
                   QStringLiteral("\" style=\"color:#fff\">Quorvane<span>房价通</span></a></div>"
                                  "<div class=\"user\">欢迎您，") +
                   escape(userName);
    if (certified)
        html += QStringLiteral("<span class=\"badge\">认证企业</span>");
    html += QStringLiteral(" &nbsp;|&nbsp; <a id=\"hide\" href=\"") + escape(SiteLinks::clientClose()) +
            QStringLiteral("\">隐藏到托盘</a></div></header>\n");
    return html;
}

QString footer()
{
    return QStringLiteral("<footer>© 2012 Quorvane 房价通 · 数据仅供参考，不构成投资建议</footer>");
}

QString shareLink(const SiteLinks& links, const HouseListing& listing, const QString& shareType,
                  const QString& cls, const QString& text)
{
    const QString title = listing.community + QStringLiteral(" 均价 ") +
                          formatPrice(listing.pricePerSquareMetre) +
                          QStringLiteral(" 元/平方米 —— 来自 Quorvane 房价通");
    return QStringLiteral("<a class=\"") + cls + QStringLiteral("\" target=\"_blank\" href=\"") +
           escape(links.share(links.detail(listing.id), title, shareType)) + QStringLiteral("\">") + text +
           QStringLiteral("</a>");
}

} // namespace

namespace HomePages {

QString renderHome(const SiteLinks& links, const QString& userName, bool certified)
{
    const QList<HouseListing> watchList = HousePrices::watchListFor(userName);
    QString rows;
    for (const HouseListing& listing : watchList) {
        rows += QStringLiteral("<tr><td><a href=\"") + escape(links.detail(listing.id)) +
                QStringLiteral("\">") + escape(listing.community) + QStringLiteral("</a></td><td>") +
                escape(listing.district) + QStringLiteral("</td><td class=\"number\">") +
                formatPrice(listing.pricePerSquareMetre) + QStringLiteral("</td>") +
                changeCell(listing.monthChangePercent) + QStringLiteral("<td class=\"number\">") +
                QString::number(listing.forSale) + QStringLiteral("</td><td>") +
                shareLink(links, listing, QStringLiteral("1"), QString(), QStringLiteral("分享")) +
                QStringLiteral("</td></tr>\n");
    }

    const HouseListing& first = watchList.first();
    QString body = header(links, userName, certified);
    body += QStringLiteral("<main>\n<h1>我关注的小区房价</h1>\n<p class=\"muted\">数据更新于 ") +
            HousePrices::currentMonth() +
            QStringLiteral(" · 挂牌均价，单位：元/平方米</p>\n"
                           "<table class=\"prices\"><thead><tr><th>小区</th><th>区域</th>"
                           "<th class=\"number\">均价</th><th class=\"number\">环比</th>"
                           "<th class=\"number\">在售房源</th><th></th></tr></thead>\n<tbody>\n") +
            rows + QStringLiteral("</tbody></table>\n<div class=\"actions\">");
    body += QStringLiteral("<a class=\"button\" id=\"report\" href=\"") +
            escape(SiteLinks::clientOpen(links.report(first.districtCode))) +
            QStringLiteral("\">在浏览器中查看") + escape(first.district) + QStringLiteral("市场报告</a>");
    body += shareLink(links, first, QStringLiteral("3"), QStringLiteral("button share"),
                      QStringLiteral("分享本月房价走势到微博"));
    body += QStringLiteral("</div>\n</main>\n") + footer();
    return HtmlPage::render(QStringLiteral("Quorvane 房价通"), body);
}

QString renderDetail(const SiteLinks& links, const QString& userName, bool certified,
                     const HouseListing& listing)
{
    const QList<int> history = HousePrices::history(listing);
    // Bars span the range of the year, so that a few per cent of change stay visible.
    const auto [lowest, highest] = std::minmax_element(history.begin(), history.end());
    const int range = std::max(1, *highest - *lowest);
    QString bars;
    QString cells;
    for (qsizetype month = 0; month < history.size(); ++month) {
        const int height = 24 + 90 * (history[month] - *lowest) / range;
        bars += QStringLiteral("<div class=\"col\"><div style=\"height:") + QString::number(height) +
                QStringLiteral("px\" title=\"") + formatPrice(history[month]) + QStringLiteral("\"></div>") +
                QString::number(month + 1) + QStringLiteral("月</div>");
        cells +=
            QStringLiteral("<td class=\"number\">") + formatPrice(history[month]) + QStringLiteral("</td>");
    }

    QString body = header(links, userName, certified);
    body += QStringLiteral("<main>\n<p class=\"muted\"><a href=\"") + escape(links.home()) +
            QStringLiteral("\">我的关注</a> › ") + escape(listing.community) + QStringLiteral("</p>\n<h1>") +
            escape(listing.community) + QStringLiteral(" · ") + escape(listing.district) +
            QStringLiteral("</h1>\n<p>当前挂牌均价 <b>") + formatPrice(listing.pricePerSquareMetre) +
            QStringLiteral("</b> 元/平方米，在售房源 ") + QString::number(listing.forSale) +
            QStringLiteral(" 套。</p>\n<h2>近12个月均价走势</h2>\n<div class=\"card chart\">") + bars +
            QStringLiteral("</div>\n<table><tr>") + cells +
            QStringLiteral("</tr></table>\n<div class=\"actions\">");
    body += QStringLiteral("<a class=\"button\" href=\"") +
            escape(SiteLinks::clientOpen(links.report(listing.districtCode))) +
            QStringLiteral("\">在浏览器中查看") + escape(listing.district) + QStringLiteral("市场报告</a>");
    body += shareLink(links, listing, QStringLiteral("3"), QStringLiteral("button share"),
                      QStringLiteral("分享到微博"));
    body += QStringLiteral("</div>\n</main>\n") + footer();
    const QString chartCss = QStringLiteral(
        ".chart { display: flex; align-items: flex-end; gap: 6px; height: 140px; margin-bottom: 8px; }"
        ".chart .col { flex: 1; text-align: center; font-size: 11px; color: #888; }"
        ".chart .col div { background: linear-gradient(#4f8fdc, #1d65bf); border-radius: 2px 2px 0 0; }");
    return HtmlPage::render(listing.community + QStringLiteral(" - Quorvane 房价通"), body, chartCss);
}

} // namespace HomePages

} // namespace quorvane
