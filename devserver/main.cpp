// quorvane-demo-server: the application, download and share server the client talks to, on 127.0.0.1.

#include "devserver/DemoAccounts.h"
#include "devserver/DemoServer.h"
#include "devserver/DemoServerOptions.h"
#include "platform/Failure.h"

#include <QDir>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <pthread.h>

namespace quorvane {

namespace {

void print(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

void printBanner(const DemoServerOptions& options, int port, const QString& adminKey)
{
    QString text = QStringLiteral("quorvane-demo-server: listening on http://127.0.0.1:%1\n").arg(port);
    text += QStringLiteral("  application URL  http://127.0.0.1:%1/quorvane2\n").arg(port);
    text += QStringLiteral("  download URL     http://127.0.0.1:%1/res/download (version %2, %3)\n")
                .arg(QString::number(port), options.version,
                     options.packageFile.isEmpty() ? QStringLiteral("no package") : options.packageFile);
    text += QStringLiteral("  share hosts      %1\n").arg(options.shareHosts.join(QStringLiteral(", ")));
    text += QStringLiteral("  data folder      %1\n").arg(QDir(options.dataDir).absolutePath());
    text += QStringLiteral(
                "  admin key        %1 (/admin/requests?key=..., /admin/notify?key=...&userName=...)\n")
                .arg(adminKey);
    text += QStringLiteral("Demo accounts (unless changed in this data folder):\n");
    for (const DemoAccount& account : demoAccounts())
        text += QStringLiteral("  %1  %2  %3\n")
                    .arg(account.name, -22)
                    .arg(account.password, -10)
                    .arg(account.description);
    print(stdout, text);
}

// Waits for SIGINT or SIGTERM; also returns should the server stop on its own.
void waitForStopSignal(const sigset_t& stopSignals, const DemoServer& server)
{
    const timespec interval{1, 0};
    while (server.isRunning()) {
        if (sigtimedwait(&stopSignals, nullptr, &interval) > 0)
            return;
    }
}

} // namespace

static int programMain(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        print(stdout, demoServerUsage());
        return 0;
    }

    // The stop signals are taken by the main thread alone; the server threads inherit the blocked set.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        const DemoServerOptions options = parseDemoServerOptions(arguments);
        DemoServer server(options);
        const int port = server.start();
        printBanner(options, port, server.adminKey());
        waitForStopSignal(stopSignals, server);
        server.stop();
        print(stdout, QStringLiteral("quorvane-demo-server: stopped\n"));
        return 0;
    } catch (const Failure& failure) {
        print(stderr,
              QStringLiteral("quorvane-demo-server: %1\n\n%2").arg(failure.message(), demoServerUsage()));
        return 2;
    }
}

} // namespace quorvane

int main(int argc, char* argv[])
{
    return quorvane::programMain(argc, argv);
}
