#include "tests/ui/chrome/DesktopUrlCatcher.h"

#include <QDesktopServices>

namespace quorvane {

DesktopUrlCatcher::DesktopUrlCatcher(const QStringList& schemes) : m_schemes(schemes)
{
    for (const QString& scheme : m_schemes)
        QDesktopServices::setUrlHandler(scheme, this, "open");
}

DesktopUrlCatcher::~DesktopUrlCatcher()
{
    for (const QString& scheme : m_schemes)
        QDesktopServices::unsetUrlHandler(scheme);
}

void DesktopUrlCatcher::open(const QUrl& url)
{
    m_caught.append(url.toString());
}

} // namespace quorvane
