#pragma once

#include <QString>

class TBrowserView;

// Opens the URL in the given browser view with a plain GET, replacing its page. Navigation
// errors are the view's own business.
void NavigateUrl(TBrowserView* view, const QString& url);
