#pragma once

#include <cstdint>

namespace quorvane {

// When the polling thread asks the download server for a newer client: on its first cycle, then
// on the first cycle on which more than VersionCheckMultiple intervals have passed since the
// previous check ended, and never again in this run once the user has declined an update.
// Times are tick counts that wrap around at 2^32; the elapsed time is taken modulo 2^32.
class PollSchedule final
{
public:
    static constexpr uint32_t VersionCheckMultiple = 10;

    PollSchedule(uint32_t interval, uint32_t now);

    bool versionCheckDue(uint32_t now) const;
    // A check begins: the first cycle is over.
    void versionCheckStarted();
    // A check has ended, whether or not it found a newer version.
    void versionCheckEnded(uint32_t now);
    // The user said No to an update: no further checks.
    void decline();

    bool declined() const { return m_declined; }
    bool firstCycle() const { return m_firstCycle; }
    uint32_t lastCheck() const { return m_lastCheck; }

private:
    uint64_t m_checkSpacing;
    uint32_t m_lastCheck;
    bool m_declined = false;
    bool m_firstCycle = true;
};

} // namespace quorvane
