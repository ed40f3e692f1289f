#include "platform/posix/PosixSocketsLibrary.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/posix/PosixUdpSocket.h"

namespace platform::posix {

int PosixSocketsLibrary::WSAStartup(std::uint16_t, WsaData* data) {
    if (data) {
        data->wVersion = 0x0101;
        data->wHighVersion = 0x0202;
        data->iMaxSockets = 32767;
    }
    return 0;
}

int PosixSocketsLibrary::gethostname(std::string* name, int bufferLength) {
    std::string buffer(static_cast<std::size_t>(bufferLength > 0 ? bufferLength : 1), '\0');
    if (::gethostname(buffer.data(), buffer.size()) != 0) {
        m_lastError = winsockError(errno);
        return kSocketError;
    }
    buffer.back() = '\0';
    *name = buffer.substr(0, buffer.find('\0'));
    return 0;
}

bool PosixSocketsLibrary::gethostbyname(const std::string& name, HostEntry* entry) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    const int rc = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (rc != 0) {
        m_lastError = resolverError(rc);
        return false;
    }
    entry->h_length = 4;
    entry->h_addr_list.clear();
    for (const addrinfo* a = found; a; a = a->ai_next) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&in->sin_addr.s_addr);
        entry->h_addr_list.emplace_back(bytes, bytes + 4);
    }
    ::freeaddrinfo(found);
    return !entry->h_addr_list.empty();
}

namespace {

std::string defaultRouteInterface() {
    std::ifstream routes("/proc/net/route");
    std::string line, best;
    long bestMetric = LONG_MAX;
    std::getline(routes, line);  // the column names
    while (std::getline(routes, line)) {
        std::istringstream fields(line);
        std::string iface, destination, gateway, flags, refs, use, mask;
        long metric = 0;
        if (!(fields >> iface >> destination >> gateway >> flags >> refs >> use >> metric >> mask)) continue;
        const unsigned long up = std::stoul(flags, nullptr, 16) & 1;  // RTF_UP
        if (destination == "00000000" && mask == "00000000" && up && metric < bestMetric) {
            best = iface;
            bestMetric = metric;
        }
    }
    return best;
}

}  // namespace

std::vector<std::uint8_t> PosixSocketsLibrary::routedAddress() {
    const std::string routed = defaultRouteInterface();
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return {};
    std::vector<std::uint8_t> chosen, firstOther;
    for (const ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET) continue;
        if (!(a->ifa_flags & IFF_UP) || (a->ifa_flags & IFF_LOOPBACK)) continue;
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&in->sin_addr.s_addr);
        if (!routed.empty() && routed == a->ifa_name && chosen.empty()) chosen.assign(bytes, bytes + 4);
        if (firstOther.empty()) firstOther.assign(bytes, bytes + 4);
    }
    ::freeifaddrs(list);
    return chosen.empty() ? firstOther : chosen;
}

}  // namespace platform::posix
