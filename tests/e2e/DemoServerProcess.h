#pragma once

#include <QList>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace quorvane {

// One request as the demo server logged it, its query values decoded from code page 936.
struct LoggedRequest
{
    QString method;
    QString path;
    QMap<QString, QString> query;
    QString target;
};

// The real demo server program on a free port of 127.0.0.1, with a data folder of its own.
class DemoServerProcess final
{
    Q_DISABLE_COPY_MOVE(DemoServerProcess)

public:
    explicit DemoServerProcess(QString dataDir);
    ~DemoServerProcess();

    // Starts it with `options` besides the port and the data folder; false (see Output) when it
    // does not come up. Started again after stop(), it listens on the port it had, with the data
    // folder (accounts, request log) it had, but no session survives.
    bool start(const QStringList& options = {});
    void stop();

    int port() const { return m_port; }
    QString root() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    // What it printed so far.
    QString output();

    // Everything it received, oldest first (from /admin/requests).
    QList<LoggedRequest> requests() const;
    // The requests for one path, such as "/quorvane2/users/userLogin".
    QList<LoggedRequest> requestsTo(const QString& path) const;
    // The raw request log.
    QString requestLog() const;

    static LoggedRequest parseLogLine(const QString& line);

private:
    QString m_dataDir;
    QProcess m_process;
    QString m_output;
    int m_port = 0;
    QString m_adminKey;
};

} // namespace quorvane
