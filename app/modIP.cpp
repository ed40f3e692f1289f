#include "app/modIP.h"

#include <algorithm>

#include "app/Texts.h"
#include "support/Text.h"

namespace app::modIP {

namespace mb = platform::mb;

bool StartSockets(platform::ISocketsLibrary& sockets, platform::IMessageBox& messageBox) {
    platform::WsaData data;
    if (sockets.WSAStartup(0x0101, &data) != 0) {
        messageBox.show("The 32-bit Windows Socket is not responding.", mb::kOkOnly, kAppTitle);
        return false;
    }
    if (data.iMaxSockets < 1) {
        messageBox.show(std::string("This application requires a minimum of ") + "1" + " supported sockets.",
                        mb::kOkOnly, kAppTitle);
        sockets.WSACleanup();
        return false;
    }
    const int major = LowByte(data.wVersion), minor = HighByte(data.wVersion);
    if (major < 1 || (major == 1 && minor < 1)) {
        messageBox.show("Sockets version " + std::to_string(major) + "." + std::to_string(minor) +
                            " is not supported by 32-bit Windows Sockets.",
                        mb::kOkOnly, kAppTitle);
        sockets.WSACleanup();
        return false;
    }
    return true;
}

void StopSockets(platform::ISocketsLibrary& sockets, platform::IMessageBox& messageBox) {
    if (sockets.WSACleanup() != 0) messageBox.show("Socket error occurred in Cleanup.", mb::kOkOnly, kAppTitle);
}

std::string GetLocalAddress(platform::ISocketsLibrary& sockets, platform::IMessageBox& messageBox) {
    if (!StartSockets(sockets, messageBox)) return {};
    std::string hostName;
    if (sockets.gethostname(&hostName, 256) == platform::kSocketError) {
        messageBox.show("Windows Sockets error " + std::to_string(sockets.WSAGetLastError()) +
                            " has occurred. Unable to successfully get Host Name.",
                        mb::kOkOnly, kAppTitle);
        StopSockets(sockets, messageBox);
        return {};
    }
    hostName = support::trimBlanks(hostName);
    platform::HostEntry entry;
    if (!sockets.gethostbyname(hostName, &entry) || entry.h_addr_list.empty()) {
        messageBox.show(std::string("Windows Sockets are not responding. ") + "Unable to successfully get Host Name.",
                        mb::kOkOnly, kAppTitle);
        StopSockets(sockets, messageBox);
        return {};
    }
    std::vector<std::uint8_t> first = entry.h_addr_list.front();
    // Debian and Ubuntu map the host name to 127.0.1.1, which no game server
    // can be told to reach: then the address the machine is reached on.
    const bool loopbackOnly = std::all_of(entry.h_addr_list.begin(), entry.h_addr_list.end(),
                                          [](const auto& a) { return !a.empty() && a[0] == 127; });
    if (loopbackOnly)
        if (std::vector<std::uint8_t> routed = sockets.routedAddress(); !routed.empty()) first = std::move(routed);
    std::string text;
    for (std::size_t i = 0; i < static_cast<std::size_t>(std::max<std::int16_t>(entry.h_length, 0)) && i < first.size();
         ++i)
        text += std::to_string(first[i]) + ".";
    if (!text.empty()) text.pop_back();
    StopSockets(sockets, messageBox);
    return text;
}

}  // namespace app::modIP
