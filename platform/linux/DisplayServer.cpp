#include "platform/DisplayServer.h"

#include <xcb/xcb.h>

namespace quorvane {

bool xServerReachable(const QByteArray& display)
{
    if (display.isEmpty())
        return false;
    // A connection that fails still has to be freed; authorisation is checked as part of it.
    xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable;
}

} // namespace quorvane
