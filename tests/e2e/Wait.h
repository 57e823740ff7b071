#pragma once

#include <functional>

namespace quorvane {

// Polls `condition` every `pollMs` until it holds or `timeoutMs` have passed; true when it held.
// The limits are generous ceilings for a loaded machine, never a measure of speed.
bool waitFor(const std::function<bool()>& condition, int timeoutMs, int pollMs = 100);

// Ceilings for the waits of the end-to-end tests: the first window of a client (the browser
// engine starts), and any later reaction to a click or a key.
inline constexpr int kStartTimeoutMs = 90000;
inline constexpr int kActionTimeoutMs = 45000;

} // namespace quorvane
