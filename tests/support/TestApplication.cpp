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

namespace quorvane {

namespace {

// Catches a failure that escapes an event handler as the client's application object does, and
// records its message. Events of other threads pass here too, hence the lock.
class TestApplication final : public QApplication
{
public:
    TestApplication(int& argc, char** argv) : QApplication(argc, argv) { setQuitOnLastWindowClosed(false); }

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const Failure& failure) {
            record(failure.message());
        } catch (const std::exception& failure) {
            record(QString::fromUtf8(failure.what()));
        }
        return true;
    }

    QStringList takeFailures()
    {
        const QMutexLocker lock(&m_mutex);
        return std::exchange(m_failures, {});
    }

private:
    void record(const QString& message)
    {
        const QMutexLocker lock(&m_mutex);
        m_failures << message;
    }

    QMutex m_mutex;
    QStringList m_failures;
};

// A failure that escaped an event handler and that no test took fails the test it happened in.
// Listeners hear of a test's end before the result printer does, so the failure is printed with it.
class EscapedFailureCheck final : public ::testing::EmptyTestEventListener
{
public:
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        for (const QString& message : takeEscapedFailures())
            ADD_FAILURE() << "a failure escaped an event handler: " << message.toStdString();
    }
};

std::vector<TestAppSteps>& registeredSteps()
{
    static std::vector<TestAppSteps> steps;
    return steps;
}

void run(auto&& steps, std::function<void()> TestAppSteps::*step)
{
    for (const TestAppSteps& added : steps) {
        if (added.*step)
            (added.*step)();
    }
}

TestApplication* app = nullptr;

class ApplicationEnvironment final : public ::testing::Environment
{
public:
    void SetUp() override
    {
        m_profile = std::make_unique<TempProfile>();
        run(registeredSteps(), &TestAppSteps::beforeApp);
        // The browser engine takes its schemes only before the application object exists.
        registerClientUrlScheme();
        qstrncpy(m_name, program_invocation_short_name, sizeof(m_name));
        m_app = std::make_unique<TestApplication>(m_argc, m_argv);
        app = m_app.get();
        m_check = new EscapedFailureCheck;
        ::testing::UnitTest::GetInstance()->listeners().Append(m_check);
        run(registeredSteps(), &TestAppSteps::afterApp);
    }

    void TearDown() override
    {
        run(registeredSteps() | std::views::reverse, &TestAppSteps::beforeAppGone);
        delete ::testing::UnitTest::GetInstance()->listeners().Release(m_check);
        m_check = nullptr;
        app = nullptr;
        m_app.reset();
        run(registeredSteps() | std::views::reverse, &TestAppSteps::afterAppGone);
        m_profile.reset();
    }

private:
    int m_argc = 1;
    char m_name[64] = {};
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<TempProfile> m_profile;
    std::unique_ptr<TestApplication> m_app;
    EscapedFailureCheck* m_check = nullptr;
};

} // namespace

// No test names this variable; every program that links the library is told to keep it
// (CMakeLists.txt), so that its environment is registered once, before the first test.
extern "C" {
extern const bool quorvane_test_app_environment;
const bool quorvane_test_app_environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment) != nullptr;
}

QApplication& testApp()
{
    return *app;
}

QStringList takeEscapedFailures()
{
    return app ? app->takeFailures() : QStringList();
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    return QTest::qWaitFor(done, timeoutMs);
}

void runEvents(int ms)
{
    QTest::qWait(ms);
}

bool showAndExpose(QWidget& widget)
{
    widget.show();
    return QTest::qWaitForWindowExposed(&widget, 20000);
}

bool addTestAppSteps(TestAppSteps steps)
{
    registeredSteps().push_back(std::move(steps));
    return true;
}

} // namespace quorvane
