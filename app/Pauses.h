#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "platform/Controls.h"
#include "platform/EventLoop.h"

namespace app {

// The program's pauses (after each broadcast line) and failure boxes, and
// what they hold. From the start of one until the input that waited has
// been handled, a timer's tick is kept (one per timer: a timer never queues
// missed ticks); until it is over, the socket's datagrams stay in the socket.
// Afterwards they run in the order Windows gives its messages: the replies
// at once (posted messages), then the input that waited, then the ticks that
// fell due for the timers still running (a timer message comes only when
// nothing else waits), so a Stop clicked during a broadcast stops it before
// a held tick can start another.
class Pauses {
public:
    // At most this many datagrams are taken in one pass of the event loop,
    // so that a flood of replies cannot keep the window from its input.
    static constexpr int kReplySlice = 256;

    explicit Pauses(platform::IEventLoop& loop) : m_loop(loop) {}
    Pauses(const Pauses&) = delete;
    Pauses& operator=(const Pauses&) = delete;

    // Blocks the program for the user, the window kept alive.
    void sleep(std::uint32_t milliseconds);
    // The loop's steady time, in milliseconds.
    std::int64_t now() const { return m_loop.milliseconds(); }
    // Runs body (a failure box) with ticks and replies held until it returns,
    // so that one failure cannot stack another box behind it.
    void holdEvents(const std::function<void()>& body);
    bool held() const { return m_depth > 0 || m_releasing; }

    // A timer's tick: run now, or kept until the input that waited has been
    // handled, and then run only if the timer still runs.
    void tick(const platform::ITimer& timer, std::function<void()> run);
    // Datagrams wait in the socket: takeOne takes one, or answers false when
    // none waits. Taken now, a slice at a time, or once the hold is over.
    void arrivals(std::function<bool()> takeOne);

private:
    class Hold;
    void release();
    void runHeldTicks();

    platform::IEventLoop& m_loop;
    int m_depth = 0;
    bool m_releasing = false;
    std::vector<std::pair<const platform::ITimer*, std::function<void()>>> m_heldTicks;
    std::function<bool()> m_heldArrivals;
};

}  // namespace app
