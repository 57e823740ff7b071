#include "tests/ui/main/OpenedUrls.h"

#include "tests/support/TestApplication.h"

#include <QDesktopServices>
#include <QObject>

namespace {

class TUrlCatcher final : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened.append(url); }
};

TUrlCatcher* catcher = nullptr;

// The schemes a page might try to have opened; "" stands for a bare path.
const char* const kSchemes[] = {"",    "http", "https",      "mailto",      "file",
                                "ftp", "smb",  "javascript", "vemtraclient"};

void InstallUrlCatcher()
{
    catcher = new TUrlCatcher;
    for (const char* scheme : kSchemes)
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), catcher, "Open");
}

void RemoveUrlCatcher()
{
    for (const char* scheme : kSchemes)
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    delete catcher;
    catcher = nullptr;
}

[[maybe_unused]] const bool catcherSteps =
    AddTestAppSteps({.afterApp = InstallUrlCatcher, .beforeAppGone = RemoveUrlCatcher});

} // namespace

QList<QUrl> OpenedUrls()
{
    return catcher ? catcher->opened : QList<QUrl>{};
}

void ClearOpenedUrls()
{
    if (catcher)
        catcher->opened.clear();
}

#include "OpenedUrls.moc"
