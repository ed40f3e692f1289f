#pragma once

#include "platform/posix/PosixMachineInfo.h"

namespace platform::qt {

// The primary screen's depth, horizontal logical DPI and work area, for the
// machine information.
posix::DisplayFacts primaryDisplayFacts();

}  // namespace platform::qt
