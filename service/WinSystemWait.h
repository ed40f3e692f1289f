#pragma once

#include <windows.h>

#include "service/SystemWait.h"

namespace service {

// The wait on Windows: WaitForMultipleObjects on the socket's network event
// and on an event that the console's control handler sets (Ctrl+C,
// Ctrl+Break, the console closed, the user logging off or the system shutting
// down end the service; Windows has nothing to tell it to reload), with
// GetTickCount64. One at a time: it owns the console's control handler while
// it lives, and holds Windows back from ending the process until the service
// has ended.
class WinSystemWait : public ISystemWait {
public:
    WinSystemWait();
    ~WinSystemWait() override;
    WinSystemWait(const WinSystemWait&) = delete;
    WinSystemWait& operator=(const WinSystemWait&) = delete;

    std::int64_t now() override;
    void waitUntil(std::int64_t deadline, platform::SocketHandle socket, unsigned wakeFor) override;
    unsigned takeSignals(unsigned which) override;

private:
    HANDLE m_socketEvent;  // set by the socket's reads
};

}  // namespace service
