#pragma once

#include "platform/MachineInfo.h"

namespace platform {

// What the window system knows of the display; the view fills it in from the
// primary screen for the machine information.
struct DisplayFacts {
    int bitsPerPixel = 24;
    int planes = 1;
    int dotsPerInchX = 96;
    Rect workArea{0, 0, 1024, 768};
};

}  // namespace platform
