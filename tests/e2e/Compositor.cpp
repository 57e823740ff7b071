#include "tests/e2e/Compositor.h"

#include "tests/e2e/ClientProgram.h"
#include "tests/e2e/Wait.h"
#include "tests/e2e/XServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace quorvane {

namespace {

// The environment of the session's own programs: nothing of the caller's desktop, or weston
// would show itself there instead of headless.
QProcessEnvironment sessionEnvironment(const QString& runtimeDir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    for (const char* name : {"WAYLAND_DISPLAY", "DISPLAY", "WAYLAND_SOCKET"})
        env.remove(QLatin1String(name));
    return env;
}

} // namespace

Compositor::~Compositor()
{
    stop();
}

QString Compositor::missingParts(XServer xServer)
{
    if (QStandardPaths::findExecutable(QStringLiteral("weston")).isEmpty())
        return QStringLiteral("weston is missing: install the package weston (tools/install-deps)");
    if (xServer != XServer::None && QStandardPaths::findExecutable(QStringLiteral("Xwayland")).isEmpty())
        return QStringLiteral("Xwayland is missing: install the package xwayland (tools/install-deps)");
    return {};
}

bool Compositor::start(const QString& runtimeDir, QSize size, XServer xServer)
{
    if (!startWeston(runtimeDir, size, xServer))
        return false;
    if (xServer == XServer::Rootful && !startRootfulXWayland(runtimeDir))
        return false;
    if (!m_xDisplay.isEmpty()) {
        m_previousDisplay = qgetenv("DISPLAY");
        qputenv("DISPLAY", m_xDisplay.toLatin1());
        m_displaySet = true;
    }
    return true;
}

bool Compositor::startWeston(const QString& runtimeDir, QSize size, XServer xServer)
{
    m_socketName = QStringLiteral("quorvane-wayland-%1").arg(QCoreApplication::applicationPid());
    m_logFile = runtimeDir + QStringLiteral("/weston.log");
    QStringList arguments{QStringLiteral("--backend=headless-backend.so"),
                          QStringLiteral("--socket=") + m_socketName,
                          QStringLiteral("--width=%1").arg(size.width()),
                          QStringLiteral("--height=%1").arg(size.height()),
                          QStringLiteral("--idle-time=0"),
                          QStringLiteral("--log=") + m_logFile};
    if (xServer == XServer::Managed)
        arguments << QStringLiteral("--xwayland");
    // Without XWayland the requests of the clients tell which windows they show; with it they
    // would be mostly XWayland's drawing.
    if (xServer == XServer::None)
        arguments << QStringLiteral("--logger-scopes=log,proto");
    m_weston.setProcessEnvironment(sessionEnvironment(runtimeDir));
    m_weston.setProgram(QStringLiteral("weston"));
    m_weston.setArguments(arguments);
    m_weston.setProcessChannelMode(QProcess::MergedChannels);
    m_weston.start();
    if (!m_weston.waitForStarted(10000)) {
        m_error = QStringLiteral("weston did not start: ") + m_weston.errorString();
        return false;
    }
    const QString socket = runtimeDir + QLatin1Char('/') + m_socketName;
    // Weston's XWayland takes clients once weston names its display; the X server itself starts
    // with the first client that connects.
    const QRegularExpression xDisplay(QStringLiteral("xserver listening on display (:\\d+)"));
    const bool up = waitFor(
        [&] {
            if (m_weston.state() == QProcess::NotRunning)
                return true;
            if (!QFileInfo::exists(socket))
                return false;
            if (xServer != XServer::Managed)
                return true;
            const QRegularExpressionMatch match = xDisplay.match(log());
            if (match.hasMatch())
                m_xDisplay = match.captured(1);
            return match.hasMatch();
        },
        20000, 100);
    if (!up || m_weston.state() == QProcess::NotRunning) {
        m_error =
            QStringLiteral("weston did not come up: ") + log() + QString::fromLocal8Bit(m_weston.readAll());
        return false;
    }
    return true;
}

bool Compositor::startRootfulXWayland(const QString& runtimeDir)
{
    QProcessEnvironment env = sessionEnvironment(runtimeDir);
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), m_socketName);
    m_xwayland.setProcessEnvironment(env);
    // Its screen takes the size of weston's output.
    m_xDisplay = startDisplayServer(m_xwayland, QStringLiteral("Xwayland"), {}, m_error);
    return !m_xDisplay.isEmpty();
}

void Compositor::stop()
{
    if (m_displaySet) {
        if (m_previousDisplay.isEmpty())
            qunsetenv("DISPLAY");
        else
            qputenv("DISPLAY", m_previousDisplay);
        m_displaySet = false;
    }
    m_xDisplay.clear();
    endProcess(m_xwayland);
    // Weston ends its own XWayland along with itself.
    endProcess(m_weston);
}

QString Compositor::log() const
{
    QFile file(m_logFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll());
}

QList<QSize> Compositor::waylandWindowSizes() const
{
    // A shown window declares its size: "xdg_surface@31.set_window_geometry(0, 0, 303, 225)".
    static const QRegularExpression geometry(
        QStringLiteral("xdg_surface@\\d+\\.set_window_geometry\\(-?\\d+, -?\\d+, (\\d+), (\\d+)\\)"));
    QList<QSize> sizes;
    QRegularExpressionMatchIterator matches = geometry.globalMatch(log());
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        sizes.append(QSize(match.captured(1).toInt(), match.captured(2).toInt()));
    }
    return sizes;
}

} // namespace quorvane
