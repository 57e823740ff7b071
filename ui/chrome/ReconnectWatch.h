#pragma once

#include <QObject>
#include <QString>
#include <chrono>

class QTcpSocket;
class QTimer;
class QUrl;

namespace quorvane {

// Waits for a server that could not be reached to answer again. Now and then it opens a TCP
// connection to the server's host and port and closes it at once, sending nothing, so that no
// request shows in the server's log. The pause between two tries doubles from the shortest to
// the longest while the server stays away; between watches nothing runs at all.
class ReconnectWatch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReconnectWatch)

public:
    using Interval = std::chrono::milliseconds;

    explicit ReconnectWatch(QObject* parent = nullptr);
    ReconnectWatch(Interval shortest, Interval longest, QObject* parent = nullptr);
    ~ReconnectWatch() override;

    // Tries the server of `url` (its host and port, the scheme's own port if none) after a pause,
    // until it accepts a connection. The same server again goes on with the pause reached so far,
    // so that one which accepts connections but still fails the page is not tried in a loop;
    // another server starts from the shortest.
    void watch(const QUrl& url);
    // Stops trying; a later watch of the same server goes on with the pause reached.
    void stop();
    // Stops trying and forgets the server: the next watch starts from the shortest pause.
    void reset();

    bool isWatching() const;
    // The pause before the next try.
    Interval pause() const { return m_pause; }

signals:
    // The server accepted a connection. The watch has stopped.
    void reachable();

private:
    void tryServer();
    void onConnected();
    void onFailed();
    void waitLonger();

    const Interval m_shortest;
    const Interval m_longest;
    Interval m_pause;
    QString m_host;
    int m_port = -1;
    bool m_trying = false;
    QTimer* m_timer;
    QTcpSocket* m_socket;
};

} // namespace quorvane
