#include "tests/ui/chrome/DesktopUrlCatcher.h"

#include <QDesktopServices>

TDesktopUrlCatcher::TDesktopUrlCatcher(const QStringList& schemes) : m_schemes(schemes)
{
    for (const QString& scheme : m_schemes)
        QDesktopServices::setUrlHandler(scheme, this, "Open");
}

TDesktopUrlCatcher::~TDesktopUrlCatcher()
{
    for (const QString& scheme : m_schemes)
        QDesktopServices::unsetUrlHandler(scheme);
}

void TDesktopUrlCatcher::open(const QUrl& url)
{
    m_caught.append(url.toString());
}
