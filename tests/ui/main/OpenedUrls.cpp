#include "tests/ui/main/OpenedUrls.h"

#include "tests/support/TestApplication.h"

#include <QDesktopServices>
#include <QObject>

namespace quorvane {

namespace {

class UrlCatcher final : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.append(url); }
};

UrlCatcher* catcher = nullptr;

// The schemes a page might try to have opened; "" stands for a bare path.
const char* const kSchemes[] = {"",    "http", "https",      "mailto",      "file",
                                "ftp", "smb",  "javascript", "vemtraclient"};

void installUrlCatcher()
{
    catcher = new UrlCatcher;
    for (const char* scheme : kSchemes)
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), catcher, "open");
}

void removeUrlCatcher()
{
    for (const char* scheme : kSchemes)
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    delete catcher;
    catcher = nullptr;
}

[[maybe_unused]] const bool catcherSteps =
    addTestAppSteps({.afterApp = installUrlCatcher, .beforeAppGone = removeUrlCatcher});

} // namespace

QList<QUrl> openedUrls()
{
    return catcher ? catcher->opened : QList<QUrl>{};
}

void clearOpenedUrls()
{
    if (catcher)
        catcher->opened.clear();
}

} // namespace quorvane

#include "OpenedUrls.moc"
