#include "devserver/DemoServer.h"

#include "devserver/DemoRoutes.h"
#include "platform/Failure.h"

#include <QString>
#include <atomic>
#include <httplib.h>
#include <sys/socket.h>
#include <thread>

namespace quorvane {

namespace {

// Loopback only: the demo server holds passwords and admin URLs and is no public service.
const char* const kListenAddress = "127.0.0.1";

// Plain SO_REUSEADDR: a restart binds at once, while a second server on a port in use fails
// instead of sharing it (the library's default would allow that).
void setSocketOptions(socket_t socket)
{
    int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

} // namespace

class DemoServer::Impl final
{
public:
    explicit Impl(const DemoServerOptions& options) : m_options(options), m_routes(options)
    {
        m_server.set_socket_options(setSocketOptions);
        // Browser views keep connections open; a short keep-alive lets a stop finish quickly.
        m_server.set_keep_alive_timeout(1);
        m_server.set_pre_routing_handler(
            [this](const httplib::Request& request, httplib::Response& response) {
                m_routes.log(request);
                if (m_routes.isOwnHost(request, m_port))
                    return httplib::Server::HandlerResponse::Unhandled;
                response.status = 403;
                response.set_content("unknown host", "text/plain; charset=UTF-8");
                return httplib::Server::HandlerResponse::Handled;
            });
        m_server.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            m_routes.handle(request, response);
        });
        m_server.set_exception_handler(
            [](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
                response.status = 500;
                response.set_content("internal error", "text/plain; charset=UTF-8");
            });
    }

    ~Impl() { stop(); }
    Q_DISABLE_COPY_MOVE(Impl)

    int start()
    {
        if (m_thread.joinable())
            throw Failure(QStringLiteral("the demo server is already running"));
        m_port = m_options.port == 0
                     ? m_server.bind_to_any_port(kListenAddress)
                     : (m_server.bind_to_port(kListenAddress, m_options.port) ? m_options.port : -1);
        if (m_port <= 0)
            throw Failure(QStringLiteral("cannot listen on %1:%2 (is the port in use?)")
                              .arg(QLatin1String(kListenAddress))
                              .arg(m_options.port));
        m_thread = std::thread([this] {
            m_server.listen_after_bind();
            m_finished = true;
        });
        // Stop may only be called once the loop runs, or it would not see the socket.
        while (!m_server.is_running() && !m_finished)
            std::this_thread::yield();
        return m_port;
    }

    const QString& adminKey() const { return m_routes.adminKey(); }

    void stop()
    {
        if (!m_thread.joinable())
            return;
        m_server.stop();
        m_thread.join();
    }

    bool isRunning() const { return m_server.is_running(); }
    int port() const { return m_port; }

private:
    DemoServerOptions m_options;
    DemoRoutes m_routes;
    httplib::Server m_server;
    std::thread m_thread;
    std::atomic<bool> m_finished = false;
    int m_port = -1;
};

DemoServer::DemoServer(const DemoServerOptions& options) : m_impl(std::make_unique<Impl>(options)) {}

DemoServer::~DemoServer() = default;

int DemoServer::start()
{
    return m_impl->start();
}

void DemoServer::stop()
{
    m_impl->stop();
}

bool DemoServer::isRunning() const
{
    return m_impl->isRunning();
}

int DemoServer::port() const
{
    return m_impl->port();
}

QString DemoServer::adminKey() const
{
    return m_impl->adminKey();
}

} // namespace quorvane
