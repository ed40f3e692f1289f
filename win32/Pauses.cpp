#include "win32/Pauses.h"

#include <algorithm>

namespace win32 {

void Pauses::sleep(std::uint32_t milliseconds) {
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

void Pauses::holdEvents(const std::function<void()>& body) {
    struct Hold {
        Pauses& pauses;
        explicit Hold(Pauses& p) : pauses(p) { ++pauses.m_holding; }
        ~Hold() {
            if (--pauses.m_holding == 0 && pauses.onReleased) pauses.onReleased();
        }
    } hold(*this);
    body();
}

}  // namespace win32
