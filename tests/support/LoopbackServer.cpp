#include "tests/support/LoopbackServer.h"

#include <chrono>
#include <stdexcept>

namespace quorvane {

LoopbackServer::LoopbackServer(int port)
{
    // Short enough that a client's idle connection does not hold up the destructor for long.
    m_server.set_keep_alive_timeout(2);
    m_server.set_keep_alive_max_count(1000);
    // Headers and body go out in separate writes: without this each reply waits for a delayed ACK.
    m_server.set_tcp_nodelay(true);
    m_server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        {
            std::lock_guard lock(m_mutex);
            m_requests.append({QString::fromStdString(request.target), request.remote_port});
        }
        m_changed.notify_all();
        return httplib::Server::HandlerResponse::Unhandled;
    });
    m_server.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        dispatch(request, response);
    });
    m_port = port == 0 ? m_server.bind_to_any_port("127.0.0.1")
                       : (m_server.bind_to_port("127.0.0.1", port) ? port : -1);
    if (m_port <= 0)
        throw std::runtime_error("the loopback server could not bind to 127.0.0.1");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    // stop() has no effect before the accept loop runs, so wait for it.
    while (!m_server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LoopbackServer::~LoopbackServer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_server.stop();
    m_thread.join();
}

QString LoopbackServer::url() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

void LoopbackServer::get(const std::string& pathPattern, Handler handler)
{
    std::lock_guard lock(m_mutex);
    for (auto& entry : m_handlers) {
        if (entry.first == pathPattern) {
            entry.second = std::move(handler);
            return;
        }
    }
    m_handlers.emplace_back(pathPattern, std::move(handler));
}

void LoopbackServer::reply(const std::string& pathPattern, const std::string& body, int status,
                           const std::string& contentType)
{
    get(pathPattern, [body, status, contentType](const httplib::Request&, httplib::Response& response) {
        response.status = status;
        response.set_content(body, contentType.c_str());
    });
}

void LoopbackServer::stall(const std::string& pathPattern)
{
    get(pathPattern, [this](const httplib::Request&, httplib::Response& response) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_stopping; });
        response.status = 503;
    });
}

QList<LoopbackServer::Received> LoopbackServer::requests() const
{
    // A deep copy made under the lock: an implicitly shared copy would be detached later by the
    // caller's thread while the server thread appends to the original.
    std::lock_guard lock(m_mutex);
    QList<Received> copy;
    copy.reserve(m_requests.size());
    for (const Received& request : m_requests)
        copy.append({QString(request.target.constData(), request.target.size()), request.remotePort});
    return copy;
}

QStringList LoopbackServer::targets() const
{
    QStringList targets;
    for (const Received& request : requests())
        targets.append(request.target);
    return targets;
}

void LoopbackServer::clearRequests()
{
    std::lock_guard lock(m_mutex);
    m_requests.clear();
}

bool LoopbackServer::waitForRequests(int count, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [this, count] { return m_requests.size() >= count; });
}

void LoopbackServer::dispatch(const httplib::Request& request, httplib::Response& response)
{
    Handler handler;
    {
        std::lock_guard lock(m_mutex);
        // The latest registration wins when several patterns match.
        for (auto it = m_handlers.rbegin(); it != m_handlers.rend() && !handler; ++it) {
            if (std::regex_match(request.path, std::regex(it->first)))
                handler = it->second;
        }
    }
    if (!handler) {
        response.status = 404;
        response.set_content("not found", "text/plain");
        return;
    }
    handler(request, response);
}

} // namespace quorvane
