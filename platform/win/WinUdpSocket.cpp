#include "platform/win/WinUdpSocket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include "base/ExeName.h"
#include "base/AppError.h"

namespace platform::win {

namespace {

constexpr int kMaxDatagram = 65536;

SOCKET socketOf(SocketHandle handle) { return static_cast<SOCKET>(handle); }

[[noreturn]] void fail(int number, const std::string& description) {
    throw base::AppError(number, std::string(base::kExeName) + ".Winsock", description);
}

[[noreturn]] void failWith(int number) { fail(number, winsockText(number)); }

}  // namespace

std::string winsockText(int number) {
    char* text = nullptr;
    const DWORD n =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(number), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string out = n && text ? std::string(text, n) : "Windows Sockets error " + std::to_string(number);
    if (text) LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ' || out.back() == '.'))
        out.pop_back();
    return out;
}

WinUdpSocket::WinUdpSocket() {
    WSADATA data{};
    m_started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

WinUdpSocket::~WinUdpSocket() {
    close();
    if (m_started) WSACleanup();
}

void WinUdpSocket::setRemotePort(std::int32_t port) {
    if (port < 1 || port > 65535) fail(10014, "The port must be a number from 1 to 65535");
    m_lRemotePort = port;
}

void WinUdpSocket::bind() {
    if (m_socket != kClosed) fail(10022, "The socket is already open");
    if (!m_started) failWith(WSANOTINITIALISED);
    // Windows resolves an empty name to this machine: no server has no address.
    if (m_sRemoteHost.empty()) failWith(WSAHOST_NOT_FOUND);

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(m_lRemotePort);
    if (const int rc = getaddrinfo(m_sRemoteHost.c_str(), port.c_str(), &hints, &found); rc != 0) failWith(rc);
    sockaddr_in server{};
    memcpy(&server, found->ai_addr, sizeof server);
    freeaddrinfo(found);

    const SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) failWith(WSAGetLastError());
    // Room for the replies that arrive while a broadcast pauses between lines.
    const int receiveBuffer = 1 << 20;
    setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer), sizeof receiveBuffer);
    u_long nonBlocking = 1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0 ||
        ::bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::connect(s, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0) {
        const int err = WSAGetLastError();
        closesocket(s);
        failWith(err);
    }
    m_socket = static_cast<SocketHandle>(s);
    m_pendingError = 0;
    if (m_onOpened) m_onOpened(m_socket);
}

void WinUdpSocket::sendData(const std::string& data) {
    // The socket sends only while bound: a send on a closed one (after a
    // close, or before the first bind) is refused as a send on a socket that
    // has been shut down.
    if (m_socket == kClosed) fail(10058, "The socket is closed");
    if (m_pendingError != 0) {
        const int err = m_pendingError;
        m_pendingError = 0;
        failWith(err);
    }
    if (data.size() > static_cast<std::size_t>(kMaxDatagram)) failWith(WSAEMSGSIZE);
    if (::send(socketOf(m_socket), data.data(), static_cast<int>(data.size()), 0) == SOCKET_ERROR)
        failWith(WSAGetLastError());
}

std::string WinUdpSocket::getData() {
    if (m_socket == kClosed) return {};
    if (m_buffer.size() < static_cast<std::size_t>(kMaxDatagram)) m_buffer.resize(kMaxDatagram);
    const int n = ::recv(socketOf(m_socket), m_buffer.data(), kMaxDatagram, 0);
    if (n >= 0) return std::string(m_buffer.data(), static_cast<std::size_t>(n));
    const int err = WSAGetLastError();
    if (err == WSAEWOULDBLOCK) return {};
    failWith(err);
}

long WinUdpSocket::pendingDatagramSize() {
    if (m_socket == kClosed) return -1;
    // FIONREAD counts every datagram waiting; a peek reads the first one's size.
    if (m_buffer.size() < static_cast<std::size_t>(kMaxDatagram)) m_buffer.resize(kMaxDatagram);
    const int n = ::recv(socketOf(m_socket), m_buffer.data(), kMaxDatagram, MSG_PEEK);
    if (n >= 0) return n;
    const int err = WSAGetLastError();
    if (err != WSAEWOULDBLOCK) m_pendingError = err;
    return -1;
}

void WinUdpSocket::close() {
    if (m_socket == kClosed) return;
    if (m_onClosing) m_onClosing();
    closesocket(socketOf(m_socket));
    m_socket = kClosed;
    m_pendingError = 0;
}

}  // namespace platform::win
