#pragma once

#include <memory>
#include <string>

#include "app/Profile.h"
#include "platform/ProfileLocks.h"

namespace app {

// What a holder of a broadcast calls itself in the refusal of another.
inline constexpr const char* kWindowHolder = "the Vexmond window";
inline constexpr const char* kServiceHolder = "vexmond-service";

// One broadcast of a profile at a time, whoever broadcasts it (a window, the
// service): its lock, held from Start until the broadcast stops. Profiles
// whose names differ only in letter case are one profile, as in the store.
class BroadcastLock {
public:
    BroadcastLock(platform::IProfileLocks& locks, const Profile& profile, std::string holder);

    // Empty when this program holds the profile's broadcast now (held
    // already, too); else what to tell: who holds it, or why it could not be
    // taken.
    std::string take();
    void release() { m_held.reset(); }

    // The lock's name: the profile's name with its letters folded as the
    // store folds them, and every byte a file's name cannot hold as %XX.
    static std::string lockName(const Profile& profile);

private:
    platform::IProfileLocks& m_locks;
    Profile m_profile;
    std::string m_holder;
    std::unique_ptr<platform::IHeldLock> m_held;
};

}  // namespace app
