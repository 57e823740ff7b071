#include "ui/chrome/BrowserPage.h"

#include "ui/chrome/BrowserProfile.h"
#include "ui/chrome/MessageBox.h"
#include "ui/chrome/PageOrigin.h"
#include "ui/chrome/PromptDialog.h"

#include <QDebug>
#include <QWebEngineView>

#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>

namespace quorvane {

BrowserPage::BrowserPage(QObject* parent) : QWebEnginePage(browserProfile(), parent)
{
    connect(this, &QWebEnginePage::newWindowRequested, this, &BrowserPage::onNewWindowRequested);
    connect(this, &QWebEnginePage::loadingChanged, this, &BrowserPage::onLoadingChanged);
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

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame)
{
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
    // A stopped load (a navigation cancelled before it began) completes nothing: the page
    // stays as it was. A failed one completes with the engine's error page.
    if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus ||
        info.status() == QWebEngineLoadingInfo::LoadFailedStatus)
        emit documentComplete(urlText(info.url()));
}

QString urlText(const QUrl& url)
{
    return url.toString(QUrl::FullyEncoded);
}

} // namespace quorvane
