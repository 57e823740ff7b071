#pragma once

namespace quorvane {

// Windows ask the server off the user-interface thread: a test that clicks a button which sends
// a request waits with this before it looks at the answer. Runs the event loop until no window's
// request runs any more (its answer has been read by then); false after `timeoutMs`.
bool waitForWindowRequests(int timeoutMs = 20000);

} // namespace quorvane
