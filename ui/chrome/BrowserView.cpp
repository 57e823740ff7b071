#include "ui/chrome/BrowserView.h"

#include "ui/chrome/BrowserPage.h"

namespace quorvane {

BrowserView::BrowserView(QWidget* parent) : QWebEngineView(parent), m_page(new BrowserPage(this))
{
    setPage(m_page);
    // The engine's own menu (back, reload, view source) has no place in the client.
    setContextMenuPolicy(Qt::NoContextMenu);
}

BrowserView::~BrowserView() = default;

void BrowserView::navigate(const QString& url)
{
    m_page->navigate(url);
}

} // namespace quorvane
