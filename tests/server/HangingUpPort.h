#pragma once

#include <QString>

#include <thread>

namespace quorvane {

// A port on 127.0.0.1 that accepts every connection and closes it at once, before any reply:
// a server that breaks off.
class HangingUpPort final
{
public:
    HangingUpPort();
    ~HangingUpPort();
    HangingUpPort(const HangingUpPort&) = delete;
    HangingUpPort& operator=(const HangingUpPort&) = delete;

    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }

private:
    int m_listener = -1;
    int m_port = 0;
    std::thread m_acceptor;
};

} // namespace quorvane
