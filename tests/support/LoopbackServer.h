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

    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return port_; }
    // "http://127.0.0.1:PORT"
    QString Url() const;

    // Serves GET requests whose (decoded) path matches the regular expression `pathPattern`
    // whole. A later registration for the same pattern replaces the earlier one; unmatched paths
    // get 404.
    void Get(const std::string& pathPattern, Handler handler);
    // Answers `body` with the status and content type given.
    void Reply(const std::string& pathPattern, const std::string& body, int status = 200,
               const std::string& contentType = "text/xml");
    // Accepts the request and never answers, until the server is destroyed.
    void Stall(const std::string& pathPattern);

    // The requests received so far, in order.
    QList<Received> Requests() const;
    QStringList Targets() const;
    void ClearRequests();
    // Waits until at least `count` requests have arrived; false after `timeoutMs` without them.
    bool WaitForRequests(int count, int timeoutMs = 10000) const;

private:
    void Dispatch(const httplib::Request& request, httplib::Response& response);

    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::pair<std::string, Handler>> handlers_;
    QList<Received> requests_;
    bool stopping_ = false;
};
