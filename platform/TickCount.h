#pragma once

#include <cstdint>

// Milliseconds since the system started, wrapping around at 2^32 like the Windows tick counter.
uint32_t getTickCount32();
