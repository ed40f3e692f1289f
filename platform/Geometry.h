#pragma once

#include <cstdint>

namespace platform {

// A window's handle, at the width of a pointer as the platform's is; 0 is none.
using WindowHandle = std::intptr_t;

// A rectangle by its edges, in the window system's units.
struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

}  // namespace platform
