#pragma once

#include "platform/DisplayFacts.h"

namespace gui {

// The primary screen's depth, horizontal logical DPI and work area, for the
// machine information.
platform::DisplayFacts primaryDisplayFacts();

}  // namespace gui
