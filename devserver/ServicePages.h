#pragma once

#include "devserver/SiteLinks.h"

#include <QString>

namespace quorvane {

// The service's smaller pages: the public market report, and the feedback form the client's
// feedback window shows.
namespace ServicePages {

// The market report of one district; the client opens it in the default browser.
QString renderReport(const SiteLinks& links, const QString& districtCode, const QString& districtName);

// The feedback form. It sends userName, token and content (UTF-8) to "saveOpinion".
QString renderOpinion(const QString& userName, const QString& token);

QString renderOpinionThanks(const SiteLinks& links, const QString& userName, const QString& token);

} // namespace ServicePages

} // namespace quorvane
