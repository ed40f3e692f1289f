#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// A lock held; destroying it lets it go.
class IHeldLock {
public:
    virtual ~IHeldLock() = default;
};

// What a try to take a lock came to: the lock, or who holds it, or why
// neither.
struct LockAttempt {
    std::unique_ptr<IHeldLock> held;
    // Held by another: its process (0 when it could not be read) and what it
    // said of itself when it took the lock.
    std::uint32_t holderProcess = 0;
    std::string holder;
    // Neither: why the lock could not be taken at all.
    std::string problem;
};

// Named locks, one file each in one directory, on the system's own file
// lock: held through an open file of the holder, so that the system lets it
// go when the holder ends, however it ends (killed too); a lock is never
// stale. A lock held is refused to every other take, one of the same
// process too.
class IProfileLocks {
public:
    virtual ~IProfileLocks() = default;
    // Takes the lock `name` (see isLockName; any other name is refused with
    // a problem); `holder` is one line that a refused take is told.
    virtual LockAttempt take(const std::string& name, const std::string& holder) = 0;
};

// A name a lock can have: what makes a file's name on every system, in one
// case (the file systems of Windows do not tell cases apart, those of
// Linux do): lower-case ASCII letters, digits, "-", "_", "." and "%".
inline bool isLockName(std::string_view name) {
    if (name.empty() || name.size() > 200) return false;
    for (const char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == '%'))
            return false;
    return true;
}

// The text a lock's file holds: the holder's process on the first line,
// what it said of itself on the second.
inline std::string lockFileText(std::uint32_t process, const std::string& holder) {
    return std::to_string(process) + "\n" + holder + "\n";
}
inline void readLockFileText(std::string_view text, LockAttempt& into) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return;
    std::uint32_t process = 0;
    for (const char c : text.substr(0, end)) {
        if (c < '0' || c > '9') return;
        process = process * 10 + static_cast<std::uint32_t>(c - '0');
    }
    into.holderProcess = process;
    const std::string_view rest = text.substr(end + 1);
    into.holder = std::string(rest.substr(0, rest.find_first_of("\r\n")));
}

}  // namespace platform
