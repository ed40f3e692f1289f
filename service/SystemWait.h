#pragma once

#include <cstdint>

#include "platform/DatagramSource.h"

namespace service {

// What the service's loop needs of the system: a clock that never goes back,
// and a wait that ends at a deadline, or sooner when the socket has something
// to read or a signal has come (the end: SIGTERM, SIGINT, Ctrl+C, the console
// closed; a reload: SIGHUP).
class ISystemWait {
public:
    enum Signal : unsigned { kEnd = 1, kReload = 2 };

    virtual ~ISystemWait() = default;
    // Milliseconds since some fixed moment.
    virtual std::int64_t now() = 0;
    // Waits until the deadline (on now()'s clock), a signal among wakeFor is
    // pending, or the socket (-1: none) is readable.
    virtual void waitUntil(std::int64_t deadline, platform::SocketHandle socket, unsigned wakeFor) = 0;
    // The pending signals among these, taken.
    virtual unsigned takeSignals(unsigned which) = 0;
};

}  // namespace service
