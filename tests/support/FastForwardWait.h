#pragma once

#include <algorithm>
#include <functional>
#include <limits>

#include "service/SystemWait.h"

namespace testsupport {

// The system's wait with the service's time made to pass: the socket and the
// signals are the system's, but a wait for a deadline takes at most a slice
// of real time (what the peer sends meanwhile is taken), and then the clock
// is moved on to the deadline, so that a tick of 65 seconds comes at once.
// The slice is asked for at each wait, told whether the wait watches the
// socket: none when nothing is on its way; a negative slice lets the time
// pass as it really does.
class FastForwardWait : public service::ISystemWait {
public:
    FastForwardWait(service::ISystemWait& system, std::function<std::int64_t(bool watching)> slice)
        : m_system(system), m_slice(std::move(slice)) {}

    std::int64_t now() override { return m_system.now() + m_ahead; }
    void waitUntil(std::int64_t deadline, platform::SocketHandle socket, unsigned wakeFor) override {
        const std::int64_t slice = m_slice(socket >= 0);
        const std::int64_t real = deadline - m_ahead;
        m_system.waitUntil(slice < 0 ? real : std::min(real, m_system.now() + slice), socket, wakeFor);
        if (slice >= 0 && deadline != std::numeric_limits<std::int64_t>::max() && now() < deadline)
            m_ahead = deadline - m_system.now();
    }
    unsigned takeSignals(unsigned which) override { return m_system.takeSignals(which); }

private:
    service::ISystemWait& m_system;
    std::function<std::int64_t(bool)> m_slice;
    std::int64_t m_ahead = 0;
};

}  // namespace testsupport
