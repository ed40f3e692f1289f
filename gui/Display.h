#pragma once

#include "platform/DisplayFacts.h"

namespace gui {

using namespace platform;

// The primary screen's depth, horizontal logical DPI and work area, for the
// machine information.
DisplayFacts primaryDisplayFacts();

}  // namespace gui
