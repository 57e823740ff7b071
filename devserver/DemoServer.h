#pragma once

#include "devserver/DemoServerOptions.h"

#include <QtGlobal>
#include <memory>

namespace quorvane {

// The demo server: the application server below "/quorvane2", the download server below
// "/res/download", the microblog share pages on the share hosts, and the admin URLs, all on one
// port of 127.0.0.1. Requests are served on a pool of background threads.
class DemoServer final
{
public:
    // Opens the account store and the request log in the data folder. Raises Failure when
    // either cannot be opened.
    explicit DemoServer(const DemoServerOptions& options);
    ~DemoServer();
    Q_DISABLE_COPY_MOVE(DemoServer)

    // Listens on 127.0.0.1 and the chosen port (a free one for port 0) and returns the port.
    // Raises Failure when the port cannot be bound.
    int start();

    // Stops listening and waits for the requests in progress. Also done by the destructor.
    void stop();

    bool isRunning() const;
    int port() const;
    // The key the admin URLs need ("/admin/requests?key=...").
    QString adminKey() const;

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace quorvane
