#pragma once

#include "devserver/SiteLinks.h"

#include <QString>
#include <optional>

namespace quorvane {

// The pages the notification pop-up shows ("/information/message?id=N"). Their links bring the
// client's main window to a page ("vemtraclient://show/") or open the default browser.
namespace NotificationPages {

// Nothing for an unknown id.
std::optional<QString> render(const SiteLinks& links, int id);

} // namespace NotificationPages

} // namespace quorvane
