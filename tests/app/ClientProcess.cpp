#include "tests/app/ClientProcess.h"

#include "tests/support/TempProfile.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QThread>

namespace quorvane {

ClientProcess::ClientProcess(const TempProfile& profile)
{
    m_process.setProgram(QStringLiteral(QUORVANE_CLIENT_EXE));
    m_process.setProcessEnvironment(profile.environment());
    m_process.setWorkingDirectory(profile.workDir());
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
}

ClientProcess::~ClientProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
}

void ClientProcess::start()
{
    m_process.start();
    m_process.waitForStarted(10000);
}

bool ClientProcess::waitForExit(int ms)
{
    return m_process.waitForFinished(ms);
}

QString mapState(qint64 windowId)
{
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(windowId)});
    if (!xwininfo.waitForFinished(10000))
        return {};
    const QString out = QString::fromUtf8(xwininfo.readAllStandardOutput());
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Map State: (\\w+)")).match(out);
    return match.hasMatch() ? match.captured(1) : QString();
}

bool waitUntil(const std::function<bool()>& condition, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(50);
    }
    return true;
}

} // namespace quorvane
