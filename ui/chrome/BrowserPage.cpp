#include "ui/chrome/BrowserPage.h"

#include "platform/Shell.h"
#include "ui/chrome/BrowserProfile.h"

#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>

TBrowserPage::TBrowserPage(QObject* parent) : QWebEnginePage(BrowserProfile(), parent)
{
    connect(this, &QWebEnginePage::newWindowRequested, this, &TBrowserPage::OnNewWindowRequested);
    connect(this, &QWebEnginePage::loadingChanged, this, &TBrowserPage::OnLoadingChanged);
}

TBrowserPage::~TBrowserPage() = default;

void TBrowserPage::Navigate(const QString& url)
{
    QUrl target(url);
    if (target.scheme().isEmpty())
        target = QUrl::fromUserInput(url);
    load(target);
}

bool TBrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool)
{
    bool cancel = false;
    emit BeforeNavigate(UrlText(url), cancel);
    return !cancel;
}

void TBrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                            int lineNumber, const QString& sourceId)
{
    if (message.startsWith(FrameCompleteMarker())) {
        emit DocumentComplete(message.mid(FrameCompleteMarker().size()));
        return;
    }
    QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceId);
}

void TBrowserPage::OnNewWindowRequested(QWebEngineNewWindowRequest& request)
{
    const QUrl url = request.requestedUrl();
    QWebEnginePage* target = nullptr;
    bool cancel = false;
    emit NewWindow(UrlText(url), target, cancel);
    if (cancel)
        return;
    if (target == this) {
        load(url);
        return;
    }
    if (target) {
        request.openIn(target);
        return;
    }
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
        OpenInDefaultBrowser(UrlText(url));
}

void TBrowserPage::OnLoadingChanged(const QWebEngineLoadingInfo& info)
{
    // A stopped load (a navigation cancelled before it began) completes nothing: the page
    // stays as it was. A failed one completes with the engine's error page.
    if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus ||
        info.status() == QWebEngineLoadingInfo::LoadFailedStatus)
        emit DocumentComplete(UrlText(info.url()));
}

QString UrlText(const QUrl& url)
{
    return url.toString(QUrl::FullyEncoded);
}
