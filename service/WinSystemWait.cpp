#include "service/WinSystemWait.h"

#include <winsock2.h>

#include <algorithm>

namespace service {

namespace {

HANDLE g_endEvent = nullptr;
HANDLE g_endedEvent = nullptr;
volatile LONG g_end = 0;

BOOL WINAPI onControl(DWORD control) {
    InterlockedExchange(&g_end, 1);
    SetEvent(g_endEvent);
    // Windows ends the process once this returns from a close, logoff or
    // shutdown: not before the service has logged its end.
    if (control == CTRL_CLOSE_EVENT || control == CTRL_LOGOFF_EVENT || control == CTRL_SHUTDOWN_EVENT)
        WaitForSingleObject(g_endedEvent, 4000);
    return TRUE;
}

}  // namespace

WinSystemWait::WinSystemWait() : m_socketEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    g_endEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_endedEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_end = 0;
    SetConsoleCtrlHandler(onControl, TRUE);
}

WinSystemWait::~WinSystemWait() {
    SetEvent(g_endedEvent);
    SetConsoleCtrlHandler(onControl, FALSE);
    CloseHandle(m_socketEvent);
}

std::int64_t WinSystemWait::now() { return static_cast<std::int64_t>(GetTickCount64()); }

void WinSystemWait::waitUntil(std::int64_t deadline, platform::SocketHandle socket, unsigned wakeFor) {
    // Asked again at every wait, as a socket opened again may have the old
    // one's handle; a datagram already waiting sets the event at once.
    if (socket >= 0) WSAEventSelect(static_cast<SOCKET>(socket), m_socketEvent, FD_READ);
    while (!((g_end ? kEnd : 0u) & wakeFor)) {
        const std::int64_t left = deadline - now();
        if (left <= 0) return;
        const HANDLE events[] = {g_endEvent, m_socketEvent};
        const DWORD n = socket >= 0 ? 2 : 1;
        const DWORD woken =
            WaitForMultipleObjects(n, events, FALSE, static_cast<DWORD>(std::min<std::int64_t>(left, INFINITE - 1)));
        if (woken == WAIT_OBJECT_0 + 1) return;
    }
}

unsigned WinSystemWait::takeSignals(unsigned which) {
    if (!(which & kEnd) || InterlockedExchange(&g_end, 0) == 0) return 0;
    ResetEvent(g_endEvent);
    return kEnd;
}

}  // namespace service
