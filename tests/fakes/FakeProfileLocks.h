#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/ProfileLocks.h"

namespace fakes {

// The file locks of one machine: each name's holder, its process and text.
using FakeLockTable = std::map<std::string, std::pair<std::uint32_t, std::string>>;

// One process's locks on the machine's table, refusing what the backends
// refuse: a name no lock can have, a lock held (by this process too).
struct FakeProfileLocks : platform::IProfileLocks {
    FakeLockTable& table;
    std::uint32_t process;
    FakeProfileLocks(FakeLockTable& machine, std::uint32_t id) : table(machine), process(id) {}
    // The process ends, however it ends: its locks go (process 0 holds none).
    void end() {
        std::erase_if(table, [&](const auto& held) { return held.second.first == process; });
        process = 0;
    }
    platform::LockAttempt take(const std::string& name, const std::string& holder) override {
        platform::LockAttempt attempt;
        if (!platform::isLockName(name))
            attempt.problem = "'" + name + "' cannot name a lock";
        else if (const auto it = table.find(name); it != table.end())
            std::tie(attempt.holderProcess, attempt.holder) = it->second;
        else
            attempt.held = std::make_unique<Held>(*this, table.emplace(name, std::pair(process, holder)).first->first);
        return attempt;
    }
    struct Held : platform::IHeldLock {
        FakeProfileLocks& locks;
        std::string name;
        Held(FakeProfileLocks& owner, std::string held) : locks(owner), name(std::move(held)) {}
        ~Held() override {
            if (const auto it = locks.table.find(name); it != locks.table.end() && it->second.first == locks.process)
                locks.table.erase(it);
        }
    };
};

}  // namespace fakes
