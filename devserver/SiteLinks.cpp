#include "devserver/SiteLinks.h"

#include "devserver/HtmlPage.h"
#include "platform/AnsiCodePage.h"

using HtmlPage::Encode;

QString TSiteLinks::Home() const
{
    return appBase + QStringLiteral("/house/home");
}

QString TSiteLinks::Detail(int listingId) const
{
    return appBase + QStringLiteral("/house/detail?id=") + QString::number(listingId);
}

QString TSiteLinks::Report(const QString& districtCode) const
{
    return appBase + QStringLiteral("/house/report?district=") + Encode(districtCode) +
           QStringLiteral("&month=2012-12");
}

QString TSiteLinks::Opinion(const QString& userName, const QString& token) const
{
    // The client's own requests carry code page 936; this link imitates them.
    return appBase + QStringLiteral("/users/opinion?userName=") +
           QString::fromLatin1(ToAnsi(userName).toPercentEncoding()) + QStringLiteral("&token=") +
           Encode(token);
}

QString TSiteLinks::Share(const QString& url, const QString& title, const QString& shareType) const
{
    return QStringLiteral("http://") + shareHost + QStringLiteral("/share/share.php?url=") + Encode(url) +
           QStringLiteral("&title=") + Encode(title) + QStringLiteral("&shareType=") + Encode(shareType);
}

QString TSiteLinks::ClientClose()
{
    return QStringLiteral("vemtraclient://close/");
}

QString TSiteLinks::ClientOpen(const QString& address)
{
    // The client splits its parameters at "&" before decoding, so the whole address is encoded.
    return QStringLiteral("vemtraclient://open/?url=") + Encode(address);
}

QString TSiteLinks::ClientShow(const QString& path)
{
    // The client uses this value as it stands, so it must hold no "&" of its own.
    return QStringLiteral("vemtraclient://show/?url=") + path;
}
