#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// What blocks the whole program for the user. During a pause no input, timer
// tick or reply reaches the window's logic before it returns; the window stays
// painted and keeps answering the window manager.
class ISleeper {
public:
    virtual ~ISleeper() = default;
    virtual void sleep(std::uint32_t milliseconds) = 0;
    // Runs body (a failure box) with the timer ticks and replies held back
    // until it returns, so that one failure cannot stack another box behind it.
    virtual void holdEvents(const std::function<void()>& body) = 0;
};

}  // namespace platform
