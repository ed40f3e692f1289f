#include "win32/EventLoop.h"

#include <algorithm>
#include <utility>

namespace win32 {

void EventLoop::wait(std::uint32_t milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        // Woken at least every 200 ms, so the queue is looked at well within
        // the 5 seconds after which Windows calls a window hung.
        const auto wait = static_cast<DWORD>(std::min<ULONGLONG>(end - now, 200));
        MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_PAINT | QS_SENDMESSAGE, 0);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE)) DispatchMessageA(&msg);
    }
}

void EventLoop::post(std::function<void()> function) {
    m_posted.push_back(std::move(function));
    PostMessageA(m_window, kRunPosted, 0, 0);
}

void EventLoop::afterInput(std::function<void()> function) {
    m_afterInput.push_back(std::move(function));
    SetTimer(m_window, kAfterInputTimer, USER_TIMER_MINIMUM, nullptr);
}

void EventLoop::runPosted() {
    if (m_posted.empty()) return;
    std::function<void()> next = std::move(m_posted.front());
    m_posted.pop_front();
    next();
}

void EventLoop::runAfterInput() {
    KillTimer(m_window, kAfterInputTimer);
    for (auto waiting = std::exchange(m_afterInput, {}); !waiting.empty(); waiting.pop_front()) waiting.front()();
}

}  // namespace win32
