#include "app/BroadcastLock.h"

#include "platform/ListSearch.h"

namespace app {

BroadcastLock::BroadcastLock(platform::IProfileLocks& locks, const Profile& profile, std::string holder)
    : m_locks(locks), m_profile(profile), m_holder(std::move(holder)) {}

std::string BroadcastLock::lockName(const Profile& profile) {
    std::string name = "broadcast";
    if (profile.isDefault()) return name;
    name += '-';
    for (const char c : profile.name()) {
        const unsigned char folded = platform::foldLatin1(static_cast<unsigned char>(c));
        if ((folded >= 'a' && folded <= 'z') || (folded >= '0' && folded <= '9') || folded == '-' || folded == '_' ||
            folded == '.') {
            name += static_cast<char>(folded);
        } else {
            constexpr const char* kHex = "0123456789abcdef";
            name += {'%', kHex[folded >> 4], kHex[folded & 15]};
        }
    }
    return name;
}

std::string BroadcastLock::take() {
    if (m_held) return {};
    platform::LockAttempt attempt = m_locks.take(lockName(m_profile), m_holder);
    m_held = std::move(attempt.held);
    if (m_held) return {};
    const std::string profile = m_profile.isDefault() ? "The default profile" : "The profile " + m_profile.name();
    if (!attempt.problem.empty())
        return profile + " cannot be broadcast: the lock that keeps it to one broadcast at a time cannot be taken (" +
               attempt.problem + ").";
    const std::string who = attempt.holder.empty() ? "another program" : attempt.holder;
    const std::string process =
        attempt.holderProcess == 0 ? "" : " (process " + std::to_string(attempt.holderProcess) + ")";
    return profile + " is being broadcast by " + who + process +
           ". A profile is broadcast by one program at a time: stop that one first.";
}

}  // namespace app
