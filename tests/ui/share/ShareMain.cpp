// The application object of share_window_tests and the servers it reaches, created before the
// first test. The share hosts are routed by the browser engine's host resolver rules, which it
// reads once, when it starts.
#include "devserver/DemoServer.h"
#include "devserver/DemoServerOptions.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempProfile.h"
#include "tests/ui/dialogs/WindowTestApp.h"
#include "tests/ui/share/ShareServers.h"
#include "ui/chrome/BrowserProfile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

std::unique_ptr<LoopbackServer> loopback;
std::unique_ptr<TDemoServer> demo;
int demoPort = 0;

class ApplicationEnvironment final : public ::testing::Environment
{
public:
    void SetUp() override
    {
        profile_ = std::make_unique<TempProfile>();
        loopback = std::make_unique<LoopbackServer>();
        demo = std::make_unique<TDemoServer>(ParseDemoServerOptions(
            {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--data"), demoData_.path()}));
        demoPort = demo->Start();

        // Quoted, so that the rule with its blanks stays one argument.
        const QByteArray rules = QStringLiteral("\"--host-resolver-rules=MAP service.weibo.com 127.0.0.1:%1, "
                                                "MAP v.t.sina.com.cn 127.0.0.1:%2\"")
                                     .arg(loopback->Port())
                                     .arg(demoPort)
                                     .toLatin1();
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", rules + ' ' + qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"));

        RegisterClientUrlScheme();
        CreateTestApplication("share_window_tests");
        BrowserProfile();
    }

    void TearDown() override
    {
        DestroyTestApplication();
        demo.reset();
        loopback.reset();
        profile_.reset();
    }

private:
    QTemporaryDir demoData_;
    std::unique_ptr<TempProfile> profile_;
};

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace

LoopbackServer& ShareHostServer()
{
    return *loopback;
}

QString DemoServerUrl()
{
    return QStringLiteral("http://127.0.0.1:%1").arg(demoPort);
}
