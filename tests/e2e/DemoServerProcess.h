#pragma once

#include <QList>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

// One request as the demo server logged it, its query values decoded from code page 936.
struct TLoggedRequest
{
    QString method;
    QString path;
    QMap<QString, QString> query;
    QString target;
};

// The real demo server program on a free port of 127.0.0.1, with a data folder of its own.
class TDemoServerProcess final
{
    Q_DISABLE_COPY_MOVE(TDemoServerProcess)

public:
    explicit TDemoServerProcess(QString dataDir);
    ~TDemoServerProcess();

    // Starts it with `options` besides the port and the data folder; false (see Output) when it
    // does not come up.
    bool Start(const QStringList& options = {});
    void Stop();

    int Port() const { return port_; }
    QString Root() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }
    // What it printed so far.
    QString Output();

    // Everything it received, oldest first (from /admin/requests).
    QList<TLoggedRequest> Requests() const;
    // The requests for one path, such as "/quorvane2/users/userLogin".
    QList<TLoggedRequest> RequestsTo(const QString& path) const;
    // The raw request log.
    QString RequestLog() const;

    static TLoggedRequest ParseLogLine(const QString& line);

private:
    QString dataDir_;
    QProcess process_;
    QString output_;
    int port_ = 0;
    QString adminKey_;
};
