#pragma once

#include <QString>

namespace quorvane {

// The microblog service's share page and success page, as the demo plays that service. The share
// page's "shareType" decides the size of the client's share window; the success page's "urlpara"
// carries the shared address with its "shareType", which the client reports to the application server.
namespace SharePages {

// "/share/share.php?url=U&title=T&shareType=N". Type "3" shares with a picture of the price chart.
QString renderShare(const QString& url, const QString& title, const QString& shareType);

// "/share/success.php?urlpara=P&content=C".
QString renderSuccess(const QString& sharedAddress);

// The value the share form sends as "urlpara": the shared address, carrying the share type.
QString sharedAddress(const QString& url, const QString& shareType);

} // namespace SharePages

} // namespace quorvane
