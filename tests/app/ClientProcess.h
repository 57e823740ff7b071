#pragma once

#include <QProcess>
#include <QString>

namespace quorvane {

class TempProfile;

// The real client executable, started in a test profile.
class ClientProcess final
{
public:
    explicit ClientProcess(const TempProfile& profile);
    ~ClientProcess();

    void start();
    // Waits for the client to end on its own; false when it did not within the time given.
    bool waitForExit(int ms);
    int exitCode() const { return m_process.exitCode(); }
    bool endedNormally() const { return m_process.exitStatus() == QProcess::NormalExit; }

private:
    QProcess m_process;
};

// The X window state of a window id as xwininfo reports it ("IsViewable", "IsUnMapped", or empty).
QString mapState(qint64 windowId);

// Polls `condition` until it holds or `ms` have passed.
bool waitUntil(const std::function<bool()>& condition, int ms);

} // namespace quorvane
