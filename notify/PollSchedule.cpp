#include "notify/PollSchedule.h"

TPollSchedule::TPollSchedule(uint32_t interval, uint32_t now)
    : checkSpacing_(uint64_t{VersionCheckMultiple} * interval), lastCheck_(now)
{
}

bool TPollSchedule::VersionCheckDue(uint32_t now) const
{
    if (declined_)
        return false;
    // Unsigned subtraction wraps like the tick count itself.
    const uint32_t elapsed = now - lastCheck_;
    return firstCycle_ || elapsed > checkSpacing_;
}

void TPollSchedule::VersionCheckStarted()
{
    firstCycle_ = false;
}

void TPollSchedule::VersionCheckEnded(uint32_t now)
{
    lastCheck_ = now;
}

void TPollSchedule::Decline()
{
    declined_ = true;
}
