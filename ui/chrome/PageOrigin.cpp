#include "ui/chrome/PageOrigin.h"

#include "config/SelvorConfig.h"
#include "ui/chrome/ShareHosts.h"

namespace {

int PortOf(const QUrl& url)
{
    return url.port(url.scheme().toLower() == QLatin1String("https") ? 443 : 80);
}

bool IsWeb(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty();
}

} // namespace

bool IsApplicationOrigin(const QUrl& url)
{
    const QUrl app(TSelvorConfig().GetAppUrl());
    return IsWeb(url) && IsWeb(app) && url.scheme().compare(app.scheme(), Qt::CaseInsensitive) == 0 &&
           url.host().compare(app.host(), Qt::CaseInsensitive) == 0 && PortOf(url) == PortOf(app);
}

TNewWindowRoute RouteNewWindow(const QUrl& url)
{
    if (!IsWeb(url))
        return TNewWindowRoute::Drop;
    if (ShareHosts().contains(url.host().toLower()))
        return TNewWindowRoute::ShareWindow;
    return TNewWindowRoute::DefaultBrowser;
}
