#include "tests/e2e/ClientProgram.h"

#include "tests/e2e/Wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <sys/types.h>

TClientProgram::TClientProgram(const QString& program, const QProcessEnvironment& environment,
                               const QString& workDir, const QString& logFile)
{
    process_.setProgram(program);
    process_.setProcessEnvironment(environment);
    process_.setWorkingDirectory(workDir);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setStandardOutputFile(logFile, QIODevice::Append);
}

TClientProgram::~TClientProgram()
{
    End();
}

bool TClientProgram::Start()
{
    process_.start();
    if (!process_.waitForStarted(20000))
        return false;
    pid_ = process_.processId();
    return true;
}

bool TClientProgram::WaitForExit(int ms)
{
    if (process_.state() == QProcess::NotRunning)
        return true;
    return process_.waitForFinished(ms);
}

void TClientProgram::End()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(10000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

bool ProcessAlive(qint64 pid)
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

void EndProcess(qint64 pid)
{
    if (!ProcessAlive(pid))
        return;
    ::kill(pid_t(pid), SIGTERM);
    if (!WaitFor([pid] { return !ProcessAlive(pid); }, 10000))
        ::kill(pid_t(pid), SIGKILL);
}

QList<qint64> ProcessesOf(const QString& path)
{
    const QString folder = QDir::cleanPath(path) + QLatin1Char('/');
    QList<qint64> pids;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        const QString program = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
        if ((program == path || program.startsWith(folder)) && ProcessAlive(pid))
            pids.append(pid);
    }
    return pids;
}
