#pragma once

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

}  // namespace support
