#include "tests/support/TrayHost.h"

#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QThread>
#include <X11/Xlib.h>

namespace quorvane {

namespace {

// Polls `condition` every 100 ms; false when the time is up first.
template <typename Condition> bool pollUntil(Condition condition, int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    return true;
}

} // namespace

TrayHost::~TrayHost()
{
    stop();
}

bool TrayHost::start(const QStringList& arguments)
{
    if (QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty()) {
        m_error = QStringLiteral("no tray host: install the package trayer (tools/install-deps)");
        return false;
    }
    if (!m_connection)
        m_connection = XOpenDisplay(nullptr);
    if (!m_connection) {
        m_error = QStringLiteral("cannot open the display ") + qEnvironmentVariable("DISPLAY");
        return false;
    }
    // A second try for a host that ended because an earlier one still held the tray.
    return startOnce(arguments) || startOnce(arguments);
}

bool TrayHost::startOnce(const QStringList& arguments)
{
    endProcess();
    m_process.setProgram(QStringLiteral("trayer"));
    m_process.setArguments(QStringList{QStringLiteral("--edge"), QStringLiteral("top"),
                                       QStringLiteral("--align"), QStringLiteral("right"),
                                       QStringLiteral("--widthtype"), QStringLiteral("request"),
                                       QStringLiteral("--height"), QStringLiteral("24")} +
                           arguments);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start();
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("trayer did not start: ") + m_process.errorString();
        return false;
    }
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        if (trayOwned())
            return true;
        if (m_process.waitForFinished(100)) // ended: it found the tray taken, or failed
            break;
    }
    m_error =
        QStringLiteral("the tray host did not take the tray: ") + QString::fromLocal8Bit(m_process.readAll());
    return false;
}

void TrayHost::stop()
{
    endProcess();
    // Closed here, before a test may end the X server under it.
    if (m_connection) {
        XCloseDisplay(m_connection);
        m_connection = nullptr;
    }
}

void TrayHost::endProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    pollUntil([this] { return !trayOwned(); }, 10000);
}

bool TrayHost::trayOwned() const
{
    if (!m_connection)
        return false;
    const Atom tray = XInternAtom(m_connection, "_NET_SYSTEM_TRAY_S0", False);
    return XGetSelectionOwner(m_connection, tray) != 0;
}

} // namespace quorvane
