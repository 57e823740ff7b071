#include "ui/chrome/NavigateUrl.h"

#include "ui/chrome/BrowserView.h"

void NavigateUrl(TBrowserView* view, const QString& url)
{
    if (view)
        view->Navigate(url);
}
