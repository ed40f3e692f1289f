#pragma once

#include "platform/SocketsLibrary.h"

namespace platform::posix {

// POSIX sockets need no starting: the library answers as version 1.1 with
// room for any number of sockets; names resolve through getaddrinfo.
class PosixSocketsLibrary : public ISocketsLibrary {
public:
    int WSAStartup(std::uint16_t versionRequested, WsaData* data) override;
    int WSACleanup() override { return 0; }
    int WSAGetLastError() override { return m_lastError; }
    int gethostname(std::string* name, int bufferLength) override;
    bool gethostbyname(const std::string& name, HostEntry* entry) override;
    // The default route's interface from /proc/net/route (the lowest metric),
    // its address from getifaddrs.
    std::vector<std::uint8_t> routedAddress() override;

private:
    int m_lastError = 0;
};

}  // namespace platform::posix
