#pragma once

#include <cstdint>
#include <string>

namespace platform {

// What state() answers.
inline constexpr std::int16_t kSocketClosed = 0;
inline constexpr std::int16_t kSocketOpen = 1;

// The UDP socket control. Failures are thrown as base::AppError carrying
// the Windows Sockets number of the condition (10054 port unreachable, 10040
// datagram too long, 11001 unknown host, ...).
class ISocket {
public:
    virtual ~ISocket() = default;
    virtual void setRemoteHost(const std::string& host) = 0;
    virtual void setRemotePort(std::int32_t port) = 0;
    // kSocketOpen when open (bound), kSocketClosed when closed.
    virtual std::int16_t state() const = 0;
    // Opens the socket on any free local port.
    virtual void bind() = 0;
    // Sends the text as one datagram, one byte per character.
    virtual void sendData(const std::string& data) = 0;
    // The datagram that has arrived, one character per byte.
    virtual std::string getData() = 0;
    // The size of the datagram waiting to be read, or -1 when none is (an
    // error the host reported meanwhile is kept for the next send).
    virtual long pendingDatagramSize() = 0;
    virtual void close() = 0;
};

}  // namespace platform
