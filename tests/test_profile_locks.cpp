// The profiles' locks on real files and processes and the fake, held to one
// contract; a profile's lock, one whatever the case of the profile's name.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/BroadcastLock.h"
#include "tests/fakes/FakeProfileLocks.h"
#include "tests/support/TempDir.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win/WinProfileLocks.h"
using NativeLocks = platform::win::WinProfileLocks;
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/posix/PosixProfileLocks.h"
using NativeLocks = platform::posix::PosixProfileLocks;
#endif

namespace {

using platform::LockAttempt;

struct FakeSide {
    fakes::FakeLockTable table;
    fakes::FakeProfileLocks locks{table, 101}, other{table, 202};
    LockAttempt othersLock;
    std::uint32_t self() const { return locks.process; }
    std::uint32_t holdElsewhere() { return (othersLock = other.take("broadcast", "elsewhere")), other.process; }
    void killElsewhere() { other.end(); }
};

struct NativeSide {
    testsupport::TempDir tmp;
    NativeLocks locks{tmp / "locks"};
#ifdef _WIN32
    std::uint32_t self() const { return GetCurrentProcessId(); }
    std::uint32_t holdElsewhere() { return 0; }  // see the service's check
    void killElsewhere() {}
#else
    pid_t child = 0;
    std::uint32_t self() const { return static_cast<std::uint32_t>(getpid()); }
    std::uint32_t holdElsewhere() {
        if ((child = fork()) == 0) {
            const LockAttempt held = NativeLocks(tmp / "locks").take("broadcast", "elsewhere");
            _exit(pause());
        }
        std::error_code e;  // held once the holder has written its line
        for (int i = 0; i < 5000 && (std::filesystem::file_size(tmp / "locks/broadcast.lock", e) == 0 || e); ++i)
            usleep(1000);
        return static_cast<std::uint32_t>(child);
    }
    void killElsewhere() { kill(child, SIGKILL), waitpid(child, nullptr, 0); }
#endif
};

template <class Side>
struct ProfileLocksContract : ::testing::Test {
    Side side;
};
using LockSides = ::testing::Types<FakeSide, NativeSide>;
TYPED_TEST_SUITE(ProfileLocksContract, LockSides);

TYPED_TEST(ProfileLocksContract, ALockIsRefusedToEveryOtherTakeUntilLetGoAndOnlyALockNameIsTaken) {
    platform::IProfileLocks& locks = this->side.locks;
    LockAttempt first = locks.take("broadcast-eu1", "me");
    ASSERT_TRUE(first.held) << first.problem;
    const LockAttempt again = locks.take("broadcast-eu1", "me too");
    EXPECT_EQ(std::tuple(!again.held, again.holderProcess, again.holder, again.problem),
              std::tuple(true, this->side.self(), std::string("me"), std::string()));
    EXPECT_TRUE(locks.take("broadcast-eu2", "me").held);
    first.held.reset();
    EXPECT_TRUE(locks.take("broadcast-eu1", "me").held);
    for (const char* name : {"", "Broadcast", "a/b", "a\\b", "a b", "a:b", "\xE9"})
        EXPECT_NE(locks.take(name, "me").problem, "") << name;
}

TYPED_TEST(ProfileLocksContract, AHolderInAnotherProcessIsNamedAndItsLockIsFreeAtOnceWhenItIsKilled) {
    const std::uint32_t other = this->side.holdElsewhere();
    if (other == 0) GTEST_SKIP() << "under wine, the service's own check runs a second process on a held profile";
    const LockAttempt refused = this->side.locks.take("broadcast", "me");
    EXPECT_EQ(std::tuple(!refused.held, refused.holderProcess, refused.holder),
              std::tuple(true, other, std::string("elsewhere")));
    this->side.killElsewhere();
    EXPECT_TRUE(this->side.locks.take("broadcast", "me").held);
}

// A profile's lock is one file whatever the case of its name, as the store
// folds it (Latin-1), and no two names meet in one.
TEST(BroadcastLock, AProfilesLockIsNamedInOneCaseAndEveryByteAFileCannotHoldIsWrittenOut) {
    const char* names[][2] = {{"", "broadcast"},
                              {"EU-1_x.y", "broadcast-eu-1_x.y"},
                              {"Wolf \xC9t\xE9", "broadcast-wolf%20%e9t%e9"},
                              {"a%20b:", "broadcast-a%2520b%3a"}};
    for (const auto& [profile, lock] : names) EXPECT_EQ(app::BroadcastLock::lockName(app::Profile(profile)), lock);
}

}  // namespace
