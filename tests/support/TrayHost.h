#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

struct _XDisplay;

namespace quorvane {

// A tray host (trayer, at the top right of the screen) on the X server that DISPLAY names, for
// tests whose windows hide to the tray. The X server frees the tray of an ended host only after
// the host's connection is gone, and trayer gives up at once when it finds the tray taken, so
// start() waits for a free tray and stop() waits until the tray is free again.
class TrayHost final
{
    Q_DISABLE_COPY_MOVE(TrayHost)

public:
    TrayHost() = default;
    ~TrayHost();

    // Starts trayer with `arguments` besides those that place it, and waits until it owns the
    // tray; false (see error()) when it does not.
    bool start(const QStringList& arguments = {});
    void stop();

    QString error() const { return m_error; }

private:
    bool trayOwned() const;
    bool startOnce(const QStringList& arguments);
    // Ends trayer and waits until the tray is free.
    void endProcess();

    QProcess m_process;
    _XDisplay* m_connection = nullptr;
    QString m_error;
};

} // namespace quorvane
