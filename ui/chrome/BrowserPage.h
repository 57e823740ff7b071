#pragma once

#include <QString>
#include <QUrl>
#include <QWebEnginePage>

class QWebEngineLoadingInfo;
class QWebEngineNewWindowRequest;

namespace quorvane {

class ReconnectWatch;

// A web page of the client's shared browser profile that reports what the windows need to
// know, on the user-interface thread and without any user interface of its own.
//
// When the top page cannot be loaded because the server gives no answer at all (down, name not
// resolved, connection refused or timed out, network changed), the page shows the client's own
// offline page instead of the engine's error page: a retry link to the address, and while it
// shows and is visible, the page tries the server now and then and loads the address again once
// it answers. An HTTP error status is an answer: the server's own page shows.
class BrowserPage final : public QWebEnginePage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserPage)

public:
    explicit BrowserPage(QObject* parent = nullptr);
    ~BrowserPage() override;

    // Loads the URL in this page with a plain GET, replacing the current page.
    void navigate(const QString& url);

    // Only http, https, about and the client's own scheme ever load, in the page or any of its
    // frames; every other navigation is refused after the before-navigate event, and nothing is
    // handed to the desktop.
    static bool mayLoad(const QUrl& url);

    // Whether the offline page shows, and for which address (empty if it does not).
    bool showingOfflinePage() const { return !m_offlineUrl.isEmpty(); }
    QString offlineUrl() const;

signals:
    // Before every navigation of the page or one of its frames, whoever started it: the
    // client, a link, a script or a form. Setting `cancel` stops it and the page stays as it
    // was. `mainFrame` is false for a navigation of a frame inside the page. Putting the offline
    // page in place is no navigation of the page's own and is not announced; its retry link and
    // the reload once the server answers are, with the failed address.
    void beforeNavigate(const QString& url, bool& cancel, bool mainFrame);
    // A page asks for a new browser window. A handler may hand back another page in `target`:
    // the requested page then loads there, even while that page's view is hidden. Setting
    // `cancel` or handing back nothing drops the request.
    void newWindow(const QString& url, QWebEnginePage*& target, bool& cancel);
    // A document has finished loading: once for each frame and once for the top page, with the
    // completed document's URL. A page that failed to load completes with its own URL too: with
    // the server's page for an HTTP error status; once the offline page shows in its place if the
    // server gave no answer (the page's URL stays the failed one); otherwise with the document
    // before it left in place.
    void documentComplete(const QString& url);
    // The offline page shows for `failedUrl`, just before that address's documentComplete.
    void offlinePageShown(const QString& failedUrl);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                  const QString& sourceId) override;
    // Alerts, confirmations and prompts of the application server's pages use the client's own
    // boxes (title "Quorvane", plain text); any other page's are suppressed (a confirmation or
    // prompt answers Cancel), so no page can loop dialogs at the user.
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                          QString* result) override;

private:
    bool mayShowDialog(const QUrl& securityOrigin) const;
    QWidget* dialogOwner() const;
    void onNewWindowRequested(QWebEngineNewWindowRequest& request);
    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    void showOfflinePage(const QUrl& failedUrl);
    void endOfflineLoad(bool shown);
    void watchServer();
    void onServerReachable();

    ReconnectWatch* m_reconnect;
    // The failed address whose offline page is being put in place, then the one whose page shows.
    QUrl m_offlineLoading;
    QUrl m_offlineUrl;
    bool m_loadPending = false;
};

// The URL as text, in the encoded form the engine navigates to.
QString urlText(const QUrl& url);

} // namespace quorvane
