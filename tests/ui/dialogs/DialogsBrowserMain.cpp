// The browser of dialogs_browser_tests keeps its storage in the run's profile, not in that of the
// test that opens it first.
#include "tests/support/TestApplication.h"
#include "ui/chrome/BrowserProfile.h"

namespace quorvane {

namespace {

[[maybe_unused]] const bool runSteps = addTestAppSteps({.afterApp = [] { browserProfile(); }});

} // namespace

} // namespace quorvane
