#pragma once

#include <windows.h>

#include <deque>
#include <functional>

#include "platform/EventLoop.h"

namespace win32 {

// The Win32 message loop as a pause needs it.
//
// A wait keeps calling PeekMessage for paint and sent messages only, so the
// window stays painted and Windows never takes it for hung (no ghost window,
// no offer to end it), and the end of the session (a sent message) is not
// held; input, timer and socket messages wait in the queue. What is posted
// goes as a posted message of the window, before input; what waits for the
// input goes with a timer message, which Windows makes only when nothing
// else waits.
class EventLoop : public platform::IEventLoop {
public:
    static constexpr UINT kRunPosted = WM_APP + 3;
    static constexpr UINT_PTR kAfterInputTimer = 3;

    // The window whose messages carry what is posted.
    void setWindow(HWND window) { m_window = window; }
    void wait(std::uint32_t milliseconds) override;
    std::int64_t milliseconds() const override { return static_cast<std::int64_t>(GetTickCount64()); }
    void post(std::function<void()> function) override;
    void afterInput(std::function<void()> function) override;
    // Winsock reports a datagram again only once one has been read.
    void reportArrivals(bool) override {}

    // The window's kRunPosted message and kAfterInputTimer tick.
    void runPosted();
    void runAfterInput();

private:
    HWND m_window = nullptr;
    std::deque<std::function<void()>> m_posted, m_afterInput;
};

}  // namespace win32
