#pragma once

#include <QString>

namespace quorvane {

class BrowserView;

// Opens the URL in the given browser view with a plain GET, replacing its page. Navigation
// errors are the view's own business.
void navigateUrl(BrowserView* view, const QString& url);

} // namespace quorvane
