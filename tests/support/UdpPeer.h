#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace testsupport {

// A plain UDP socket on 127.0.0.1 that a test sends from and receives on.
class UdpPeer {
public:
    UdpPeer() {
        m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
        int size = 8 << 20;
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    }
    ~UdpPeer() { close(); }
    UdpPeer(const UdpPeer&) = delete;
    UdpPeer& operator=(const UdpPeer&) = delete;

    int port() const { return m_port; }
    int fd() const { return m_fd; }
    void close() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

    // The next datagram, or "<none>" after the timeout; remembers its sender.
    std::string receive(int timeoutMs = 2000) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) return "<none>";
        std::string buf(70000, '\0');
        socklen_t len = sizeof m_from;
        const ssize_t n = ::recvfrom(m_fd, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr*>(&m_from), &len);
        buf.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return buf;
    }
    // Answers the sender of the last datagram received.
    void reply(const std::string& data) {
        ::sendto(m_fd, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&m_from), sizeof m_from);
    }
    void sendTo(int port, const std::string& data) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<uint16_t>(port));
        ::sendto(m_fd, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }

private:
    int m_fd = -1;
    int m_port = 0;
    sockaddr_in m_from{};
};

// Waits until the descriptor is readable or has an error pending.
inline bool waitReadable(std::intptr_t fd, int timeoutMs = 2000) {
    pollfd p{static_cast<int>(fd), POLLIN, 0};
    return ::poll(&p, 1, timeoutMs) > 0;
}

}  // namespace testsupport
