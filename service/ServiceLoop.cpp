#include "service/ServiceLoop.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace service {

class ServiceLoop::Timer : public platform::ITimer {
public:
    Timer(ServiceLoop& loop, std::function<void()> tick) : m_loop(loop), m_tick(std::move(tick)) {
        m_loop.m_timers.push_back(this);
    }
    ~Timer() override { std::erase(m_loop.m_timers, this); }
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    bool enabled() const override { return m_on; }
    void setEnabled(bool on) override {
        if (on && !m_on) m_due = m_loop.m_system.now() + period();
        m_on = on;
    }
    std::int32_t interval() const override { return m_interval; }
    // As a window timer's: a new period starts counting afresh.
    void setInterval(std::int32_t milliseconds) override {
        m_interval = milliseconds;
        if (m_on) m_due = m_loop.m_system.now() + period();
    }

    std::int64_t due() const { return m_on ? m_due : std::numeric_limits<std::int64_t>::max(); }
    // The next tick falls one period after this one was due, or one period
    // from now when that has passed too: missed ticks are not made up.
    bool tickIfDue(std::int64_t now) {
        if (!m_on || now < m_due) return false;
        m_due += period();
        if (m_due <= now) m_due = now + period();
        m_tick();
        return true;
    }

private:
    std::int64_t period() const { return std::max<std::int32_t>(m_interval, 1); }

    ServiceLoop& m_loop;
    std::function<void()> m_tick;
    bool m_on = false;
    std::int32_t m_interval = 0;
    std::int64_t m_due = 0;
};

ServiceLoop::ServiceLoop(ISystemWait& system, platform::IDatagramSource& socket) : m_system(system), m_socket(socket) {}

ServiceLoop::~ServiceLoop() = default;

std::unique_ptr<platform::ITimer> ServiceLoop::timer(std::function<void()> tick) {
    return std::make_unique<Timer>(*this, std::move(tick));
}

void ServiceLoop::run() {
    while (!m_ended) {
        const unsigned signals = m_system.takeSignals(ISystemWait::kEnd | ISystemWait::kReload);
        if (signals & ISystemWait::kEnd) {
            end();
            break;
        }
        if ((signals & ISystemWait::kReload) && m_handlers.reload) m_handlers.reload();
        if (pass()) continue;
        std::int64_t deadline = std::numeric_limits<std::int64_t>::max();
        for (const Timer* t : m_timers) deadline = std::min(deadline, t->due());
        m_system.waitUntil(deadline, m_reporting ? m_socket.descriptor() : -1,
                           ISystemWait::kEnd | ISystemWait::kReload);
    }
}

bool ServiceLoop::pass() {
    bool busy = false;
    while (!m_posted.empty() && !m_ended) {
        const std::function<void()> next = std::move(m_posted.front());
        m_posted.pop_front();
        next();
        busy = true;
    }
    for (auto waiting = std::exchange(m_afterInput, {}); !waiting.empty() && !m_ended; waiting.pop_front()) {
        waiting.front()();
        busy = true;
    }
    if (!m_ended && m_reporting && m_socket.descriptor() >= 0 && m_socket.pendingDatagramSize() >= 0 &&
        m_handlers.arrivals) {
        m_handlers.arrivals();
        busy = true;
    }
    const std::int64_t now = m_system.now();
    for (Timer* t : std::vector(m_timers))
        if (!m_ended && t->tickIfDue(now)) busy = true;
    return busy;
}

void ServiceLoop::wait(std::uint32_t milliseconds) {
    const std::int64_t deadline = m_system.now() + milliseconds;
    while (!m_ended && m_system.now() < deadline) {
        m_system.waitUntil(deadline, -1, ISystemWait::kEnd);
        if (m_system.takeSignals(ISystemWait::kEnd)) end();
    }
}

void ServiceLoop::end() {
    if (m_ended) return;
    m_ended = true;
    if (m_handlers.end) m_handlers.end();
}

}  // namespace service
