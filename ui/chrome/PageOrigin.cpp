#include "ui/chrome/PageOrigin.h"

#include "config/ConfigStore.h"
#include "config/ShareHosts.h"

namespace quorvane {

namespace {

int portOf(const QUrl& url)
{
    return url.port(url.scheme().toLower() == QLatin1String("https") ? 443 : 80);
}

bool isWeb(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty();
}

} // namespace

bool isApplicationOrigin(const QUrl& url)
{
    const QUrl app(ConfigStore().getAppUrl());
    return isWeb(url) && isWeb(app) && url.scheme().compare(app.scheme(), Qt::CaseInsensitive) == 0 &&
           url.host().compare(app.host(), Qt::CaseInsensitive) == 0 && portOf(url) == portOf(app);
}

NewWindowRoute routeNewWindow(const QUrl& url)
{
    if (!isWeb(url))
        return NewWindowRoute::Drop;
    if (shareHosts().contains(url.host().toLower()))
        return NewWindowRoute::ShareWindow;
    return NewWindowRoute::DefaultBrowser;
}

} // namespace quorvane
