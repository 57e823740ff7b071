#include "tests/support/TestApplication.h"

#include "platform/Failure.h"
#include "tests/support/TempProfile.h"
#include "ui/chrome/BrowserProfile.h"

#include <QApplication>
#include <QMutex>
#include <QMutexLocker>
#include <QTest>
#include <QWidget>
#include <cerrno>
#include <exception>
#include <gtest/gtest.h>
#include <memory>
#include <ranges>
#include <utility>
#include <vector>

namespace {

// Catches a failure that escapes an event handler as the client's application object does, and
// records its message. Events of other threads pass here too, hence the lock.
class TTestApplication final : public QApplication
{
public:
    TTestApplication(int& argc, char** argv) : QApplication(argc, argv) { setQuitOnLastWindowClosed(false); }

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const TFailure& failure) {
            Record(failure.Message());
        } catch (const std::exception& failure) {
            Record(QString::fromUtf8(failure.what()));
        }
        return true;
    }

    QStringList TakeFailures()
    {
        const QMutexLocker lock(&mutex_);
        return std::exchange(failures_, {});
    }

private:
    void Record(const QString& message)
    {
        const QMutexLocker lock(&mutex_);
        failures_ << message;
    }

    QMutex mutex_;
    QStringList failures_;
};

// A failure that escaped an event handler and that no test took fails the test it happened in.
// Listeners hear of a test's end before the result printer does, so the failure is printed with it.
class TEscapedFailureCheck final : public ::testing::EmptyTestEventListener
{
public:
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        for (const QString& message : TakeEscapedFailures())
            ADD_FAILURE() << "a failure escaped an event handler: " << message.toStdString();
    }
};

std::vector<TestAppSteps>& Steps()
{
    static std::vector<TestAppSteps> steps;
    return steps;
}

void Run(auto&& steps, std::function<void()> TestAppSteps::*step)
{
    for (const TestAppSteps& added : steps) {
        if (added.*step)
            (added.*step)();
    }
}

TTestApplication* app = nullptr;

class TApplicationEnvironment final : public ::testing::Environment
{
public:
    void SetUp() override
    {
        profile_ = std::make_unique<TempProfile>();
        Run(Steps(), &TestAppSteps::beforeApp);
        // The browser engine takes its schemes only before the application object exists.
        RegisterClientUrlScheme();
        qstrncpy(name_, program_invocation_short_name, sizeof(name_));
        app_ = std::make_unique<TTestApplication>(argc_, argv_);
        app = app_.get();
        check_ = new TEscapedFailureCheck;
        ::testing::UnitTest::GetInstance()->listeners().Append(check_);
        Run(Steps(), &TestAppSteps::afterApp);
    }

    void TearDown() override
    {
        Run(Steps() | std::views::reverse, &TestAppSteps::beforeAppGone);
        delete ::testing::UnitTest::GetInstance()->listeners().Release(check_);
        check_ = nullptr;
        app = nullptr;
        app_.reset();
        Run(Steps() | std::views::reverse, &TestAppSteps::afterAppGone);
        profile_.reset();
    }

private:
    int argc_ = 1;
    char name_[64] = {};
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<TempProfile> profile_;
    std::unique_ptr<TTestApplication> app_;
    TEscapedFailureCheck* check_ = nullptr;
};

} // namespace

// No test names this variable; every program that links the library is told to keep it
// (CMakeLists.txt), so that its environment is registered once, before the first test.
extern "C" {
extern const bool quorvane_test_app_environment;
const bool quorvane_test_app_environment =
    ::testing::AddGlobalTestEnvironment(new TApplicationEnvironment) != nullptr;
}

QApplication& TestApp()
{
    return *app;
}

QStringList TakeEscapedFailures()
{
    return app ? app->TakeFailures() : QStringList();
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    return QTest::qWaitFor(done, timeoutMs);
}

void RunEvents(int ms)
{
    QTest::qWait(ms);
}

bool ShowAndExpose(QWidget& widget)
{
    widget.show();
    return QTest::qWaitForWindowExposed(&widget, 20000);
}

bool AddTestAppSteps(TestAppSteps steps)
{
    Steps().push_back(std::move(steps));
    return true;
}
