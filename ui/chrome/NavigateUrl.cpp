#include "ui/chrome/NavigateUrl.h"

#include "ui/chrome/BrowserView.h"

namespace quorvane {

void navigateUrl(BrowserView* view, const QString& url)
{
    if (view)
        view->navigate(url);
}

} // namespace quorvane
