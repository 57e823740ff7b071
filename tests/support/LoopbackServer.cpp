#include "tests/support/LoopbackServer.h"

#include <chrono>
#include <stdexcept>

LoopbackServer::LoopbackServer()
{
    // Short enough that a client's idle connection does not hold up the destructor for long.
    server_.set_keep_alive_timeout(2);
    server_.set_keep_alive_max_count(1000);
    // Headers and body go out in separate writes: without this each reply waits for a delayed ACK.
    server_.set_tcp_nodelay(true);
    server_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        {
            std::lock_guard lock(mutex_);
            requests_.append({QString::fromStdString(request.target), request.remote_port});
        }
        changed_.notify_all();
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        Dispatch(request, response);
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0)
        throw std::runtime_error("the loopback server could not bind to 127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // stop() has no effect before the accept loop runs, so wait for it.
    while (!server_.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LoopbackServer::~LoopbackServer()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    server_.stop();
    thread_.join();
}

QString LoopbackServer::Url() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port_);
}

void LoopbackServer::Get(const std::string& pathPattern, Handler handler)
{
    std::lock_guard lock(mutex_);
    for (auto& entry : handlers_) {
        if (entry.first == pathPattern) {
            entry.second = std::move(handler);
            return;
        }
    }
    handlers_.emplace_back(pathPattern, std::move(handler));
}

void LoopbackServer::Reply(const std::string& pathPattern, const std::string& body, int status,
                           const std::string& contentType)
{
    Get(pathPattern, [body, status, contentType](const httplib::Request&, httplib::Response& response) {
        response.status = status;
        response.set_content(body, contentType.c_str());
    });
}

void LoopbackServer::Stall(const std::string& pathPattern)
{
    Get(pathPattern, [this](const httplib::Request&, httplib::Response& response) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopping_; });
        response.status = 503;
    });
}

QList<LoopbackServer::Received> LoopbackServer::Requests() const
{
    // A deep copy made under the lock: an implicitly shared copy would be detached later by the
    // caller's thread while the server thread appends to the original.
    std::lock_guard lock(mutex_);
    QList<Received> copy;
    copy.reserve(requests_.size());
    for (const Received& request : requests_)
        copy.append({QString(request.target.constData(), request.target.size()), request.remotePort});
    return copy;
}

QStringList LoopbackServer::Targets() const
{
    QStringList targets;
    for (const Received& request : Requests())
        targets.append(request.target);
    return targets;
}

void LoopbackServer::ClearRequests()
{
    std::lock_guard lock(mutex_);
    requests_.clear();
}

bool LoopbackServer::WaitForRequests(int count, int timeoutMs) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [this, count] { return requests_.size() >= count; });
}

void LoopbackServer::Dispatch(const httplib::Request& request, httplib::Response& response)
{
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        // The latest registration wins when several patterns match.
        for (auto it = handlers_.rbegin(); it != handlers_.rend() && !handler; ++it) {
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
