#include "platform/TickCount.h"

#include <gtest/gtest.h>

#include <ctime>

namespace quorvane {

namespace {

uint32_t clockMs(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

// The tick count follows the clock that goes on while the machine sleeps (on a machine that has
// never slept the monotonic clock would agree too, so the reading is bracketed by the boot clock).
TEST(TickCount, CountsTheBootClockTimeAsleepIncluded)
{
    const uint32_t before = clockMs(CLOCK_BOOTTIME);
    const uint32_t tick = getTickCount32();
    const uint32_t after = clockMs(CLOCK_BOOTTIME);
    // Unsigned differences, so that a wrap of the 32-bit counter in between changes nothing.
    EXPECT_LE(tick - before, after - before);
}

} // namespace

} // namespace quorvane
