#pragma once

#include <QNetworkProxy>
#include <QString>
#include <QTcpSocket>

namespace quorvane {

// A port on 127.0.0.1 that is bound but not listening: connecting to it is refused, and no other
// program can take it while the object lives.
class RefusingPort final
{
public:
    RefusingPort()
    {
        m_socket.setProxy(QNetworkProxy::NoProxy); // no system proxy lookup (and no thread for it)
        m_socket.bind(QHostAddress::LocalHost, 0);
    }
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;

    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_socket.localPort()); }

private:
    QTcpSocket m_socket;
};

} // namespace quorvane
