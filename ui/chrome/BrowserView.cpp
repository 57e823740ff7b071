#include "ui/chrome/BrowserView.h"

#include "ui/chrome/BrowserPage.h"

TBrowserView::TBrowserView(QWidget* parent) : QWebEngineView(parent), m_page(new TBrowserPage(this))
{
    setPage(m_page);
    // The engine's own menu (back, reload, view source) has no place in the client.
    setContextMenuPolicy(Qt::NoContextMenu);
}

TBrowserView::~TBrowserView() = default;

void TBrowserView::navigate(const QString& url)
{
    m_page->navigate(url);
}
