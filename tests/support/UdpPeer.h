#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cstdint>
#include <string>

namespace testsupport {

#ifdef _WIN32
using PeerSocket = SOCKET;
inline constexpr PeerSocket kNoSocket = INVALID_SOCKET;
inline void closePeerSocket(PeerSocket s) { ::closesocket(s); }
inline int pollSockets(WSAPOLLFD* p, unsigned n, int timeoutMs) { return ::WSAPoll(p, n, timeoutMs); }
using PollEntry = WSAPOLLFD;
using AddressLength = int;
#else
using PeerSocket = int;
inline constexpr PeerSocket kNoSocket = -1;
inline void closePeerSocket(PeerSocket s) { ::close(s); }
inline int pollSockets(pollfd* p, unsigned n, int timeoutMs) { return ::poll(p, n, timeoutMs); }
using PollEntry = pollfd;
using AddressLength = socklen_t;
#endif

// Waits until the socket is readable or has an error pending.
inline bool waitReadable(std::intptr_t socket, int timeoutMs = 2000) {
    PollEntry p{};
    p.fd = static_cast<PeerSocket>(socket);
    p.events = POLLIN;
    return pollSockets(&p, 1, timeoutMs) > 0;
}

// A plain UDP socket on 127.0.0.1 that a test sends from and receives on.
class UdpPeer {
public:
    UdpPeer() {
#ifdef _WIN32
        WSADATA data{};
        ::WSAStartup(MAKEWORD(2, 2), &data);
#endif
        m_socket = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_socket, reinterpret_cast<sockaddr*>(&a), sizeof a);
        AddressLength len = sizeof a;
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
        int size = 8 << 20;
        ::setsockopt(m_socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&size), sizeof size);
    }
    ~UdpPeer() {
        close();
#ifdef _WIN32
        ::WSACleanup();
#endif
    }
    UdpPeer(const UdpPeer&) = delete;
    UdpPeer& operator=(const UdpPeer&) = delete;

    int port() const { return m_port; }
    std::intptr_t fd() const { return static_cast<std::intptr_t>(m_socket); }
    void close() {
        if (m_socket != kNoSocket) closePeerSocket(m_socket);
        m_socket = kNoSocket;
    }

    // The next datagram, or "<none>" after the timeout; remembers its sender.
    std::string receive(int timeoutMs = 2000) {
        if (!waitReadable(fd(), timeoutMs)) return "<none>";
        std::string buf(70000, '\0');
        AddressLength len = sizeof m_from;
        const auto n = ::recvfrom(m_socket, buf.data(), static_cast<int>(buf.size()), 0,
                                  reinterpret_cast<sockaddr*>(&m_from), &len);
        buf.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return buf;
    }
    // Answers the sender of the last datagram received.
    void reply(const std::string& data) {
        ::sendto(m_socket, data.data(), static_cast<int>(data.size()), 0, reinterpret_cast<sockaddr*>(&m_from),
                 sizeof m_from);
    }
    void sendTo(int port, const std::string& data) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        ::sendto(m_socket, data.data(), static_cast<int>(data.size()), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }

private:
    PeerSocket m_socket = kNoSocket;
    int m_port = 0;
    sockaddr_in m_from{};
};

}  // namespace testsupport
