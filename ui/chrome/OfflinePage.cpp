#include "ui/chrome/OfflinePage.h"

#include "ui/chrome/BrowserPage.h"

#include <QUrl>

namespace quorvane {

namespace {

// Chromium's network error codes (net/base/net_error_list.h) that the domains below do not
// cover as a whole.
constexpr int kTimedOut = -7;
constexpr int kNetworkChanged = -21;
constexpr int kEmptyResponse = -324;

// The skin's title blue on white, in the client's 12 and 14 pixel faces. The style sheet is the
// only thing the page may load: no script runs in it, whatever the address holds.
const char kTemplate[] = R"(<!doctype html>
<html lang="zh-CN"><head><meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'none'; style-src 'unsafe-inline'">
<title>无法连接到服务器</title>
<style>
body { margin: 0; background: #fff; color: #333;
       font: 12px "宋体", "SimSun", "Noto Sans CJK SC", "WenQuanYi Micro Hei", sans-serif; }
#offline { margin: 48px auto 0; max-width: 420px; padding: 0 20px; }
h1 { margin: 0 0 12px; color: rgb(22, 80, 153); font-size: 14px; font-weight: bold; }
p { margin: 0 0 10px; line-height: 20px; }
#address { color: #888; word-break: break-all; }
#retry { display: inline-block; margin-top: 6px; padding: 4px 22px; border-radius: 3px;
         background: rgb(22, 80, 153); color: #fff; font-size: 12px; text-decoration: none; }
#retry:hover { background: rgb(36, 104, 189); }
</style></head>
<body><div id="offline">
<h1>无法连接到服务器</h1>
<p>网络连接中断或服务器暂时无法访问。连接恢复后页面会自动重新载入。</p>
<p id="address">%1</p>
%2
</div></body></html>
)";

} // namespace

bool isNetworkFailure(QWebEngineLoadingInfo::ErrorDomain domain, int errorCode)
{
    switch (domain) {
    case QWebEngineLoadingInfo::ConnectionErrorDomain:
    case QWebEngineLoadingInfo::DnsErrorDomain:
        return true;
    case QWebEngineLoadingInfo::InternalErrorDomain:
        // Not a stopped or blocked load: those are the client's or the page's own doing.
        return errorCode == kTimedOut || errorCode == kNetworkChanged;
    case QWebEngineLoadingInfo::HttpErrorDomain:
        // A server going down closes the connections it has accepted without an answer.
        return errorCode == kEmptyResponse;
    default:
        return false;
    }
}

bool mayRetry(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QString offlinePageHtml(const QUrl& failedUrl)
{
    const QString retry = mayRetry(failedUrl) ? QStringLiteral("<p><a id=\"retry\" href=\"%1\">重试</a></p>")
                                                    .arg(urlText(failedUrl).toHtmlEscaped())
                                              : QString();
    return QString::fromUtf8(kTemplate).arg(failedUrl.toDisplayString().toHtmlEscaped(), retry);
}

} // namespace quorvane
