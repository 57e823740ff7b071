#pragma once

#include <QProcess>
#include <QString>

class TempProfile;

// The real client executable, started in a test profile.
class ClientProcess final
{
public:
    explicit ClientProcess(const TempProfile& profile);
    ~ClientProcess();

    void Start();
    // Waits for the client to end on its own; false when it did not within the time given.
    bool WaitForExit(int ms);
    int ExitCode() const { return process_.exitCode(); }
    bool EndedNormally() const { return process_.exitStatus() == QProcess::NormalExit; }

private:
    QProcess process_;
};

// The X window state of a window id as xwininfo reports it ("IsViewable", "IsUnMapped", or empty).
QString MapState(qint64 windowId);

// Polls `condition` until it holds or `ms` have passed.
bool WaitUntil(const std::function<bool()>& condition, int ms);
