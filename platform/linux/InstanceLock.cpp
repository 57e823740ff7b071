#include "platform/InstanceLock.h"

#include "platform/SystemPaths.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr int kRequestTimeoutMs = 10000;

QString ChannelPath(const QString& name)
{
    return RuntimeDir() + QLatin1Char('/') + name;
}

} // namespace

TInstanceLock::TInstanceLock(const QString& name, QObject* parent) : QObject(parent), name_(name) {}

TInstanceLock::~TInstanceLock()
{
    Release();
}

bool TInstanceLock::Acquire()
{
    const QByteArray path = QFile::encodeName(ChannelPath(name_) + QStringLiteral(".lock"));
    // Never through a link: the lock is a file of the user's own.
    lockFd_ = open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lockFd_ < 0)
        return true;
    if (flock(lockFd_, LOCK_EX | LOCK_NB) == 0)
        return true;
    const bool heldElsewhere = errno == EWOULDBLOCK;
    close(lockFd_);
    lockFd_ = -1;
    return !heldElsewhere;
}

void TInstanceLock::Release()
{
    if (server_) {
        server_->close();
        delete server_;
        server_ = nullptr;
    }
    if (lockFd_ >= 0) {
        close(lockFd_);
        lockFd_ = -1;
    }
}

void TInstanceLock::Listen(std::function<void(qint64)> onShowRequest)
{
    onShowRequest_ = std::move(onShowRequest);
    if (server_)
        return;
    const QString path = ChannelPath(name_);
    // A channel left by a client that crashed: we hold the lock, so nobody serves it.
    QLocalServer::removeServer(path);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &TInstanceLock::ServeConnection);
    server_->listen(path);
}

void TInstanceLock::ServeConnection()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            const QByteArray line = socket->readLine(64).trimmed();
            if (line.startsWith("show ")) {
                bool ok = false;
                const qint64 windowId = line.mid(5).toLongLong(&ok);
                if (ok && onShowRequest_)
                    onShowRequest_(windowId);
            }
            socket->write("done\n");
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}

void TInstanceLock::SendShowRequest(const QString& name, qint64 windowId)
{
    QLocalSocket socket;
    socket.connectToServer(ChannelPath(name));
    if (!socket.waitForConnected(kRequestTimeoutMs))
        return;
    socket.write("show " + QByteArray::number(windowId) + '\n');
    if (!socket.waitForBytesWritten(kRequestTimeoutMs))
        return;
    // The running client answers once its user-interface thread has handled the request.
    while (!socket.canReadLine() && socket.waitForReadyRead(kRequestTimeoutMs)) {
    }
}
