#pragma once

#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

namespace quorvane {

// One start of a client program (the client itself, or a copy of it in an application folder of
// the test's own), with its output appended to a log file.
class ClientProgram final
{
    Q_DISABLE_COPY_MOVE(ClientProgram)

public:
    ClientProgram(const QString& program, const QProcessEnvironment& environment, const QString& workDir,
                  const QString& logFile);
    // Ends the client should it still run.
    ~ClientProgram();

    bool start();
    qint64 pid() const { return m_pid; }
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    // Waits for the client to end on its own; false when it still runs after `ms`.
    bool waitForExit(int ms);
    bool endedNormally() const { return m_process.exitStatus() == QProcess::NormalExit; }
    int exitCode() const { return m_process.exitCode(); }
    void end();

private:
    QProcess m_process;
    qint64 m_pid = 0;
};

// Ends a process that the test did not start itself (the client that the updater started again):
// asks it to end, and kills it when it does not.
void endProcess(qint64 pid);
// Ends a program the test started: asks it to end, and kills it after `graceMs` when it does not.
void endProcess(QProcess& process, int graceMs = 10000);
bool processAlive(qint64 pid);
// The running processes whose program is `path`, or lies below `path` when it is a folder.
QList<qint64> processesOf(const QString& path);

} // namespace quorvane
