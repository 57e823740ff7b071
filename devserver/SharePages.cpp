#include "devserver/SharePages.h"

#include "devserver/HtmlPage.h"

#include <QUrlQuery>

namespace quorvane {

using HtmlPage::escape;

namespace {

const char* const kShareCss = R"css(
body { background: #fff; }
.weibo { display: flex; align-items: center; padding: 8px 16px; background: #f6f6f6; border-bottom: 2px solid #f98c00; }
.weibo b { color: #e8541e; font-size: 16px; margin-right: 8px; }
form { padding: 10px 16px; }
textarea { width: 100%; height: 86px; resize: none; border: 1px solid #ccc; border-radius: 3px; padding: 6px; font: inherit; }
.picture { height: 190px; margin-top: 8px; border: 1px solid #ddd; border-radius: 3px; display: flex; align-items: flex-end;
           gap: 8px; padding: 10px; background: linear-gradient(#fff, #f3f7fd); }
.picture div { flex: 1; background: #4f8fdc; border-radius: 2px 2px 0 0; }
.row { display: flex; justify-content: flex-end; gap: 10px; margin-top: 10px; }
button { border: 0; border-radius: 3px; padding: 5px 22px; font: inherit; cursor: pointer; }
button.send { background: #f98c00; color: #fff; }
button.cancel { background: #e6e6e6; color: #333; }
.done { padding: 40px 16px; text-align: center; }
.done h1 { color: #e8541e; }
)css";

QString header()
{
    return QStringLiteral("<div class=\"weibo\"><b>微博</b>分享到微博</div>");
}

} // namespace

namespace SharePages {

QString renderShare(const QString& url, const QString& title, const QString& shareType)
{
    QString picture;
    if (shareType == QLatin1String("3")) {
        picture = QStringLiteral("<div class=\"picture\" title=\"房价走势图\">");
        for (const int height : {42, 48, 46, 55, 60, 58, 66, 71, 69, 77, 84, 90})
            picture += QStringLiteral("<div style=\"height:") + QString::number(height) +
                       QStringLiteral("%\"></div>");
        picture += QStringLiteral("</div>");
    }
    const QString body =
        header() +
        QStringLiteral("<form method=\"get\" action=\"/share/success.php\" accept-charset=\"utf-8\">"
                       "<input type=\"hidden\" name=\"urlpara\" value=\"") +
        escape(sharedAddress(url, shareType)) +
        QStringLiteral("\"><textarea name=\"content\" maxlength=\"140\">") +
        escape(title + QLatin1Char(' ') + url) + QStringLiteral("</textarea>") + picture +
        QStringLiteral("<div class=\"row\"><button type=\"button\" class=\"cancel\" "
                       "onclick=\"window.close()\">取消</button>"
                       "<button type=\"submit\" class=\"send\" id=\"send\">分享</button></div></form>");
    return HtmlPage::render(QStringLiteral("分享到微博"), body, QString::fromUtf8(kShareCss));
}

QString renderSuccess(const QString& sharedAddress)
{
    QString body = header() + QStringLiteral("<div class=\"done\"><h1>分享成功！</h1>");
    if (!sharedAddress.isEmpty())
        body += QStringLiteral("<p class=\"muted\">") + escape(sharedAddress) + QStringLiteral("</p>");
    body += QStringLiteral(
        "<p><button type=\"button\" class=\"cancel\" onclick=\"window.close()\">关闭窗口</button></p></div>");
    return HtmlPage::render(QStringLiteral("分享成功"), body, QString::fromUtf8(kShareCss));
}

QString sharedAddress(const QString& url, const QString& shareType)
{
    const qsizetype question = url.indexOf(QLatin1Char('?'));
    const QUrlQuery query(question < 0 ? QString() : url.mid(question + 1));
    if (shareType.isEmpty() || query.hasQueryItem(QStringLiteral("shareType")))
        return url;
    const QString separator = question < 0 ? QStringLiteral("?") : QStringLiteral("&");
    return url + separator + QStringLiteral("shareType=") + HtmlPage::encode(shareType);
}

} // namespace SharePages

} // namespace quorvane
