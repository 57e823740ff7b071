#include "devserver/ServicePages.h"

#include "devserver/HousePrices.h"
#include "devserver/HtmlPage.h"

namespace quorvane {

using HtmlPage::escape;

namespace {

// The feedback window's browser view is small (about 409 x 193): no header, a compact form.
const char* const kFeedbackCss = R"css(
body { background: #fff; }
form { padding: 6px 8px; }
textarea { width: 100%; height: 110px; resize: none; border: 1px solid #c6d3e6; border-radius: 3px;
           padding: 4px 6px; font: inherit; }
.row { display: flex; justify-content: space-between; align-items: center; margin-top: 6px; }
button { border: 0; border-radius: 4px; background: #1d65bf; color: #fff; padding: 4px 18px; font: inherit; cursor: pointer; }
.thanks { padding: 30px 10px; text-align: center; }
)css";

} // namespace

namespace ServicePages {

QString renderReport(const SiteLinks& links, const QString& districtCode, const QString& districtName)
{
    QString rows;
    for (const HouseListing& listing : HousePrices::inDistrict(districtCode)) {
        const QList<int> history = HousePrices::history(listing);
        const double yearChange = 100.0 * (history.last() - history.first()) / history.first();
        rows += QStringLiteral("<tr><td>") + escape(listing.community) +
                QStringLiteral("</td><td class=\"number\">") + QString::number(listing.pricePerSquareMetre) +
                QStringLiteral("</td><td class=\"number\">") +
                QString::number(listing.monthChangePercent, 'f', 1) +
                QStringLiteral("%</td><td class=\"number\">") + QString::number(yearChange, 'f', 1) +
                QStringLiteral("%</td><td class=\"number\">") + QString::number(listing.forSale) +
                QStringLiteral("</td></tr>\n");
    }
    const QString title =
        escape(districtName) + QStringLiteral("二手房市场报告 · ") + HousePrices::currentMonth();
    const QString body =
        QStringLiteral(
            "<header class=\"bar\"><div class=\"logo\">Quorvane<span>房价通</span></div></header>\n"
            "<main>\n<h1>") +
        title +
        QStringLiteral(
            "</h1>\n<p "
            "class=\"muted\">挂牌均价，单位：元/平方米。本报告可在任何浏览器中打开，无需登录。</p>\n"
            "<table><thead><tr><th>小区</th><th class=\"number\">均价</th><th class=\"number\">环比</th>"
            "<th class=\"number\">同比</th><th class=\"number\">在售房源</th></tr></thead>\n<tbody>\n") +
        rows +
        QStringLiteral(
            "</tbody></table>\n<p class=\"muted\">下载 Quorvane 房价通客户端，第一时间获取价格提醒。"
            " <a href=\"") +
        escape(links.appBase) + QStringLiteral("\">访问官网</a></p>\n</main>\n");
    return HtmlPage::render(districtName + QStringLiteral("二手房市场报告"), body);
}

QString renderOpinion(const QString& userName, const QString& token)
{
    const QString body =
        QStringLiteral("<form method=\"get\" action=\"saveOpinion\" accept-charset=\"utf-8\">"
                       "<input type=\"hidden\" name=\"userName\" value=\"") +
        escape(userName) + QStringLiteral("\"><input type=\"hidden\" name=\"token\" value=\"") +
        escape(token) +
        QStringLiteral(
            "\"><textarea name=\"content\" maxlength=\"500\" "
            "placeholder=\"请输入您对 Quorvane 房价通的意见或建议（500字以内）\" required></textarea>"
            "<div class=\"row\"><span class=\"muted\">感谢您帮助我们做得更好</span>"
            "<button type=\"submit\">提交</button></div></form>");
    return HtmlPage::render(QStringLiteral("意见反馈"), body, QString::fromUtf8(kFeedbackCss));
}

QString renderOpinionThanks(const SiteLinks& links, const QString& userName, const QString& token)
{
    const QString body = QStringLiteral("<div class=\"thanks\"><h1>感谢您的反馈！</h1>"
                                        "<p>我们会认真阅读每一条意见。</p><p><a href=\"") +
                         escape(links.opinion(userName, token)) + QStringLiteral("\">继续反馈</a></p></div>");
    return HtmlPage::render(QStringLiteral("意见反馈"), body, QString::fromUtf8(kFeedbackCss));
}

} // namespace ServicePages

} // namespace quorvane
