#include "tests/e2e/ClientProgram.h"

#include "tests/e2e/Wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <sys/types.h>

namespace quorvane {

ClientProgram::ClientProgram(const QString& program, const QProcessEnvironment& environment,
                             const QString& workDir, const QString& logFile)
{
    m_process.setProgram(program);
    m_process.setProcessEnvironment(environment);
    m_process.setWorkingDirectory(workDir);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(logFile, QIODevice::Append);
}

ClientProgram::~ClientProgram()
{
    end();
}

bool ClientProgram::start()
{
    m_process.start();
    if (!m_process.waitForStarted(20000))
        return false;
    m_pid = m_process.processId();
    return true;
}

bool ClientProgram::waitForExit(int ms)
{
    if (m_process.state() == QProcess::NotRunning)
        return true;
    return m_process.waitForFinished(ms);
}

void ClientProgram::end()
{
    endProcess(m_process);
}

void endProcess(QProcess& process, int graceMs)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(graceMs)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

bool processAlive(qint64 pid)
{
    if (pid <= 0)
        return false;
    // A zombie has ended: its status line says so.
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = status.readAll();
    return !text.contains("State:\tZ");
}

void endProcess(qint64 pid)
{
    if (!processAlive(pid))
        return;
    ::kill(pid_t(pid), SIGTERM);
    if (!waitFor([pid] { return !processAlive(pid); }, 10000))
        ::kill(pid_t(pid), SIGKILL);
}

QList<qint64> processesOf(const QString& path)
{
    const QString folder = QDir::cleanPath(path) + QLatin1Char('/');
    QList<qint64> pids;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        const QString program = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
        if ((program == path || program.startsWith(folder)) && processAlive(pid))
            pids.append(pid);
    }
    return pids;
}

} // namespace quorvane
