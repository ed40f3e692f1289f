#pragma once

#include <cstdint>
#include <vector>

namespace base {

// A 32-bit number as the registry keeps it: four bytes, least significant first.
inline std::uint32_t loadLittleEndian32(const std::uint8_t* b) {
    return std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 24);
}

inline std::vector<std::uint8_t> littleEndian32(std::uint32_t n) {
    return {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n >> 16),
            static_cast<std::uint8_t>(n >> 24)};
}

}  // namespace base
