#include "platform/posix/PosixUdpSocket.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "base/ExeName.h"
#include "base/AppError.h"

namespace platform::posix {

namespace {

constexpr std::size_t kMaxDatagram = 65536;

[[noreturn]] void fail(std::int32_t number, const std::string& description) {
    throw base::AppError(number, std::string(base::kExeName) + ".Winsock", description);
}

[[noreturn]] void failErrno(int err) { fail(winsockError(err), std::strerror(err)); }

}  // namespace

std::int32_t winsockError(int err) {
    switch (err) {
    case ENOMEM: return 7;
    case EINTR: return 10004;
    case EBADF: return 10009;
    case EACCES: return 10013;
    case EFAULT: return 10014;
    case EINVAL: return 10022;
    case EMFILE:
    case ENFILE: return 10024;
    case EAGAIN: return 10035;
    case ENOTSOCK: return 10038;
    case EDESTADDRREQ: return 10039;
    case EMSGSIZE: return 10040;
    case EPROTOTYPE: return 10041;
    case EPROTONOSUPPORT: return 10043;
    case EOPNOTSUPP: return 10045;
    case EAFNOSUPPORT: return 10047;
    case EADDRINUSE: return 10048;
    case EADDRNOTAVAIL: return 10049;
    case ENETDOWN: return 10050;
    case ENETUNREACH: return 10051;
    case ECONNABORTED: return 10053;
    case ECONNRESET:
    case ECONNREFUSED: return 10054;
    case ENOBUFS: return 10055;
    case EISCONN: return 10056;
    case ENOTCONN: return 10057;
    case ESHUTDOWN: return 10058;
    case ETIMEDOUT: return 10060;
    case EHOSTDOWN: return 10064;
    case EHOSTUNREACH: return 10065;
    default: return 10022;
    }
}

std::int32_t resolverError(int rc) { return rc == EAI_AGAIN ? 11002 : rc == EAI_FAIL ? 11003 : 11001; }

PosixUdpSocket::~PosixUdpSocket() { close(); }

void PosixUdpSocket::setRemotePort(std::int32_t port) {
    if (port < 1 || port > 65535) fail(10014, "The port must be a number from 1 to 65535");
    m_lRemotePort = port;
}

void PosixUdpSocket::bind() {
    if (m_fd >= 0) fail(10022, "The socket is already open");

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(m_lRemotePort);
    const int rc = getaddrinfo(m_sRemoteHost.c_str(), port.c_str(), &hints, &found);
    if (rc != 0) {
        if (rc == EAI_SYSTEM) failErrno(errno);
        fail(resolverError(rc), gai_strerror(rc));
    }
    std::vector<std::uint8_t> address(reinterpret_cast<std::uint8_t*>(found->ai_addr),
                                      reinterpret_cast<std::uint8_t*>(found->ai_addr) + found->ai_addrlen);
    freeaddrinfo(found);

    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) failErrno(errno);
    // Room for the replies that arrive while a broadcast pauses between lines
    // (the kernel caps it at its own limit).
    const int receiveBuffer = 1 << 20;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    // Each datagram comes with the count of those this socket had to drop.
    const int countDrops = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_RXQ_OVFL, &countDrops, sizeof countDrops);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::connect(fd, reinterpret_cast<sockaddr*>(address.data()), static_cast<socklen_t>(address.size())) != 0) {
        const int err = errno;
        ::close(fd);
        failErrno(err);
    }
    m_fd = fd;
    m_pendingError = 0;
    m_dropped = 0;
    if (m_onOpened) m_onOpened(m_fd);
}

void PosixUdpSocket::sendData(const std::string& data) {
    // The socket sends only while bound: a send on a closed one (after a
    // close, or before the first bind) is refused as a send on a socket that
    // has been shut down.
    if (m_fd < 0) fail(10058, "The socket is closed");
    if (m_pendingError != 0) {
        const int err = m_pendingError;
        m_pendingError = 0;
        failErrno(err);
    }
    while (true) {
        const ssize_t n = ::send(m_fd, data.data(), data.size(), 0);
        if (n >= 0) return;
        if (errno == EINTR) continue;
        failErrno(errno);
    }
}

std::string PosixUdpSocket::getData() {
    if (m_fd < 0) return {};
    if (m_buffer.size() < kMaxDatagram) m_buffer.resize(kMaxDatagram);
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(std::uint32_t))];
    while (true) {
        iovec io{m_buffer.data(), m_buffer.size()};
        msghdr message{};
        message.msg_iov = &io;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t n = ::recvmsg(m_fd, &message, 0);
        if (n >= 0) {
            for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c))
                if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SO_RXQ_OVFL)
                    std::memcpy(&m_dropped, CMSG_DATA(c), sizeof m_dropped);
            return std::string(m_buffer.data(), static_cast<std::size_t>(n));
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN) return {};
        failErrno(errno);
    }
}

long PosixUdpSocket::pendingDatagramSize() {
    if (m_fd < 0) return -1;
    char probe = 0;
    while (true) {
        const ssize_t n = ::recv(m_fd, &probe, 1, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
        if (n >= 0) return static_cast<long>(n);
        if (errno == EINTR) continue;
        if (errno != EAGAIN) m_pendingError = errno;
        return -1;
    }
}

void PosixUdpSocket::close() {
    if (m_fd < 0) return;
    if (m_onClosing) m_onClosing();
    ::close(m_fd);
    m_fd = -1;
    m_pendingError = 0;
}

}  // namespace platform::posix
