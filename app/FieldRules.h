#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "app/RconSession.h"

namespace app {

// What both windows do alike with the fields around the message.

// The spin fields' arrows step a whole number within these bounds, the
// numbers the form keeps with each field; what the user types is not bounded.
struct SpinBounds {
    int low;
    int high;
};
inline constexpr SpinBounds kMessageTimeArrows{1, 30};
inline constexpr SpinBounds kMsgDelayArrows{5, 30};
inline constexpr SpinBounds kStatusArrows{1, 30};

// The port field takes digits only, at most six, as typed or pasted.
inline constexpr int kPortDigits = 6;
inline bool isPortInput(std::string_view text) {
    return text.size() <= static_cast<std::size_t>(kPortDigits) &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The delay field's tooltip: the bounds the pause is kept within.
inline std::string lineDelayTip() {
    return "Seconds to pause after each line, from 0 to " + std::to_string(static_cast<int>(kMaxLineDelaySeconds)) +
           " (0 means 2). The window takes no input during the pause.";
}

// The preview under the message gives each line of the message a row of its
// own, up to kPreviewMostRows, and scrolls the lines past them: no line is
// cut in half, and the message's field keeps its room.
inline constexpr int kPreviewMostRows = 5;

inline int previewRows(std::size_t lines) {
    return static_cast<int>(std::clamp<std::size_t>(lines, 1, kPreviewMostRows));
}

}  // namespace app
