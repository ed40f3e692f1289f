#pragma once

#include <algorithm>
#include <cstddef>

namespace app {

// What both windows do alike with the preview under the message (the
// fields themselves are the form's table, app/FormFields.h).

// The preview under the message gives each line of the message a row of its
// own, up to kPreviewMostRows, and scrolls the lines past them: no line is
// cut in half, and the message's field keeps its room.
inline constexpr int kPreviewMostRows = 5;

inline int previewRows(std::size_t lines) {
    return static_cast<int>(std::clamp<std::size_t>(lines, 1, kPreviewMostRows));
}

}  // namespace app
