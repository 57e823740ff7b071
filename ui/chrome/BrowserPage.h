#pragma once

#include <QString>
#include <QWebEnginePage>

class QWebEngineLoadingInfo;
class QWebEngineNewWindowRequest;

namespace quorvane {

// A web page of the client's shared browser profile that reports what the windows need to
// know, on the user-interface thread and without any user interface of its own.
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

signals:
    // Before every navigation of the page or one of its frames, whoever started it: the
    // client, a link, a script or a form. Setting `cancel` stops it and the page stays as it
    // was. `mainFrame` is false for a navigation of a frame inside the page.
    void beforeNavigate(const QString& url, bool& cancel, bool mainFrame);
    // A page asks for a new browser window. A handler may hand back another page in `target`:
    // the requested page then loads there, even while that page's view is hidden. Setting
    // `cancel` or handing back nothing drops the request.
    void newWindow(const QString& url, QWebEnginePage*& target, bool& cancel);
    // A document has finished loading: once for each frame and once for the top page, with the
    // completed document's URL. A page that failed to load completes with its own URL too,
    // showing the engine's error page.
    void documentComplete(const QString& url);

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
};

// The URL as text, in the encoded form the engine navigates to.
QString urlText(const QUrl& url);

} // namespace quorvane
