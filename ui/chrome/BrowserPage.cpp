#include "ui/chrome/BrowserPage.h"

#include "ui/chrome/BrowserProfile.h"
#include "ui/chrome/MessageBox.h"
#include "ui/chrome/OfflinePage.h"
#include "ui/chrome/PageOrigin.h"
#include "ui/chrome/PromptDialog.h"
#include "ui/chrome/ReconnectWatch.h"

#include <QDebug>
#include <QWebEngineView>

#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineSettings>
#include <utility>

namespace quorvane {

BrowserPage::BrowserPage(QObject* parent)
    : QWebEnginePage(browserProfile(), parent), m_reconnect(new ReconnectWatch(this))
{
    m_reconnect->setObjectName(QStringLiteral("reconnectWatch"));
    // The offline page stands in for the engine's own, which would flash before it.
    settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    connect(this, &QWebEnginePage::newWindowRequested, this, &BrowserPage::onNewWindowRequested);
    connect(this, &QWebEnginePage::loadingChanged, this, &BrowserPage::onLoadingChanged);
    connect(m_reconnect, &ReconnectWatch::reachable, this, &BrowserPage::onServerReachable);
    // A hidden page (the main window in the tray, a pop-up between notifications) leaves the
    // server alone until it shows again.
    connect(this, &QWebEnginePage::visibleChanged, this, [this](bool visible) {
        if (visible)
            watchServer();
        else
            m_reconnect->stop();
    });
}

BrowserPage::~BrowserPage() = default;

bool BrowserPage::mayLoad(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("about") || scheme == QLatin1String(clientUrlScheme());
}

void BrowserPage::navigate(const QString& url)
{
    QUrl target(url);
    if (target.scheme().isEmpty())
        target = QUrl::fromUserInput(url);
    load(target);
}

QString BrowserPage::offlineUrl() const
{
    return m_offlineUrl.isEmpty() ? QString() : urlText(m_offlineUrl);
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    // The offline page arrives as a data: URL of the client's own making; no page can start a
    // typed navigation of the top page.
    if (!m_offlineLoading.isEmpty() && isMainFrame && type == NavigationTypeTyped &&
        url.scheme() == QLatin1String("data"))
        return true;
    bool cancel = false;
    emit beforeNavigate(urlText(url), cancel, isMainFrame);
    // Whatever the windows decided, a page never opens a local file, a network share or a
    // program of the desktop.
    return !cancel && mayLoad(url);
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                           int lineNumber, const QString& sourceId)
{
    if (message.startsWith(frameCompleteMarker())) {
        emit documentComplete(message.mid(frameCompleteMarker().size()));
        return;
    }
    QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceId);
}

bool BrowserPage::mayShowDialog(const QUrl& securityOrigin) const
{
    if (isApplicationOrigin(securityOrigin))
        return true;
    qWarning().noquote() << "JavaScript dialog of" << securityOrigin.toString() << "suppressed";
    return false;
}

QWidget* BrowserPage::dialogOwner() const
{
    QWidget* view = QWebEngineView::forPage(this);
    return view ? view->window() : nullptr;
}

void BrowserPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    if (mayShowDialog(securityOrigin))
        MessageBox::show(dialogOwner(), QStringLiteral("Quorvane"), msg, QMessageBox::Ok,
                         QMessageBox::Information);
}

bool BrowserPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg)
{
    return mayShowDialog(securityOrigin) &&
           MessageBox::show(dialogOwner(), QStringLiteral("Quorvane"), msg,
                            QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Question) == QMessageBox::Ok;
}

bool BrowserPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                                   const QString& defaultValue, QString* result)
{
    if (!mayShowDialog(securityOrigin))
        return false;
    QString text = defaultValue;
    if (!askForText(dialogOwner(), msg, text))
        return false;
    *result = text;
    return true;
}

void BrowserPage::onNewWindowRequested(QWebEngineNewWindowRequest& request)
{
    const QUrl url = request.requestedUrl();
    // A window for an address that may not load is not even asked for (an empty one may be
    // filled by the page's script later, through the new page's own navigation).
    if (!url.isEmpty() && !mayLoad(url))
        return;
    QWebEnginePage* target = nullptr;
    bool cancel = false;
    emit newWindow(urlText(url), target, cancel);
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
    // Left alone, the request is dropped: no window of its own opens, and the client URL action
    // "open" stays the one way out to the user's browser.
}

void BrowserPage::onLoadingChanged(const QWebEngineLoadingInfo& info)
{
    const auto status = info.status();
    if (status == QWebEngineLoadingInfo::LoadStartedStatus) {
        if (!m_offlineLoading.isEmpty()) {
            if (info.url().scheme() == QLatin1String("data"))
                return;
            // Another navigation came first: the offline page never shows.
            endOfflineLoad(false);
        }
        // Whatever loads now may take the offline page's place; until it ends, the page leaves
        // the server alone.
        m_loadPending = true;
        m_reconnect->stop();
        return;
    }
    m_loadPending = false;
    // The offline page's own load ends under the failed address, which it takes as its URL.
    if (!m_offlineLoading.isEmpty()) {
        endOfflineLoad(status == QWebEngineLoadingInfo::LoadSucceededStatus);
        return;
    }
    const bool failed = status == QWebEngineLoadingInfo::LoadFailedStatus;
    if (failed && isNetworkFailure(info.errorDomain(), info.errorCode()) && mayRetry(info.url())) {
        showOfflinePage(info.url());
        return;
    }
    // A page arrived (an HTTP error status brings the server's own page). Any other end leaves
    // the document before it in place, the offline page too, which goes on watching.
    if (status == QWebEngineLoadingInfo::LoadSucceededStatus ||
        (failed && info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain)) {
        m_offlineUrl.clear();
        m_reconnect->reset();
    } else {
        watchServer();
    }
    // A stopped load (a navigation cancelled before it began) completes nothing: the page
    // stays as it was.
    if (status == QWebEngineLoadingInfo::LoadSucceededStatus || failed)
        emit documentComplete(urlText(info.url()));
}

void BrowserPage::showOfflinePage(const QUrl& failedUrl)
{
    m_offlineUrl.clear();
    m_offlineLoading = failedUrl;
    // The failed address as the base keeps it as the page's URL, as the engine's error page did.
    setHtml(offlinePageHtml(failedUrl), failedUrl);
}

void BrowserPage::endOfflineLoad(bool shown)
{
    const QUrl failedUrl = std::exchange(m_offlineLoading, QUrl());
    if (shown) {
        m_offlineUrl = failedUrl;
        watchServer();
        emit offlinePageShown(urlText(failedUrl));
    }
    emit documentComplete(urlText(failedUrl));
}

void BrowserPage::watchServer()
{
    if (showingOfflinePage() && isVisible() && !m_loadPending)
        m_reconnect->watch(m_offlineUrl);
}

void BrowserPage::onServerReachable()
{
    if (showingOfflinePage())
        load(m_offlineUrl);
}

QString urlText(const QUrl& url)
{
    return url.toString(QUrl::FullyEncoded);
}

} // namespace quorvane
