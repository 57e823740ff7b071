#include "tests/ui/chrome/DesktopUrlCatcher.h"

#include <QDesktopServices>

TDesktopUrlCatcher::TDesktopUrlCatcher(const QStringList& schemes) : schemes_(schemes)
{
    for (const QString& scheme : schemes_)
        QDesktopServices::setUrlHandler(scheme, this, "Open");
}

TDesktopUrlCatcher::~TDesktopUrlCatcher()
{
    for (const QString& scheme : schemes_)
        QDesktopServices::unsetUrlHandler(scheme);
}

void TDesktopUrlCatcher::Open(const QUrl& url)
{
    caught_.append(url.toString());
}
