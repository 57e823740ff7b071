#include "ui/chrome/BrowserPage.h"

#include "ui/chrome/BrowserProfile.h"
#include "ui/chrome/MessageBox.h"
#include "ui/chrome/PageOrigin.h"
#include "ui/chrome/PromptDialog.h"

#include <QDebug>
#include <QWebEngineView>

#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>

TBrowserPage::TBrowserPage(QObject* parent) : QWebEnginePage(browserProfile(), parent)
{
    connect(this, &QWebEnginePage::newWindowRequested, this, &TBrowserPage::onNewWindowRequested);
    connect(this, &QWebEnginePage::loadingChanged, this, &TBrowserPage::onLoadingChanged);
}

TBrowserPage::~TBrowserPage() = default;

bool TBrowserPage::mayLoad(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("about") || scheme == QLatin1String(clientUrlScheme());
}

void TBrowserPage::navigate(const QString& url)
{
    QUrl target(url);
    if (target.scheme().isEmpty())
        target = QUrl::fromUserInput(url);
    load(target);
}

bool TBrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame)
{
    bool cancel = false;
    emit beforeNavigate(urlText(url), cancel, isMainFrame);
    // Whatever the windows decided, a page never opens a local file, a network share or a
    // program of the desktop.
    return !cancel && mayLoad(url);
}

void TBrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                            int lineNumber, const QString& sourceId)
{
    if (message.startsWith(frameCompleteMarker())) {
        emit documentComplete(message.mid(frameCompleteMarker().size()));
        return;
    }
    QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceId);
}

bool TBrowserPage::mayShowDialog(const QUrl& securityOrigin) const
{
    if (isApplicationOrigin(securityOrigin))
        return true;
    qWarning().noquote() << "JavaScript dialog of" << securityOrigin.toString() << "suppressed";
    return false;
}

QWidget* TBrowserPage::dialogOwner() const
{
    QWidget* view = QWebEngineView::forPage(this);
    return view ? view->window() : nullptr;
}

void TBrowserPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    if (mayShowDialog(securityOrigin))
        TMessageBox::show(dialogOwner(), QStringLiteral("Quorvane"), msg, QMessageBox::Ok,
                          QMessageBox::Information);
}

bool TBrowserPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg)
{
    return mayShowDialog(securityOrigin) &&
           TMessageBox::show(dialogOwner(), QStringLiteral("Quorvane"), msg,
                             QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Question) == QMessageBox::Ok;
}

bool TBrowserPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
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

void TBrowserPage::onNewWindowRequested(QWebEngineNewWindowRequest& request)
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

void TBrowserPage::onLoadingChanged(const QWebEngineLoadingInfo& info)
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
