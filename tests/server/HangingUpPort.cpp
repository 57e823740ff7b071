#include "tests/server/HangingUpPort.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorvane {

HangingUpPort::HangingUpPort()
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(m_listener, 8) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([listener = m_listener] {
        for (;;) {
            const int connection = ::accept(listener, nullptr, nullptr);
            if (connection < 0)
                return;
            ::close(connection);
        }
    });
}

HangingUpPort::~HangingUpPort()
{
    // Wakes the blocked accept, which then fails.
    ::shutdown(m_listener, SHUT_RDWR);
    if (m_acceptor.joinable())
        m_acceptor.join();
    ::close(m_listener);
}

} // namespace quorvane
