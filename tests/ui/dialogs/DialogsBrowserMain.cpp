// The application object of dialogs_browser_tests, created before the first test, with the
// browser's storage in a profile of its own for the whole program.
#include "tests/support/TempProfile.h"
#include "tests/ui/dialogs/WindowTestApp.h"
#include "ui/chrome/BrowserProfile.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

class ApplicationEnvironment final : public ::testing::Environment
{
public:
    void SetUp() override
    {
        profile_ = std::make_unique<TempProfile>();
        RegisterClientUrlScheme();
        CreateTestApplication("dialogs_browser_tests");
        BrowserProfile();
    }

    void TearDown() override
    {
        DestroyTestApplication();
        profile_.reset();
    }

private:
    std::unique_ptr<TempProfile> profile_;
};

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace
