#include "tests/ui/chrome/ReturningServer.h"

#include <QTcpSocket>
#include <stdexcept>
#include <utility>

namespace quorvane {

ReturningServer::ReturningServer(QByteArray page) : m_page(std::move(page))
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        throw std::runtime_error("no free loopback port");
    m_port = probe.serverPort();
    connect(&m_server, &QTcpServer::newConnection, this, &ReturningServer::onNewConnection);
}

ReturningServer::~ReturningServer() = default;

QString ReturningServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

bool ReturningServer::start()
{
    return m_server.listen(QHostAddress::LocalHost, m_port);
}

void ReturningServer::stop()
{
    m_server.close();
}

void ReturningServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        ++m_connections;
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        // Answered once the whole request head is in: closing with unread data would reset the
        // connection under the answer.
        connect(socket, &QTcpSocket::readyRead, socket,
                [this, socket, head = QByteArray(), answered = false]() mutable {
                    head += socket->readAll();
                    if (answered || !head.contains("\r\n\r\n"))
                        return;
                    answered = true;
                    m_requests << QString::fromLatin1(head.left(head.indexOf("\r\n")));
                    socket->write(
                        "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                        QByteArray::number(m_page.size()) + "\r\nConnection: close\r\n\r\n" + m_page);
                    socket->disconnectFromHost();
                });
    }
}

} // namespace quorvane
