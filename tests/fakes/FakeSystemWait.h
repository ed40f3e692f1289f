#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "service/SystemWait.h"

namespace fakes {

// A clock that moves only while the loop waits: to the deadline, or to the
// next thing the test arranged before it (a signal, a datagram). A signal
// the wait does not watch for stays pending; a wait past the first day with
// nothing arranged before it ends the service and fails the test.
struct FakeSystemWait : service::ISystemWait {
    static constexpr std::int64_t kDay = 24 * 3600 * 1000;
    std::int64_t clock = 0;
    unsigned pending = 0;
    std::multimap<std::int64_t, std::function<void()>> arranged;

    void at(std::int64_t ms, std::function<void()> what) { arranged.emplace(ms, std::move(what)); }
    void signalAt(std::int64_t ms, unsigned signal) {
        at(ms, [this, signal] { pending |= signal; });
    }

    std::int64_t now() override { return clock; }
    void waitUntil(std::int64_t deadline, platform::SocketHandle, unsigned wakeFor) override {
        if (pending & wakeFor) return;
        if (!arranged.empty() && arranged.begin()->first <= deadline) {
            auto next = arranged.extract(arranged.begin());
            clock = std::max(clock, next.key());
            next.mapped()();
        } else if (deadline > kDay) {
            ADD_FAILURE() << "the service runs on past the test's day";
            pending |= kEnd;
        } else {
            clock = deadline;
        }
    }
    unsigned takeSignals(unsigned which) override {
        const unsigned taken = pending & which;
        pending &= ~taken;
        return taken;
    }
};

}  // namespace fakes
