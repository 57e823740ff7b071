#pragma once

#include "platform/Failure.h"

#include <QString>

namespace quorvane {

// A request that never got an answer from the server: its name did not resolve, the connection
// was refused, broke or timed out, or no reply came in time. The message stays the technical one
// for the debug log; the user reads userMessage().
class ServerUnreachable final : public Failure
{
public:
    using Failure::Failure;

    static QString userMessage() { return QStringLiteral("无法连接服务器，请检查网络后再试!"); }
};

// A request cut short because nobody waits for its answer any more: its window closed, or the
// client ends. Nothing to tell the user.
class RequestCancelled final : public Failure
{
public:
    using Failure::Failure;
};

} // namespace quorvane
