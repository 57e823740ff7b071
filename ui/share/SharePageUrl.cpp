#include "ui/share/SharePageUrl.h"

#include "config/Util.h"
#include "ui/chrome/ShareHosts.h"
#include "ui/main/ClientUrlScheme.h"

namespace {

bool StartsWithPageOf(const QString& url, QLatin1String path)
{
    for (const char* host : kShareHosts) {
        const QString prefix = QStringLiteral("http://") + QLatin1String(host) + path;
        if (url.startsWith(prefix, Qt::CaseSensitive))
            return true;
    }
    return false;
}

} // namespace

bool IsSharePage(const QString& url)
{
    return StartsWithPageOf(url, QLatin1String("/share/share.php"));
}

bool IsSuccessPage(const QString& url)
{
    return StartsWithPageOf(url, QLatin1String("/share/success.php"));
}

QString GetShareType(const QString& url)
{
    return ParseUrlQuery(url).Value(QStringLiteral("shareType"));
}

QString GetSharedType(const QString& url)
{
    // Decoded as the client URL scheme decodes its "open" value, into the system code page.
    const QString sharedAddress = DecodeClientUrlValue(ParseUrlQuery(url).Value(QStringLiteral("urlpara")));
    return ParseUrlQuery(sharedAddress).Value(QStringLiteral("shareType"));
}
