#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/DatagramSource.h"
#include "platform/Socket.h"

namespace platform::win {

// A Winsock UDP socket, bound to any local port and connected to the server,
// so that the server host's "port unreachable" reaches us (as 10054 on the
// next read) and surfaces on the next send. Non-blocking: the window learns of
// datagrams through WSAAsyncSelect on descriptor(). Winsock's error numbers
// are the ones the logic knows.
class WinUdpSocket : public ISocket, public IDatagramSource {
public:
    WinUdpSocket();
    ~WinUdpSocket() override;
    WinUdpSocket(const WinUdpSocket&) = delete;
    WinUdpSocket& operator=(const WinUdpSocket&) = delete;

    void setRemoteHost(const std::string& host) override { m_sRemoteHost = host; }
    // A port outside 1 to 65535 is refused with 10014.
    void setRemotePort(std::int32_t port) override;
    std::int16_t state() const override { return m_socket != kClosed ? 1 : 0; }
    void bind() override;
    void sendData(const std::string& data) override;
    std::string getData() override;
    void close() override;

    SocketHandle descriptor() const override { return m_socket; }
    // An error Winsock reports instead of a datagram is taken off the socket
    // here and raised by the next send.
    long pendingDatagramSize() override;
    void watch(std::function<void(SocketHandle)> opened, std::function<void()> closing) override {
        m_onOpened = std::move(opened);
        m_onClosing = std::move(closing);
    }

private:
    static constexpr SocketHandle kClosed = -1;

    std::function<void(SocketHandle)> m_onOpened;
    std::function<void()> m_onClosing;
    SocketHandle m_socket = kClosed;
    int m_pendingError = 0;
    bool m_started = false;
    std::string m_sRemoteHost;
    std::int32_t m_lRemotePort = 0;
    std::vector<char> m_buffer;  // one datagram's room, kept between reads
};

// Winsock's text for an error number, from the system's message table.
std::string winsockText(int number);

}  // namespace platform::win
