#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/DatagramSource.h"
#include "platform/Socket.h"

namespace platform::posix {

// A BSD UDP socket, bound to any local port and connected to the server, so
// that the server host's "port unreachable" reaches us and surfaces as 10054
// on the next send. Non-blocking: the window's event loop watches descriptor().
class PosixUdpSocket : public ISocket, public IDatagramSource {
public:
    PosixUdpSocket() = default;
    ~PosixUdpSocket() override;
    PosixUdpSocket(const PosixUdpSocket&) = delete;
    PosixUdpSocket& operator=(const PosixUdpSocket&) = delete;

    void setRemoteHost(const std::string& host) override { m_sRemoteHost = host; }
    // A port outside 1 to 65535 is refused with 10014.
    void setRemotePort(std::int32_t port) override;
    std::int16_t state() const override { return m_fd >= 0 ? 1 : 0; }
    void bind() override;
    void sendData(const std::string& data) override;
    std::string getData() override;
    void close() override;

    SocketHandle descriptor() const override { return m_fd; }

    // An error the kernel reports instead of a datagram (the server host's
    // "port unreachable") is taken off the socket here and raised by the
    // next send.
    long pendingDatagramSize() override;
    void watch(std::function<void(SocketHandle)> opened, std::function<void()> closing) override {
        m_onOpened = std::move(opened);
        m_onClosing = std::move(closing);
    }

    // How many datagrams the kernel dropped for this socket since it opened
    // (its receive buffer was full), as of the last datagram read.
    std::uint32_t droppedDatagrams() const { return m_dropped; }

private:
    std::function<void(SocketHandle)> m_onOpened;
    std::function<void()> m_onClosing;
    int m_fd = -1;
    int m_pendingError = 0;
    std::string m_sRemoteHost;
    std::int32_t m_lRemotePort = 0;
    std::uint32_t m_dropped = 0;
    std::vector<char> m_buffer;  // one datagram's room, kept between reads
};

// The Windows Sockets number of an errno value (7 for out of memory).
std::int32_t winsockError(int err);
// The Windows Sockets number of a getaddrinfo failure (11001 host not found).
std::int32_t resolverError(int rc);

}  // namespace platform::posix
