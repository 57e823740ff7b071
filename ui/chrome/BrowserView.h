#pragma once

#include <QWebEngineView>

class TBrowserPage;

// The embedded browser of a window: a view hosting a TBrowserPage, whose events the window
// handles. The view itself is the window that the browser-message filter tests messages
// against; everything the engine puts inside it lies below it.
class TBrowserView final : public QWebEngineView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TBrowserView)

public:
    explicit TBrowserView(QWidget* parent = nullptr);
    ~TBrowserView() override;

    TBrowserPage* browserPage() const { return m_page; }
    // Loads the URL in this view with a plain GET, replacing the current page.
    void navigate(const QString& url);

private:
    TBrowserPage* m_page;
};
