#include "platform/win/WinSocketsLibrary.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <iphlpapi.h>
#include <windows.h>

namespace platform::win {

int WinSocketsLibrary::WSAStartup(std::uint16_t versionRequested, WsaData* data) {
    WSADATA d{};
    const int rc = ::WSAStartup(versionRequested, &d);
    if (data) {
        data->wVersion = d.wVersion;
        data->wHighVersion = d.wHighVersion;
        data->iMaxSockets = d.iMaxSockets;
    }
    return rc;
}

int WinSocketsLibrary::WSACleanup() { return ::WSACleanup(); }

int WinSocketsLibrary::WSAGetLastError() { return ::WSAGetLastError(); }

int WinSocketsLibrary::gethostname(std::string* name, int bufferLength) {
    std::string buffer(static_cast<std::size_t>(bufferLength > 0 ? bufferLength : 1), '\0');
    if (::gethostname(buffer.data(), static_cast<int>(buffer.size())) != 0) return kSocketError;
    buffer.back() = '\0';
    *name = buffer.substr(0, buffer.find('\0'));
    return 0;
}

bool WinSocketsLibrary::gethostbyname(const std::string& name, HostEntry* entry) {
    const hostent* host = ::gethostbyname(name.c_str());
    if (!host || host->h_addrtype != AF_INET) return false;
    entry->h_length = host->h_length;
    entry->h_addr_list.clear();
    for (char** a = host->h_addr_list; *a; ++a) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(*a);
        entry->h_addr_list.emplace_back(bytes, bytes + host->h_length);
    }
    return !entry->h_addr_list.empty();
}

std::vector<std::uint8_t> WinSocketsLibrary::routedAddress() {
    // The interface Windows would send to an outside address through.
    DWORD routed = 0;
    const bool haveRoute = GetBestInterface(htonl(0x08080808), &routed) == NO_ERROR;

    ULONG size = 16 * 1024;
    std::vector<std::uint8_t> storage;
    ULONG rc = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && rc == ERROR_BUFFER_OVERFLOW; ++attempt) {
        storage.resize(size);
        rc = GetAdaptersAddresses(AF_INET, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
                                  nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(storage.data()), &size);
    }
    if (rc != NO_ERROR) return {};
    std::vector<std::uint8_t> chosen, firstOther;
    for (auto* a = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(storage.data()); a; a = a->Next) {
        if (a->OperStatus != IfOperStatusUp || a->IfType == IF_TYPE_SOFTWARE_LOOPBACK) continue;
        for (auto* u = a->FirstUnicastAddress; u; u = u->Next) {
            if (!u->Address.lpSockaddr || u->Address.lpSockaddr->sa_family != AF_INET) continue;
            const auto* in = reinterpret_cast<const sockaddr_in*>(u->Address.lpSockaddr);
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(&in->sin_addr.s_addr);
            if (haveRoute && a->IfIndex == routed && chosen.empty()) chosen.assign(bytes, bytes + 4);
            if (firstOther.empty()) firstOther.assign(bytes, bytes + 4);
        }
    }
    return chosen.empty() ? firstOther : chosen;
}

}  // namespace platform::win
