#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// What a pause needs of a front-end's event loop: its way of waiting with
// the window kept alive, and of running something later. What a pause holds
// and in which order it lets go is decided once, in the core (app::Pauses).
class IEventLoop {
public:
    virtual ~IEventLoop() = default;
    // Waits this long keeping the window painted and answering the window
    // system (its pings, Windows' hung-window check); no input, timer tick or
    // socket report reaches the program meanwhile.
    virtual void wait(std::uint32_t milliseconds) = 0;
    // A steady count of milliseconds, in the time the waits and the timers
    // of this loop pass in (never set back, whatever the wall clock does).
    virtual std::int64_t milliseconds() const = 0;
    // Runs the function from the event loop, after what is already queued
    // and before the input that waits in the window system.
    virtual void post(std::function<void()> function) = 0;
    // Runs the function from the event loop once the input that waited has
    // been handed over, as a timer message comes only when nothing else waits.
    virtual void afterInput(std::function<void()> function) = 0;
    // Whether the socket's watcher tells that datagrams wait: not while they
    // are held, nor while one is being taken (its handler may show a box).
    virtual void reportArrivals(bool on) = 0;
};

}  // namespace platform
