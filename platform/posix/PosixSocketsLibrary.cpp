#include "platform/posix/PosixSocketsLibrary.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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
        m_lastError = rc == EAI_AGAIN ? 11002 : rc == EAI_FAIL ? 11003 : 11001;
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

}  // namespace platform::posix
