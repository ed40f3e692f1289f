#include "app/Pauses.h"

#include <algorithm>

namespace app {

class Pauses::Hold {
public:
    explicit Hold(Pauses& owner) : m_owner(owner) {
        if (m_owner.m_depth++ == 0) m_owner.m_releasing = true;
    }
    ~Hold() {
        // Posted, so that nothing held runs inside the handler that is still
        // on the stack (a broadcast between two of its lines).
        if (--m_owner.m_depth == 0) m_owner.m_loop.post([&owner = m_owner] { owner.release(); });
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    Pauses& m_owner;
};

void Pauses::sleep(std::uint32_t milliseconds) {
    Hold hold(*this);
    m_loop.wait(milliseconds);
}

void Pauses::holdEvents(const std::function<void()>& body) {
    Hold hold(*this);
    body();
}

void Pauses::tick(const platform::ITimer& timer, std::function<void()> run) {
    if (!held()) {
        run();
        return;
    }
    const bool kept =
        std::any_of(m_heldTicks.begin(), m_heldTicks.end(), [&](const auto& held) { return held.first == &timer; });
    if (!kept) m_heldTicks.emplace_back(&timer, std::move(run));
}

void Pauses::arrivals(std::function<bool()> takeOne) {
    m_loop.reportArrivals(false);
    if (m_depth > 0) {
        m_heldArrivals = std::move(takeOne);
        return;
    }
    bool more = true;
    for (int i = 0; i < kReplySlice && more; ++i) more = takeOne();
    if (more) {
        // What a full slice left is taken once the input that waits has been handled.
        m_loop.afterInput([this, next = std::move(takeOne)] { arrivals(next); });
    } else {
        m_loop.reportArrivals(true);
    }
}

void Pauses::release() {
    if (m_depth > 0) return;  // a new pause began meanwhile; its end releases
    if (std::function<bool()> held = std::exchange(m_heldArrivals, {}))
        arrivals(std::move(held));
    else
        m_loop.reportArrivals(true);
    m_loop.afterInput([this] { runHeldTicks(); });
}

void Pauses::runHeldTicks() {
    if (m_depth > 0) return;
    m_releasing = false;
    for (auto& [timer, run] : std::exchange(m_heldTicks, {}))
        if (timer->enabled()) run();
}

}  // namespace app
