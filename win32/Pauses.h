#pragma once

#include <windows.h>

#include <functional>

#include "platform/Sleeper.h"

namespace win32 {

// The program's pauses and failure boxes on the Win32 message loop.
//
// A pause keeps calling PeekMessage for paint and sent messages only, so the
// window stays painted and Windows never takes it for hung (no ghost window,
// no offer to end it), and the end of the session (a sent message) is not
// held; input, timer and socket messages wait in the queue. Afterwards
// Windows hands them over in its own order: posted messages (the replies)
// first, then input, and a timer message only when nothing else waits, so a
// Stop clicked during a broadcast is handled before any tick that fell due.
//
// A failure box runs its own message loop, which would dispatch ticks and
// replies into the window: while one is shown, held() tells the window to
// keep them, and released() runs once the last box is gone.
class Pauses : public platform::ISleeper {
public:
    void sleep(std::uint32_t milliseconds) override;
    void holdEvents(const std::function<void()>& body) override;
    bool held() const { return m_holding > 0; }
    std::function<void()> onReleased;

private:
    int m_holding = 0;
};

}  // namespace win32
