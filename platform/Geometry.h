#pragma once

#include <cstdint>

namespace platform {

// A rectangle by its edges, in the window system's units.
struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

}  // namespace platform
