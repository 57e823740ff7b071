#pragma once

#include <QByteArray>

namespace quorvane {

// Whether an X server answers at `display` (as DISPLAY names it): a connection is opened and
// closed again at once. False for an empty name or a server that refuses or is not there.
bool xServerReachable(const QByteArray& display);

} // namespace quorvane
