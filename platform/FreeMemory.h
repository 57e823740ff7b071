#pragma once

namespace quorvane {

// Gives the memory the process has freed back to the system, where the allocator keeps it for
// later use otherwise: worth it once after a large part of the process's work has ended.
void returnFreedMemory();

} // namespace quorvane
