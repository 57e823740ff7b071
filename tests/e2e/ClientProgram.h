#pragma once

#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

// One start of a client program (the client itself, or a copy of it in an application folder of
// the test's own), with its output appended to a log file.
class TClientProgram final
{
    Q_DISABLE_COPY_MOVE(TClientProgram)

public:
    TClientProgram(const QString& program, const QProcessEnvironment& environment, const QString& workDir,
                   const QString& logFile);
    // Ends the client should it still run.
    ~TClientProgram();

    bool Start();
    qint64 Pid() const { return pid_; }
    bool Running() const { return process_.state() != QProcess::NotRunning; }
    // Waits for the client to end on its own; false when it still runs after `ms`.
    bool WaitForExit(int ms);
    bool EndedNormally() const { return process_.exitStatus() == QProcess::NormalExit; }
    int ExitCode() const { return process_.exitCode(); }
    void End();

private:
    QProcess process_;
    qint64 pid_ = 0;
};

// Ends a process that the test did not start itself (the client that the updater started again):
// asks it to end, and kills it when it does not.
void EndProcess(qint64 pid);
bool ProcessAlive(qint64 pid);
// The running processes whose program is `path`, or lies below `path` when it is a folder.
QList<qint64> ProcessesOf(const QString& path);
