// The profiles' locks the programs ship, on real files and processes, and
// the fake the logic's tests use, held to one contract; one broadcast of a
// profile at a time, in any case of its name, the window's included.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/BroadcastLock.h"
#include "tests/fakes/FakeProfileLocks.h"
#include "tests/fakes/FormHarness.h"
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

constexpr const char* kElsewhere = "elsewhere";

struct FakeSide {
    fakes::FakeLockTable table;
    fakes::FakeProfileLocks locks{table, 101}, other{table, 202};
    std::unique_ptr<platform::IHeldLock> othersLock;
    std::uint32_t process() const { return 101; }
    std::uint32_t holdElsewhere(const std::string& name) {
        othersLock = other.take(name, kElsewhere).held;
        return other.process;
    }
    void killElsewhere() { other.end(); }
    void makeUnusable() { locks.unusable = "cannot make the directory"; }
};

#ifdef _WIN32
// This program started again to hold a lock in a process of its own: it
// takes the lock, says so with a file beside it, and waits to be killed.
[[maybe_unused]] const bool kHolder = [] {
    char spec[MAX_PATH * 2] = {};
    if (!GetEnvironmentVariableA("VEXMOND_HOLD_LOCK", spec, sizeof spec)) return false;
    const std::string s = spec;
    const std::size_t bar = s.find('|');
    const auto attempt = platform::win::WinProfileLocks(s.substr(0, bar)).take(s.substr(bar + 1), kElsewhere);
    if (!attempt.held) ExitProcess(3);
    CloseHandle(CreateFileA((s.substr(0, bar) + "\\held").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    Sleep(INFINITE);
    return true;
}();
#endif

struct NativeSide {
    testsupport::TempDir tmp;
    std::string directory = tmp / "locks";
    NativeLocks locks{directory};
#ifdef _WIN32
    PROCESS_INFORMATION child{};
    std::uint32_t process() const { return GetCurrentProcessId(); }
    std::uint32_t holdElsewhere(const std::string& name) {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string line = std::string("\"") + self + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        SetEnvironmentVariableA("VEXMOND_HOLD_LOCK", (directory + "|" + name).c_str());
        const bool started =
            CreateProcessA(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child);
        SetEnvironmentVariableA("VEXMOND_HOLD_LOCK", nullptr);
        EXPECT_TRUE(started);
        for (int i = 0; i < 600 && !std::filesystem::exists(directory + "\\held"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return child.dwProcessId;
    }
    void killElsewhere() {
        TerminateProcess(child.hProcess, 9);
        WaitForSingleObject(child.hProcess, INFINITE);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
        child = {};
    }
    ~NativeSide() {
        if (child.hProcess) killElsewhere();
    }
#else
    pid_t child = -1;
    std::uint32_t process() const { return static_cast<std::uint32_t>(getpid()); }
    std::uint32_t holdElsewhere(const std::string& name) {
        int ready[2];
        EXPECT_EQ(pipe(ready), 0);
        child = fork();
        if (child == 0) {
            const auto attempt = NativeLocks(directory).take(name, kElsewhere);
            if (!attempt.held || write(ready[1], "x", 1) != 1) _exit(3);
            pause();
            _exit(0);
        }
        char x = 0;
        EXPECT_EQ(read(ready[0], &x, 1), 1);
        close(ready[0]);
        close(ready[1]);
        return static_cast<std::uint32_t>(child);
    }
    void killElsewhere() {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        child = -1;
    }
    ~NativeSide() {
        if (child > 0) killElsewhere();
    }
#endif
    // A file where the directory of the locks would be.
    void makeUnusable() { std::ofstream(directory) << "not a directory"; }
};

template <class Side>
struct ProfileLocksContract : ::testing::Test {
    Side side;
};
using LockSides = ::testing::Types<FakeSide, NativeSide>;
TYPED_TEST_SUITE(ProfileLocksContract, LockSides);

TYPED_TEST(ProfileLocksContract, ALockIsRefusedToEveryOtherTakeUntilItIsLetGo) {
    platform::IProfileLocks& locks = this->side.locks;
    platform::LockAttempt first = locks.take("broadcast-eu1", "me");
    ASSERT_TRUE(first.held) << first.problem;
    const platform::LockAttempt again = locks.take("broadcast-eu1", "me too");
    EXPECT_FALSE(again.held);
    EXPECT_EQ(again.holderProcess, this->side.process());
    EXPECT_EQ(again.holder, "me");
    EXPECT_EQ(again.problem, "");
    EXPECT_TRUE(locks.take("broadcast-eu2", "me").held);
    first.held.reset();
    EXPECT_TRUE(locks.take("broadcast-eu1", "me").held);
    for (const std::string& name :
         std::vector<std::string>{"", "Broadcast", "a/b", "a\\b", "a b", "a:b", "\xE9", std::string(201, 'a')}) {
        const platform::LockAttempt refused = locks.take(name, "me");
        EXPECT_FALSE(refused.held) << name;
        EXPECT_NE(refused.problem, "") << name;
    }
}

TYPED_TEST(ProfileLocksContract, AHolderInAnotherProcessIsNamedAndItsLockIsFreeAtOnceWhenItIsKilled) {
    const std::uint32_t other = this->side.holdElsewhere("broadcast");
    const platform::LockAttempt refused = this->side.locks.take("broadcast", "me");
    EXPECT_FALSE(refused.held);
    EXPECT_EQ(refused.holderProcess, other);
    EXPECT_EQ(refused.holder, kElsewhere);
    this->side.killElsewhere();
    EXPECT_TRUE(this->side.locks.take("broadcast", "me").held);
}

TYPED_TEST(ProfileLocksContract, ALockThatCannotBeMadeSaysWhy) {
    this->side.makeUnusable();
    const platform::LockAttempt attempt = this->side.locks.take("broadcast", "me");
    EXPECT_FALSE(attempt.held);
    EXPECT_NE(attempt.problem, "");
}

// Two programs on one profile, whatever the case of its name: the second
// is told who holds it.
TEST(BroadcastLock, AProfileInAnyCaseOfItsNameIsBroadcastOnceAndTheSecondIsToldByWhom) {
    const struct {
        const char *first, *second;
        bool refused;
    } cases[] = {{"eu1", "EU1", true},
                 {"", "", true},
                 {"eu1", "eu2", false},
                 {"", "broadcast", false},
                 {"a b", "a_b", false},
                 {"a%20b", "a b", false},
                 {"Wolf \xC9t\xE9", "WOLF \xE9T\xC9", true}};
    for (const auto& c : cases) {
        fakes::FakeLockTable machine;
        fakes::FakeProfileLocks window(machine, 11), service(machine, 22);
        app::BroadcastLock first(window, app::Profile(c.first), app::kWindowHolder);
        app::BroadcastLock second(service, app::Profile(c.second), app::kServiceHolder);
        EXPECT_EQ(first.take(), "");
        EXPECT_EQ(first.take(), "");  // held already
        EXPECT_EQ(second.take().empty(), !c.refused) << c.first << " " << c.second;
    }
    fakes::FakeLockTable machine;
    fakes::FakeProfileLocks window(machine, 11), service(machine, 22);
    app::BroadcastLock first(window, app::Profile("eu1"), app::kWindowHolder);
    app::BroadcastLock second(service, app::Profile("EU1"), app::kServiceHolder);
    ASSERT_EQ(first.take(), "");
    EXPECT_EQ(second.take(),
              "The profile EU1 is being broadcast by the Vexmond window (process 11). A profile is "
              "broadcast by one program at a time: stop that one first.");
    first.release();
    EXPECT_EQ(second.take(), "");
}

// The window holds its profile from Start until it stops; a Start while
// another holds it shows who and leaves the window idle.
TEST(BroadcastLock, TheWindowHoldsItsProfileFromStartToStopAndIsRefusedWhileAnotherHoldsIt) {
    fakes::FormHarness h;
    h.recreate("eu1");
    h.frm->Form_Load();
    h.txtIP.edit = "127.0.0.1";
    h.txtPort.value = "27960";
    h.txtPassword.value = "pw";
    h.txtMsg.value = "Hi";
    fakes::FakeProfileLocks elsewhere(h.lockTable, 22);
    app::BroadcastLock service(elsewhere, app::Profile("EU1"), app::kServiceHolder);
    ASSERT_EQ(service.take(), "");
    h.frm->cmdStart_Click();
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].text.rfind("The profile eu1 is being broadcast by vexmond-service (process 22).", 0),
              0u);
    EXPECT_TRUE(h.cmdStart.on);
    EXPECT_FALSE(h.udpPeerA.open);

    service.release();
    h.frm->cmdStart_Click();
    EXPECT_FALSE(h.cmdStart.on);
    EXPECT_NE(service.take(), "");
    h.frm->cmdStop_Click();
    EXPECT_EQ(service.take(), "");
}

}  // namespace
