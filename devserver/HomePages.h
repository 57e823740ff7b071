#pragma once

#include "devserver/HousePrices.h"
#include "devserver/SiteLinks.h"

#include <QString>

namespace quorvane {

// The signed-in pages of the web application that the client's main window shows.
namespace HomePages {

// The start page: the prices of the communities the user follows, with links that hide the
// client, open a market report in the default browser, and share on the microblog service.
QString renderHome(const SiteLinks& links, const QString& userName, bool certified);

// One community: its price over the last twelve months.
QString renderDetail(const SiteLinks& links, const QString& userName, bool certified,
                     const HouseListing& listing);

} // namespace HomePages

} // namespace quorvane
