#include "platform/TickCount.h"

#include <ctime>

namespace quorvane {

uint32_t getTickCount32()
{
    // CLOCK_BOOTTIME goes on while the machine sleeps, as the Windows tick counter does: the
    // milliseconds since sign-in that the client reports must include a suspend.
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const uint64_t ms =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

} // namespace quorvane
