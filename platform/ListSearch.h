#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The combo box's two list searches, from the top and without regard to
// letter case (Latin-1): the first entry that begins with the text, and the
// first entry equal to it. Both answer -1 when nothing matches.
inline unsigned char foldLatin1(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    return c;
}

inline bool startsWithFolded(std::string_view entry, std::string_view prefix) {
    if (prefix.size() > entry.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (foldLatin1(static_cast<unsigned char>(entry[i])) != foldLatin1(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

inline int findStringInList(const std::vector<std::string>& entries, std::string_view text, bool exact) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (startsWithFolded(entries[i], text) && (!exact || entries[i].size() == text.size()))
            return static_cast<int>(i);
    return -1;
}

}  // namespace platform
