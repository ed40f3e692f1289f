#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// A socket's handle at the platform's width (a pointer-sized SOCKET on
// Windows, a file descriptor on POSIX); -1 for none.
using SocketHandle = std::intptr_t;

// What the event loop needs to watch a datagram socket: its descriptor while
// it is open, the size of the datagram waiting, and word when it opens and
// before it closes.
class IDatagramSource {
public:
    virtual ~IDatagramSource() = default;
    // The descriptor to watch for reading, or -1 while closed.
    virtual SocketHandle descriptor() const = 0;
    // The size of the datagram waiting to be read, or -1 when none is.
    virtual long pendingDatagramSize() = 0;
    // Called with the descriptor when the source opens, and before it closes;
    // empty functions stop the calls.
    virtual void watch(std::function<void(SocketHandle descriptor)> opened, std::function<void()> closing) = 0;
};

}  // namespace platform
