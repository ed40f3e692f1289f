#pragma once

#include "platform/DisplayFacts.h"

namespace qtgui {

// The primary screen's depth, horizontal logical DPI and work area, for the
// machine information.
platform::DisplayFacts primaryDisplayFacts();

}  // namespace qtgui
