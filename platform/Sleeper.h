#pragma once

#include <cstdint>

namespace platform {

// Blocks the whole program for a number of milliseconds: no input, timer or
// socket event is handled before it returns.
class ISleeper {
public:
    virtual ~ISleeper() = default;
    virtual void sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace platform
