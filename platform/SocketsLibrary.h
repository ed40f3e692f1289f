#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct WsaData {
    std::uint16_t wVersion = 0;  // low byte major, high byte minor
    std::uint16_t wHighVersion = 0;
    std::uint16_t iMaxSockets = 0;
};

struct HostEntry {
    std::int16_t h_length = 0;  // bytes of one address
    std::vector<std::vector<std::uint8_t>> h_addr_list;
};

inline constexpr int kSocketError = -1;

// The system's sockets library as the local address lookup uses it: started
// before and released after every lookup.
class ISocketsLibrary {
public:
    virtual ~ISocketsLibrary() = default;
    virtual int WSAStartup(std::uint16_t versionRequested, WsaData* data) = 0;
    virtual int WSACleanup() = 0;
    virtual int WSAGetLastError() = 0;
    // 0 and the name, or kSocketError.
    virtual int gethostname(std::string* name, int bufferLength) = 0;
    // The host's IPv4 addresses in the resolver's order; false when it has none.
    virtual bool gethostbyname(const std::string& name, HostEntry* entry) = 0;
    // The IPv4 address of the interface that carries the default route, else
    // of the first interface that is up and not loopback; empty when none is.
    virtual std::vector<std::uint8_t> routedAddress() = 0;
};

}  // namespace platform
