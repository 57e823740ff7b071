#include "ui/share/SharePageUrl.h"

#include "config/ShareHosts.h"
#include "config/Util.h"
#include "ui/chrome/ClientUrl.h"

namespace quorvane {

namespace {

bool startsWithPageOf(const QString& url, QLatin1String path)
{
    for (const char* host : kShareHosts) {
        const QString prefix = QStringLiteral("http://") + QLatin1String(host) + path;
        if (url.startsWith(prefix, Qt::CaseSensitive))
            return true;
    }
    return false;
}

} // namespace

bool isSharePage(const QString& url)
{
    return startsWithPageOf(url, QLatin1String("/share/share.php"));
}

bool isSuccessPage(const QString& url)
{
    return startsWithPageOf(url, QLatin1String("/share/success.php"));
}

QString getShareType(const QString& url)
{
    return parseUrlQuery(url).value(QStringLiteral("shareType"));
}

QString getSharedType(const QString& url)
{
    // Decoded as the client URL scheme decodes its "open" value, into the system code page.
    const QString sharedAddress = decodeClientUrlValue(parseUrlQuery(url).value(QStringLiteral("urlpara")));
    return parseUrlQuery(sharedAddress).value(QStringLiteral("shareType"));
}

} // namespace quorvane
