#include "tests/notify/NotifyTestApp.h"

#include "tests/support/TempProfile.h"
#include "ui/chrome/BrowserProfile.h"

#include <QApplication>
#include <QTest>
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
        app_ = std::make_unique<QApplication>(argc_, argv_);
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void TearDown() override
    {
        app_.reset();
        profile_.reset();
    }

private:
    int argc_ = 1;
    char name_[16] = "notify_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<TempProfile> profile_;
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace

QApplication& TestApp()
{
    return *qApp;
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    return QTest::qWaitFor(done, timeoutMs);
}

void RunEvents(int ms)
{
    QTest::qWait(ms);
}
