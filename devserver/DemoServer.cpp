#include "devserver/DemoServer.h"

#include "devserver/DemoRoutes.h"
#include "platform/Failure.h"

#include <QString>
#include <atomic>
#include <httplib.h>
#include <sys/socket.h>
#include <thread>

namespace {

// Loopback only: the demo server holds passwords and admin URLs and is no public service.
const char* const kListenAddress = "127.0.0.1";

// Plain SO_REUSEADDR: a restart binds at once, while a second server on a port in use fails
// instead of sharing it (the library's default would allow that).
void SetSocketOptions(socket_t socket)
{
    int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

} // namespace

class TDemoServer::TImpl final
{
public:
    explicit TImpl(const TDemoServerOptions& options) : options_(options), routes_(options)
    {
        server_.set_socket_options(SetSocketOptions);
        // Browser views keep connections open; a short keep-alive lets a stop finish quickly.
        server_.set_keep_alive_timeout(1);
        server_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
            routes_.Log(request);
            if (routes_.IsOwnHost(request, port_))
                return httplib::Server::HandlerResponse::Unhandled;
            response.status = 403;
            response.set_content("unknown host", "text/plain; charset=UTF-8");
            return httplib::Server::HandlerResponse::Handled;
        });
        server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            routes_.Handle(request, response);
        });
        server_.set_exception_handler(
            [](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
                response.status = 500;
                response.set_content("internal error", "text/plain; charset=UTF-8");
            });
    }

    ~TImpl() { Stop(); }
    Q_DISABLE_COPY_MOVE(TImpl)

    int Start()
    {
        if (thread_.joinable())
            throw TFailure(QStringLiteral("the demo server is already running"));
        port_ = options_.port == 0
                    ? server_.bind_to_any_port(kListenAddress)
                    : (server_.bind_to_port(kListenAddress, options_.port) ? options_.port : -1);
        if (port_ <= 0)
            throw TFailure(QStringLiteral("cannot listen on %1:%2 (is the port in use?)")
                               .arg(QLatin1String(kListenAddress))
                               .arg(options_.port));
        thread_ = std::thread([this] {
            server_.listen_after_bind();
            finished_ = true;
        });
        // Stop may only be called once the loop runs, or it would not see the socket.
        while (!server_.is_running() && !finished_)
            std::this_thread::yield();
        return port_;
    }

    const QString& AdminKey() const { return routes_.AdminKey(); }

    void Stop()
    {
        if (!thread_.joinable())
            return;
        server_.stop();
        thread_.join();
    }

    bool IsRunning() const { return server_.is_running(); }
    int Port() const { return port_; }

private:
    TDemoServerOptions options_;
    TDemoRoutes routes_;
    httplib::Server server_;
    std::thread thread_;
    std::atomic<bool> finished_ = false;
    int port_ = -1;
};

TDemoServer::TDemoServer(const TDemoServerOptions& options) : impl_(std::make_unique<TImpl>(options)) {}

TDemoServer::~TDemoServer() = default;

int TDemoServer::Start()
{
    return impl_->Start();
}

void TDemoServer::Stop()
{
    impl_->Stop();
}

bool TDemoServer::IsRunning() const
{
    return impl_->IsRunning();
}

int TDemoServer::Port() const
{
    return impl_->Port();
}

QString TDemoServer::AdminKey() const
{
    return impl_->AdminKey();
}
