#pragma once

#include <QUrl>

namespace quorvane {

// Pages of the application server are the client's own; every other page (a third-party frame,
// a site a link led to) is a stranger that may not drive the client's actions or its dialogs.

// Whether `url` has the origin (scheme, host and port) of the configured application server.
bool isApplicationOrigin(const QUrl& url);

// Where a page's request for a new window goes.
enum class NewWindowRoute
{
    ShareWindow,    // the microblog's share hosts: the share window, loaded afresh
    DefaultBrowser, // any other http or https address: the user's browser
    Drop,           // anything else (no address, a local file, another scheme)
};

NewWindowRoute routeNewWindow(const QUrl& url);

} // namespace quorvane
