#include "platform/InstanceLock.h"

#include "platform/SystemPaths.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace quorvane {

namespace {

constexpr int kRequestTimeoutMs = 10000;

QString channelPath(const QString& name)
{
    return runtimeDir() + QLatin1Char('/') + name;
}

} // namespace

InstanceLock::InstanceLock(const QString& name, QObject* parent) : QObject(parent), m_name(name) {}

InstanceLock::~InstanceLock()
{
    release();
}

bool InstanceLock::acquire()
{
    const QByteArray path = QFile::encodeName(channelPath(m_name) + QStringLiteral(".lock"));
    // Never through a link: the lock is a file of the user's own.
    m_lockFd = open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_lockFd < 0)
        return true;
    if (flock(m_lockFd, LOCK_EX | LOCK_NB) == 0)
        return true;
    const bool heldElsewhere = errno == EWOULDBLOCK;
    close(m_lockFd);
    m_lockFd = -1;
    return !heldElsewhere;
}

void InstanceLock::release()
{
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    if (m_lockFd >= 0) {
        close(m_lockFd);
        m_lockFd = -1;
    }
}

void InstanceLock::listen(std::function<void(qint64)> onShowRequest)
{
    m_onShowRequest = std::move(onShowRequest);
    if (m_server)
        return;
    const QString path = channelPath(m_name);
    // A channel left by a client that crashed: we hold the lock, so nobody serves it.
    QLocalServer::removeServer(path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceLock::serveConnection);
    m_server->listen(path);
}

void InstanceLock::serveConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            const QByteArray line = socket->readLine(64).trimmed();
            if (line.startsWith("show ")) {
                bool ok = false;
                const qint64 windowId = line.mid(5).toLongLong(&ok);
                if (ok && m_onShowRequest)
                    m_onShowRequest(windowId);
            }
            socket->write("done\n");
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}

void InstanceLock::sendShowRequest(const QString& name, qint64 windowId)
{
    QLocalSocket socket;
    socket.connectToServer(channelPath(name));
    if (!socket.waitForConnected(kRequestTimeoutMs))
        return;
    socket.write("show " + QByteArray::number(windowId) + '\n');
    if (!socket.waitForBytesWritten(kRequestTimeoutMs))
        return;
    // The running client answers once its user-interface thread has handled the request.
    while (!socket.canReadLine() && socket.waitForReadyRead(kRequestTimeoutMs)) {
    }
}

} // namespace quorvane
