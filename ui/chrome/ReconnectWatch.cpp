#include "ui/chrome/ReconnectWatch.h"

#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace quorvane {

namespace {

using namespace std::chrono_literals;

int defaultPort(const QUrl& url)
{
    return url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 ? 443 : 80;
}

} // namespace

ReconnectWatch::ReconnectWatch(QObject* parent) : ReconnectWatch(3s, 15s, parent) {}

ReconnectWatch::ReconnectWatch(Interval shortest, Interval longest, QObject* parent)
    : QObject(parent), m_shortest(shortest), m_longest(std::max(shortest, longest)), m_pause(shortest),
      m_timer(new QTimer(this)), m_socket(new QTcpSocket(this))
{
    m_timer->setObjectName(QStringLiteral("reconnectTimer"));
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &ReconnectWatch::tryServer);
    connect(m_socket, &QTcpSocket::connected, this, &ReconnectWatch::onConnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &ReconnectWatch::onFailed);
}

ReconnectWatch::~ReconnectWatch() = default;

void ReconnectWatch::watch(const QUrl& url)
{
    const QString host = url.host();
    const int port = url.port(defaultPort(url));
    if (host != m_host || port != m_port) {
        m_host = host;
        m_port = port;
        m_pause = m_shortest;
    }
    stop();
    m_timer->start(m_pause);
}

void ReconnectWatch::stop()
{
    m_timer->stop();
    m_trying = false;
    m_socket->abort();
}

void ReconnectWatch::reset()
{
    stop();
    m_host.clear();
    m_port = -1;
    m_pause = m_shortest;
}

bool ReconnectWatch::isWatching() const
{
    return m_trying || m_timer->isActive();
}

void ReconnectWatch::tryServer()
{
    if (m_trying) {
        // No answer within a whole pause: a server whose host drops connection attempts
        // silently counts as away, like one that refuses them.
        m_trying = false;
        m_socket->abort();
        waitLonger();
        return;
    }
    m_socket->abort();
    m_trying = true;
    // The same pause bounds the try; a failure reported at once restarts the timer itself.
    m_timer->start(m_pause);
    m_socket->connectToHost(m_host, static_cast<quint16>(m_port));
}

void ReconnectWatch::onConnected()
{
    if (!m_trying)
        return;
    stop();
    // Should the page fail again, the next watch of this server waits longer.
    m_pause = std::min(m_pause * 2, m_longest);
    emit reachable();
}

void ReconnectWatch::onFailed()
{
    if (!m_trying)
        return;
    m_trying = false;
    waitLonger();
}

void ReconnectWatch::waitLonger()
{
    m_pause = std::min(m_pause * 2, m_longest);
    m_timer->start(m_pause);
}

} // namespace quorvane
