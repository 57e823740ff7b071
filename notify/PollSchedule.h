#pragma once

#include <cstdint>

// When the polling thread asks the download server for a newer client: on its first cycle, then
// on the first cycle on which more than VersionCheckMultiple intervals have passed since the
// previous check ended, and never again in this run once the user has declined an update.
// Times are tick counts that wrap around at 2^32; the elapsed time is taken modulo 2^32.
class TPollSchedule final
{
public:
    static constexpr uint32_t VersionCheckMultiple = 10;

    TPollSchedule(uint32_t interval, uint32_t now);

    bool VersionCheckDue(uint32_t now) const;
    // A check begins: the first cycle is over.
    void VersionCheckStarted();
    // A check has ended, whether or not it found a newer version.
    void VersionCheckEnded(uint32_t now);
    // The user said No to an update: no further checks.
    void Decline();

    bool Declined() const { return declined_; }
    bool FirstCycle() const { return firstCycle_; }
    uint32_t LastCheck() const { return lastCheck_; }

private:
    uint64_t checkSpacing_;
    uint32_t lastCheck_;
    bool declined_ = false;
    bool firstCycle_ = true;
};
