#include "devserver/HomePages.h"

#include "devserver/HtmlPage.h"

#include <algorithm>

using HtmlPage::Escape;

namespace {

QString FormatPrice(int price)
{
    QString digits = QString::number(price);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return digits;
}

QString ChangeCell(double percent)
{
    const QString cls = percent > 0 ? QStringLiteral("up") : percent < 0 ? QStringLiteral("down") : QString();
    const QString text =
        (percent > 0 ? QStringLiteral("+") : QString()) + QString::number(percent, 'f', 1) + QLatin1Char('%');
    return QStringLiteral("<td class=\"number ") + cls + QStringLiteral("\">") + text +
           QStringLiteral("</td>");
}

QString Header(const TSiteLinks& links, const QString& userName, bool certified)
{
    QString html = QStringLiteral("<header class=\"bar\"><div class=\"logo\"><a href=\"") +
                   Escape(links.Home()) +
                   QStringLiteral("\" style=\"color:#fff\">Quorvane<span>房价通</span></a></div>"
                                  "<div class=\"user\">欢迎您，") +
                   Escape(userName);
    if (certified)
        html += QStringLiteral("<span class=\"badge\">认证企业</span>");
    html += QStringLiteral(" &nbsp;|&nbsp; <a id=\"hide\" href=\"") + Escape(TSiteLinks::ClientClose()) +
            QStringLiteral("\">隐藏到托盘</a></div></header>\n");
    return html;
}

QString Footer()
{
    return QStringLiteral("<footer>© 2012 Quorvane 房价通 · 数据仅供参考，不构成投资建议</footer>");
}

QString ShareLink(const TSiteLinks& links, const THouseListing& listing, const QString& shareType,
                  const QString& cls, const QString& text)
{
    const QString title = listing.community + QStringLiteral(" 均价 ") +
                          FormatPrice(listing.pricePerSquareMetre) +
                          QStringLiteral(" 元/平方米 —— 来自 Quorvane 房价通");
    return QStringLiteral("<a class=\"") + cls + QStringLiteral("\" target=\"_blank\" href=\"") +
           Escape(links.Share(links.Detail(listing.id), title, shareType)) + QStringLiteral("\">") + text +
           QStringLiteral("</a>");
}

} // namespace

namespace HomePages {

QString RenderHome(const TSiteLinks& links, const QString& userName, bool certified)
{
    const QList<THouseListing> watchList = HousePrices::WatchListFor(userName);
    QString rows;
    for (const THouseListing& listing : watchList) {
        rows += QStringLiteral("<tr><td><a href=\"") + Escape(links.Detail(listing.id)) +
                QStringLiteral("\">") + Escape(listing.community) + QStringLiteral("</a></td><td>") +
                Escape(listing.district) + QStringLiteral("</td><td class=\"number\">") +
                FormatPrice(listing.pricePerSquareMetre) + QStringLiteral("</td>") +
                ChangeCell(listing.monthChangePercent) + QStringLiteral("<td class=\"number\">") +
                QString::number(listing.forSale) + QStringLiteral("</td><td>") +
                ShareLink(links, listing, QStringLiteral("1"), QString(), QStringLiteral("分享")) +
                QStringLiteral("</td></tr>\n");
    }

    const THouseListing& first = watchList.first();
    QString body = Header(links, userName, certified);
    body += QStringLiteral("<main>\n<h1>我关注的小区房价</h1>\n<p class=\"muted\">数据更新于 ") +
            HousePrices::CurrentMonth() +
            QStringLiteral(" · 挂牌均价，单位：元/平方米</p>\n"
                           "<table class=\"prices\"><thead><tr><th>小区</th><th>区域</th>"
                           "<th class=\"number\">均价</th><th class=\"number\">环比</th>"
                           "<th class=\"number\">在售房源</th><th></th></tr></thead>\n<tbody>\n") +
            rows + QStringLiteral("</tbody></table>\n<div class=\"actions\">");
    body += QStringLiteral("<a class=\"button\" id=\"report\" href=\"") +
            Escape(TSiteLinks::ClientOpen(links.Report(first.districtCode))) +
            QStringLiteral("\">在浏览器中查看") + Escape(first.district) + QStringLiteral("市场报告</a>");
    body += ShareLink(links, first, QStringLiteral("3"), QStringLiteral("button share"),
                      QStringLiteral("分享本月房价走势到微博"));
    body += QStringLiteral("</div>\n</main>\n") + Footer();
    return HtmlPage::Render(QStringLiteral("Quorvane 房价通"), body);
}

QString RenderDetail(const TSiteLinks& links, const QString& userName, bool certified,
                     const THouseListing& listing)
{
    const QList<int> history = HousePrices::History(listing);
    // Bars span the range of the year, so that a few per cent of change stay visible.
    const auto [lowest, highest] = std::minmax_element(history.begin(), history.end());
    const int range = std::max(1, *highest - *lowest);
    QString bars;
    QString cells;
    for (qsizetype month = 0; month < history.size(); ++month) {
        const int height = 24 + 90 * (history[month] - *lowest) / range;
        bars += QStringLiteral("<div class=\"col\"><div style=\"height:") + QString::number(height) +
                QStringLiteral("px\" title=\"") + FormatPrice(history[month]) + QStringLiteral("\"></div>") +
                QString::number(month + 1) + QStringLiteral("月</div>");
        cells +=
            QStringLiteral("<td class=\"number\">") + FormatPrice(history[month]) + QStringLiteral("</td>");
    }

    QString body = Header(links, userName, certified);
    body += QStringLiteral("<main>\n<p class=\"muted\"><a href=\"") + Escape(links.Home()) +
            QStringLiteral("\">我的关注</a> › ") + Escape(listing.community) + QStringLiteral("</p>\n<h1>") +
            Escape(listing.community) + QStringLiteral(" · ") + Escape(listing.district) +
            QStringLiteral("</h1>\n<p>当前挂牌均价 <b>") + FormatPrice(listing.pricePerSquareMetre) +
            QStringLiteral("</b> 元/平方米，在售房源 ") + QString::number(listing.forSale) +
            QStringLiteral(" 套。</p>\n<h2>近12个月均价走势</h2>\n<div class=\"card chart\">") + bars +
            QStringLiteral("</div>\n<table><tr>") + cells +
            QStringLiteral("</tr></table>\n<div class=\"actions\">");
    body += QStringLiteral("<a class=\"button\" href=\"") +
            Escape(TSiteLinks::ClientOpen(links.Report(listing.districtCode))) +
            QStringLiteral("\">在浏览器中查看") + Escape(listing.district) + QStringLiteral("市场报告</a>");
    body += ShareLink(links, listing, QStringLiteral("3"), QStringLiteral("button share"),
                      QStringLiteral("分享到微博"));
    body += QStringLiteral("</div>\n</main>\n") + Footer();
    const QString chartCss = QStringLiteral(
        ".chart { display: flex; align-items: flex-end; gap: 6px; height: 140px; margin-bottom: 8px; }"
        ".chart .col { flex: 1; text-align: center; font-size: 11px; color: #888; }"
        ".chart .col div { background: linear-gradient(#4f8fdc, #1d65bf); border-radius: 2px 2px 0 0; }");
    return HtmlPage::Render(listing.community + QStringLiteral(" - Quorvane 房价通"), body, chartCss);
}

} // namespace HomePages
