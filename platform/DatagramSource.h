#pragma once

#include <functional>

namespace platform {

// What the event loop needs to watch a datagram socket: its descriptor while
// it is open, the size of the datagram waiting, and word when it opens and
// before it closes.
class IDatagramSource {
public:
    virtual ~IDatagramSource() = default;
    // The descriptor to watch for reading, or -1 while closed.
    virtual int descriptor() const = 0;
    // The size of the datagram waiting to be read, or -1 when none is.
    virtual long pendingDatagramSize() = 0;
    // Called with the descriptor when the source opens, and before it closes;
    // empty functions stop the calls.
    virtual void watch(std::function<void(int descriptor)> opened, std::function<void()> closing) = 0;
};

}  // namespace platform
