#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <functional>
#include <httplib.h>
#include <mutex>
#include <regex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace quorvane {

// A real HTTP server on 127.0.0.1 for tests, on a free port, serving in its own thread from
// construction to destruction. Handlers may be registered at any time; every request is recorded
// as it arrived, with its raw request target (path and query, nothing decoded).
class LoopbackServer final
{
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    struct Received
    {
        QString target;     // the raw request target, e.g. "/a/b?x=%26"
        int remotePort = 0; // the client's port: a new connection has a new port
    };

    // On `port` when given (a server that comes back where it was), else on a free port.
    explicit LoopbackServer(int port = 0);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return m_port; }
    // "http://127.0.0.1:PORT"
    QString url() const;

    // Serves GET requests whose (decoded) path matches the regular expression `pathPattern`
    // whole. A later registration for the same pattern replaces the earlier one; unmatched paths
    // get 404.
    void get(const std::string& pathPattern, Handler handler);
    // Answers `body` with the status and content type given.
    void reply(const std::string& pathPattern, const std::string& body, int status = 200,
               const std::string& contentType = "text/xml");
    // Accepts the request and never answers, until the server is destroyed.
    void stall(const std::string& pathPattern);

    // The requests received so far, in order.
    QList<Received> requests() const;
    QStringList targets() const;
    void clearRequests();
    // Waits until at least `count` requests have arrived; false after `timeoutMs` without them.
    bool waitForRequests(int count, int timeoutMs = 10000) const;

private:
    void dispatch(const httplib::Request& request, httplib::Response& response);

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<std::pair<std::string, Handler>> m_handlers;
    QList<Received> m_requests;
    bool m_stopping = false;
};

} // namespace quorvane
