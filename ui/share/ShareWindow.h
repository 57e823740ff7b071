#pragma once

#include <QString>
#include <QWidget>

namespace quorvane {

class BrowserMessageFilter;
class BrowserView;
class Session;

// The window in which every new browser window that the main window's web application asks for
// opens: in practice the microblog service's share page. It fits itself to the share page once
// that page has loaded, and reports a completed share to the application server.
//
// The client creates one, hidden, owned by the main window. Closing it destroys it; the client
// then creates a fresh one for the next new-window request.
class ShareWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShareWindow)

public:
    // Completed shares are reported through `session`; the window is placed over `owner`.
    explicit ShareWindow(Session& session, QWidget* owner = nullptr);
    ~ShareWindow() override;

    // The main window calls this each time it hands its page over as a new window: the next
    // share page to load fits the window.
    void expectSharePage();
    // Loads a share page the main window's page asked for, in a load of its own: the share page
    // gets no opener, so it cannot reach the page that asked for it.
    void openSharePage(const QString& url);
    bool sharePending() const { return m_sharePending; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    BrowserView* m_browser = nullptr;

    Session& m_session;
    void onDocumentComplete(const QString& url);
    void fitToShareType(const QString& shareType);
    void reportShare(const QString& shareType);

    BrowserMessageFilter* m_browserFilter = nullptr;
    bool m_sharePending = false;
    bool m_placed = false;
    // From the first fit on, the browser fills the window.
    bool m_browserFills = false;
};

} // namespace quorvane
