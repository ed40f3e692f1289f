#pragma once

#include <cstdint>
#include <string>

#include "platform/Socket.h"

namespace platform::posix {

// A BSD UDP socket, bound to any local port and connected to the server, so
// that the server host's "port unreachable" reaches us and surfaces as 10054
// on the next send. Non-blocking: the window's event loop watches fd().
class PosixUdpSocket : public ISocket {
public:
    PosixUdpSocket() = default;
    ~PosixUdpSocket() override;
    PosixUdpSocket(const PosixUdpSocket&) = delete;
    PosixUdpSocket& operator=(const PosixUdpSocket&) = delete;

    void setRemoteHost(const std::string& host) override { m_sRemoteHost = host; }
    void setRemotePort(std::int32_t port) override { m_lRemotePort = port; }
    std::int16_t state() const override { return m_fd >= 0 ? 1 : 0; }
    void bind() override;
    void sendData(const std::string& data) override;
    std::string getData() override;
    void close() override;

    int fd() const { return m_fd; }

private:
    int m_fd = -1;
    std::string m_sRemoteHost;
    std::int32_t m_lRemotePort = 0;
};

// The Windows Sockets number of an errno value (7 for out of memory).
std::int32_t winsockError(int err);

}  // namespace platform::posix
