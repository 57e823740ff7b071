#include "devserver/SiteLinks.h"

#include "devserver/HtmlPage.h"
#include "platform/AnsiCodePage.h"

namespace quorvane {

using HtmlPage::encode;

QString SiteLinks::home() const
{
    return appBase + QStringLiteral("/house/home");
}

QString SiteLinks::detail(int listingId) const
{
    return appBase + QStringLiteral("/house/detail?id=") + QString::number(listingId);
}

QString SiteLinks::report(const QString& districtCode) const
{
    return appBase + QStringLiteral("/house/report?district=") + encode(districtCode) +
           QStringLiteral("&month=2012-12");
}

QString SiteLinks::opinion(const QString& userName, const QString& token) const
{
    // The client's own requests carry code page 936; this link imitates them.
    return appBase + QStringLiteral("/users/opinion?userName=") +
           QString::fromLatin1(toAnsi(userName).toPercentEncoding()) + QStringLiteral("&token=") +
           encode(token);
}

QString SiteLinks::share(const QString& url, const QString& title, const QString& shareType) const
{
    return QStringLiteral("http://") + shareHost + QStringLiteral("/share/share.php?url=") + encode(url) +
           QStringLiteral("&title=") + encode(title) + QStringLiteral("&shareType=") + encode(shareType);
}

QString SiteLinks::clientClose()
{
    return QStringLiteral("vemtraclient://close/");
}

QString SiteLinks::clientOpen(const QString& address)
{
    // The client splits its parameters at "&" before decoding, so the whole address is encoded.
    return QStringLiteral("vemtraclient://open/?url=") + encode(address);
}

QString SiteLinks::clientShow(const QString& path)
{
    // The client uses this value as it stands, so it must hold no "&" of its own.
    return QStringLiteral("vemtraclient://show/?url=") + path;
}

} // namespace quorvane
