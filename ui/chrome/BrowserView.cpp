#include "ui/chrome/BrowserView.h"

#include "ui/chrome/BrowserPage.h"

TBrowserView::TBrowserView(QWidget* parent) : QWebEngineView(parent), page_(new TBrowserPage(this))
{
    setPage(page_);
    // The engine's own menu (back, reload, view source) has no place in the client.
    setContextMenuPolicy(Qt::NoContextMenu);
}

TBrowserView::~TBrowserView() = default;

void TBrowserView::Navigate(const QString& url)
{
    page_->Navigate(url);
}
