#pragma once

#include <cstdint>

namespace quorvane {

// Milliseconds since the system started, time asleep included, wrapping around at 2^32 like the
// Windows tick counter.
uint32_t getTickCount32();

} // namespace quorvane
