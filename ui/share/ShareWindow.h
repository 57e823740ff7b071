#pragma once

#include <QString>
#include <QWidget>

class BrowserMessageFilter;
class BrowserView;

// The window in which every new browser window that the main window's web application asks for
// opens: in practice the microblog service's share page. It fits itself to the share page once
// that page has loaded, and reports a completed share to the application server.
//
// The start-up sequence creates one, hidden. Closing it destroys it and empties frmBrowser; the
// main window then creates a fresh one, owned by itself, for its next new-window request.
class ShareWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShareWindow)

public:
    explicit ShareWindow(QWidget* owner = nullptr);
    ~ShareWindow() override;

    // The main window calls this each time it hands WebBrowser1's page over as a new window:
    // the next share page to load fits the window.
    void expectSharePage();
    bool sharePending() const { return m_sharePending; }

    BrowserView* webBrowser1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void webBrowser1DocumentComplete(const QString& url);
    void fitToShareType(const QString& shareType);
    void reportShare(const QString& shareType);

    BrowserMessageFilter* m_applicationEvents1 = nullptr;
    bool m_sharePending = false;
    bool m_placed = false;
    // From the first fit on, the browser fills the window.
    bool m_browserFills = false;
};

// The share window while it exists; empty before the start-up sequence creates it and after it
// has been closed.
extern ShareWindow* frmBrowser;
