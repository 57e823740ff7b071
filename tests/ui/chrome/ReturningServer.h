#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTcpServer>

namespace quorvane {

// A web server on one loopback port that is down at first and can come up and go down again,
// as an application server does when it restarts. It runs in the test's own thread (the event
// loop of waitUntil serves it), answers every GET with the same page, and records each request
// line apart from the connections that came and went without a request.
class ReturningServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReturningServer)

public:
    // Reserves a free port, on which nothing listens yet: connections are refused.
    explicit ReturningServer(QByteArray page);
    ~ReturningServer() override;

    // "http://127.0.0.1:PORT" followed by `path`.
    QString url(const QString& path) const;
    bool start();
    void stop();

    // The request lines received, e.g. "GET /news?id=1 HTTP/1.1".
    QStringList requests() const { return m_requests; }
    // Every connection accepted, with a request or without one.
    int connections() const { return m_connections; }

private:
    void onNewConnection();

    QByteArray m_page;
    quint16 m_port = 0;
    QTcpServer m_server;
    QStringList m_requests;
    int m_connections = 0;
};

} // namespace quorvane
