#pragma once

#include <QString>

namespace quorvane {

// The general reply record of a server operation; also carries a notification of the poll.
struct Reply
{
    bool success = false; // the reply's code text was exactly "0"
    QString msg;
    QString token; // registration
    QString url;   // full URL of a notification page, or "0"
    int width = 0; // notification window size in pixels
    int height = 0;
    int titleHeight = 0;
};

} // namespace quorvane
