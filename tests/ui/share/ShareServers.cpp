// The servers of share_window_tests, started before the application object. The share hosts are
// routed by the browser engine's host resolver rules, which it reads once, when it starts.
#include "tests/ui/share/ShareServers.h"

#include "devserver/DemoServer.h"
#include "devserver/DemoServerOptions.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TestApplication.h"
#include "ui/chrome/BrowserProfile.h"

#include <QTemporaryDir>
#include <memory>

namespace quorvane {

namespace {

std::unique_ptr<QTemporaryDir> demoData;
std::unique_ptr<LoopbackServer> loopback;
std::unique_ptr<DemoServer> demo;
int demoPort = 0;

void startServers()
{
    demoData = std::make_unique<QTemporaryDir>();
    loopback = std::make_unique<LoopbackServer>();
    demo = std::make_unique<DemoServer>(parseDemoServerOptions(
        {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--data"), demoData->path()}));
    demoPort = demo->start();

    // Quoted, so that the rule with its blanks stays one argument.
    const QByteArray rules = QStringLiteral("\"--host-resolver-rules=MAP service.weibo.com 127.0.0.1:%1, "
                                            "MAP v.t.sina.com.cn 127.0.0.1:%2\"")
                                 .arg(loopback->port())
                                 .arg(demoPort)
                                 .toLatin1();
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", rules + ' ' + qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"));
}

void stopServers()
{
    demo.reset();
    loopback.reset();
    demoData.reset();
}

// The browser keeps its storage in the run's profile, not in that of the test that opens it first.
[[maybe_unused]] const bool runSteps = addTestAppSteps(
    {.beforeApp = startServers, .afterApp = [] { browserProfile(); }, .afterAppGone = stopServers});

} // namespace

LoopbackServer& shareHostServer()
{
    return *loopback;
}

QString demoServerUrl()
{
    return QStringLiteral("http://127.0.0.1:%1").arg(demoPort);
}

QString demoServerAdminKey()
{
    return demo->adminKey();
}

} // namespace quorvane
