#pragma once

#include <QString>

namespace quorvane {

// The addresses of the microblog service's pages, recognised at the start of a completed
// document's URL with exact letter case: "http://" + a share host + "/share/share.php" for the
// share page and "/share/success.php" for the page shown once a share is done.
bool isSharePage(const QString& url);
bool isSuccessPage(const QString& url);

// The share page's own "shareType"; empty when the URL has none.
QString getShareType(const QString& url);

// The "shareType" of the shared address: the success page's "urlpara" is that address,
// percent-encoded, and carries the type in its own query. Empty when either is missing.
QString getSharedType(const QString& url);

} // namespace quorvane
