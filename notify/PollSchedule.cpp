#include "notify/PollSchedule.h"

namespace quorvane {

PollSchedule::PollSchedule(uint32_t interval, uint32_t now)
    : m_checkSpacing(uint64_t{VersionCheckMultiple} * interval), m_lastCheck(now)
{
}

bool PollSchedule::versionCheckDue(uint32_t now) const
{
    if (m_declined)
        return false;
    // Unsigned subtraction wraps like the tick count itself.
    const uint32_t elapsed = now - m_lastCheck;
    return m_firstCycle || elapsed > m_checkSpacing;
}

void PollSchedule::versionCheckStarted()
{
    m_firstCycle = false;
}

void PollSchedule::versionCheckEnded(uint32_t now)
{
    m_lastCheck = now;
}

void PollSchedule::decline()
{
    m_declined = true;
}

} // namespace quorvane
