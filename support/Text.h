#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace support {

// Removes blanks (spaces only, not tabs) from both ends.
inline std::string trimBlanks(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(' ');
    return std::string(s.substr(first, last - first + 1));
}

// Cuts at every occurrence of the separator; every piece is kept, empty ones
// too, and a text without the separator gives one piece.
inline std::vector<std::string> splitText(std::string_view s, std::string_view separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = s.find(separator, start);
        if (at == std::string_view::npos) {
            pieces.emplace_back(s.substr(start));
            return pieces;
        }
        pieces.emplace_back(s.substr(start, at - start));
        start = at + separator.size();
    }
}

inline std::string replaceAll(std::string_view s, std::string_view what, std::string_view with) {
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = what.empty() ? std::string_view::npos : s.find(what, start);
        if (at == std::string_view::npos) {
            out.append(s.substr(start));
            return out;
        }
        out.append(s.substr(start, at - start));
        out.append(with);
        start = at + what.size();
    }
}

// 8-bit text (ISO-8859-1, one character a byte) and UTF-8; a character
// UTF-8 holds beyond ISO-8859-1 reads as `beyond`.
inline std::string utf8Of(std::string_view latin1) {
    std::string out;
    for (char c : latin1) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

inline std::string latin1Of(std::string_view utf8, char beyond = '?') {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += utf8[i];
            continue;
        }
        std::size_t extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        if ((b == 0xC2 || b == 0xC3) && i + 1 < utf8.size())
            out += static_cast<char>(((b & 0x03) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
        else
            out += beyond;
        i += std::min(extra, utf8.size() - 1 - i);
    }
    return out;
}

}  // namespace support
