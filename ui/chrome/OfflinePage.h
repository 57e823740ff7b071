#pragma once

#include <QString>
#include <QWebEngineLoadingInfo>

class QUrl;

namespace quorvane {

// Whether a load that failed with this error got no answer from the server at all: the
// connection was refused, reset or timed out, the name did not resolve, the network changed.
// The client's offline page stands in for such a failure; an HTTP error status is the server's
// own answer and keeps the server's page.
bool isNetworkFailure(QWebEngineLoadingInfo::ErrorDomain domain, int errorCode);

// Only web addresses are loaded again, by the offline page's retry link or by the page itself
// once the server answers.
bool mayRetry(const QUrl& url);

// The client's own page for an address that could not be reached, in the client's language and
// colours: what happened, the address, and a retry link to it if it may be retried. The page is
// plain HTML without scripts, and the address, which a hostile page may have chosen, is escaped.
QString offlinePageHtml(const QUrl& failedUrl);

} // namespace quorvane
