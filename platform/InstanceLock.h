#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace quorvane {

// A per-user named lock that lets one client run per user, with a request channel through
// which a second start asks the running client to show its main window.
class InstanceLock final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InstanceLock)

public:
    explicit InstanceLock(const QString& name, QObject* parent = nullptr);
    ~InstanceLock() override;

    // False when another process holds the lock. When no lock can be made at all,
    // this process goes on as the first instance.
    bool acquire();

    // Gives the lock up, so that a process started next can take it.
    void release();

    // Serves show requests on the calling (user-interface) thread; each request carries
    // the window id that the sender read from the configuration.
    void listen(std::function<void(qint64 windowId)> onShowRequest);

    // Asks the running client to show the window `windowId` and waits until it has handled
    // the request, or until a few seconds have passed. Failures have no effect.
    static void sendShowRequest(const QString& name, qint64 windowId);

private:
    void serveConnection();

    QString m_name;
    int m_lockFd = -1;
    QLocalServer* m_server = nullptr;
    std::function<void(qint64)> m_onShowRequest;
};

} // namespace quorvane
