// The application object of dialogs_window_tests, created before the first test.
#include "tests/ui/dialogs/WindowTestApp.h"

#include <gtest/gtest.h>

namespace {

class ApplicationEnvironment final : public ::testing::Environment
{
public:
    void SetUp() override { CreateTestApplication("dialogs_window_tests"); }
    void TearDown() override { DestroyTestApplication(); }
};

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace
