#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The UDP socket control. Failures are thrown as support::AppError carrying
// the Windows Sockets number of the condition (10054 port unreachable, 10040
// datagram too long, 11001 unknown host, ...).
class ISocket {
public:
    virtual ~ISocket() = default;
    virtual void setRemoteHost(const std::string& host) = 0;
    virtual void setRemotePort(std::int32_t port) = 0;
    // 1 when open (bound), 0 when closed.
    virtual std::int16_t state() const = 0;
    // Opens the socket on any free local port.
    virtual void bind() = 0;
    // Sends the text as one datagram, one byte per character.
    virtual void sendData(const std::string& data) = 0;
    // The datagram that has arrived, one character per byte.
    virtual std::string getData() = 0;
    virtual void close() = 0;
};

}  // namespace platform
