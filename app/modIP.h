#pragma once

#include <cstdint>
#include <string>

#include "platform/Controls.h"
#include "platform/SocketsLibrary.h"

namespace app::modIP {

// This machine's IPv4 address as dotted text, or empty after a box that says
// what failed. The sockets library is started and released around the lookup.
std::string GetLocalAddress(platform::ISocketsLibrary& sockets, platform::IMessageBox& messageBox);
bool StartSockets(platform::ISocketsLibrary& sockets, platform::IMessageBox& messageBox);
void StopSockets(platform::ISocketsLibrary& sockets, platform::IMessageBox& messageBox);

inline std::uint8_t LowByte(std::uint16_t value) { return static_cast<std::uint8_t>(value & 0xFF); }
inline std::uint8_t HighByte(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }

}  // namespace app::modIP
