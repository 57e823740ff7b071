// The bench build of the client. Everything is the client unchanged, but for what the bench sets
// through the environment:
//   QUORVANE_BENCH_POLL_MS     polls every that many milliseconds instead of every two minutes,
//                              so that the cost of one poll can be measured in a short run;
//   QUORVANE_BENCH_DISCARD_MS  the hidden main window's page is discarded after that many
//                              milliseconds instead of an hour.
// It shows no notification: the pop-up pauses polling while it is up (two minutes for the welcome
// notice of every sign-in), so a bench that showed it would measure no polls at all. SIGUSR1 hides
// the main window to the tray and SIGUSR2 brings it back, as the title bar's minimise button and
// the tray icon do, so that the bench can time them from outside.

#include "app/Client.h"
#include "app/StartUp.h"

#include <QSocketNotifier>
#include <QtGlobal>

#include <chrono>
#include <csignal>
#include <unistd.h>

using namespace quorvane;

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int number)
{
    const char byte = number == SIGUSR1 ? 'h' : 's';
    (void)!write(signalPipe[1], &byte, 1);
}

// Hides or shows the main window when the bench signals it.
void listenToTheBench(Client& client)
{
    if (pipe(signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &client);
    QObject::connect(notifier, &QSocketNotifier::activated, &client, [&client] {
        char byte = 0;
        if (read(signalPipe[0], &byte, 1) != 1)
            return;
        if (byte == 'h')
            client.mainWindow().hideToTray();
        else
            client.showClient();
    });
    std::signal(SIGUSR1, onSignal);
    std::signal(SIGUSR2, onSignal);
}

uint environmentNumber(const char* name)
{
    bool ok = false;
    const uint value = qEnvironmentVariable(name).toUInt(&ok);
    return ok ? value : 0;
}

} // namespace

int main(int argc, char** argv)
{
    ClientOptions options;
    if (const uint interval = environmentNumber("QUORVANE_BENCH_POLL_MS"))
        options.poller.interval = interval;
    if (const uint discard = environmentNumber("QUORVANE_BENCH_DISCARD_MS"))
        options.hiddenPageDiscardDelay = std::chrono::milliseconds(discard);
    options.showNotifications = false;
    options.created = listenToTheBench;
    return runClientProgram(argc, argv, options);
}
