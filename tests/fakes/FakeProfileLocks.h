#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/ProfileLocks.h"

namespace fakes {

// The file locks of one machine: each name's holder, by its process.
struct FakeLockTable {
    struct Holder {
        std::uint32_t process;
        std::string text;
        int serial;
    };
    std::map<std::string, Holder> held;
    int serials = 0;
};

// One process's locks on the machine's table, refusing what the backends
// refuse: a name no lock can have, a lock held (by this process too).
struct FakeProfileLocks : platform::IProfileLocks {
    FakeLockTable& table;
    std::uint32_t process;
    std::string unusable;  // what every take answers while it is set: no lock can be made

    FakeProfileLocks(FakeLockTable& machine, std::uint32_t id) : table(machine), process(id) {}

    // The process ends, however it ends: its locks go.
    void end() {
        std::erase_if(table.held, [&](const auto& entry) { return entry.second.process == process; });
    }

    platform::LockAttempt take(const std::string& name, const std::string& holder) override {
        platform::LockAttempt attempt;
        if (!platform::isLockName(name)) {
            attempt.problem = "'" + name + "' cannot name a lock";
        } else if (!unusable.empty()) {
            attempt.problem = unusable;
        } else if (const auto it = table.held.find(name); it != table.held.end()) {
            attempt.holderProcess = it->second.process;
            attempt.holder = it->second.text;
        } else {
            table.held[name] = {process, holder, ++table.serials};
            attempt.held = std::make_unique<Held>(table, name, table.serials);
        }
        return attempt;
    }

private:
    // Lets its own lock go, not one taken after its process ended.
    struct Held : platform::IHeldLock {
        FakeLockTable& table;
        std::string name;
        int serial;
        Held(FakeLockTable& t, std::string n, int s) : table(t), name(std::move(n)), serial(s) {}
        ~Held() override {
            if (const auto it = table.held.find(name); it != table.held.end() && it->second.serial == serial)
                table.held.erase(it);
        }
    };
};

}  // namespace fakes
