#pragma once

#include "platform/SocketsLibrary.h"

namespace platform::win {

// Winsock itself. gethostbyname is Winsock's own (IPv4, the resolver's
// order); the default route's interface comes from GetBestInterface and its
// address from GetAdaptersAddresses.
class WinSocketsLibrary : public ISocketsLibrary {
public:
    int WSAStartup(std::uint16_t versionRequested, WsaData* data) override;
    int WSACleanup() override;
    int WSAGetLastError() override;
    int gethostname(std::string* name, int bufferLength) override;
    bool gethostbyname(const std::string& name, HostEntry* entry) override;
    std::vector<std::uint8_t> routedAddress() override;
};

}  // namespace platform::win
