#pragma once

namespace quorvane {

class InstanceLock;

// The name of the client's per-user lock, which is also the executable's name.
inline constexpr const char* kInstanceName = "quorvane_client.exe";

// True when this process goes on to run the client. False when another client runs (it has
// been asked to show its main window) or when the updater has been started.
bool checkInstance(InstanceLock& lock);

} // namespace quorvane
