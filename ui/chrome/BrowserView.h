#pragma once

#include <QWebEngineView>

namespace quorvane {

class BrowserPage;

// The embedded browser of a window: a view hosting a BrowserPage, whose events the window
// handles. The view itself is the window that the browser-message filter tests messages
// against; everything the engine puts inside it lies below it.
class BrowserView final : public QWebEngineView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserView)

public:
    explicit BrowserView(QWidget* parent = nullptr);
    ~BrowserView() override;

    BrowserPage* browserPage() const { return m_page; }
    // Loads the URL in this view with a plain GET, replacing the current page.
    void navigate(const QString& url);

private:
    BrowserPage* m_page;
};

} // namespace quorvane
