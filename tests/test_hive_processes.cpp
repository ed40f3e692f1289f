// Crash safety and concurrency of the hive files, with real processes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "platform/posix/HiveFormat.h"
#include "platform/posix/HiveRegistry.h"
#include "settings/CAppSettings.h"
#include "tests/support/TempDir.h"

using support::Variant;

namespace {

constexpr int kKeys = 5;

// Writes forever (until killed), or `count` values named prefix0.. when count > 0.
// A forked child never returns into the test framework: whatever it throws ends it with status 1.
[[noreturn]] void writer(const std::string& dir, const std::string& prefix, int round, int count) {
    try {
        platform::posix::HiveRegistry reg(dir);
        settings::CAppSettings store(reg);
        store.Init("Quorlan", "_Vexmond");
        for (int i = 0; count == 0 || i < count; ++i) {
            const std::string name = count == 0 ? "K" + std::to_string(i % kKeys) : prefix + std::to_string(i);
            store.SaveSetting("Crash", name,
                              Variant::String("round" + std::to_string(round) + "-" + std::to_string(i)));
        }
    } catch (...) {
        _exit(1);
    }
    _exit(0);
}

const platform::posix::HiveKey* crashSection(platform::posix::Hive& hive) {
    return hive.find("Software\\Quorlan\\_Vexmond\\Crash");
}

}  // namespace

TEST(HiveProcesses, WriterKilledAtRandomMomentsNeverLeavesABrokenHive) {
    testsupport::TempDir tmp;
    const std::string dir = tmp / "vexmond";
    {
        platform::posix::HiveRegistry reg(dir);
        settings::CAppSettings store(reg);
        store.Init("Quorlan", "_Vexmond");
        for (int k = 0; k < kKeys; ++k) store.SaveSetting("Crash", "K" + std::to_string(k), Variant::String("seed"));
    }
    std::mt19937 rng(20261207);
    std::uniform_int_distribution<int> pause(0, 30000);
    constexpr int kRounds = 100;
    long writesSeen = 0;
    for (int round = 0; round < kRounds; ++round) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) writer(dir, "", round, 0);
        usleep(static_cast<useconds_t>(pause(rng)));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);

        const std::string text = testsupport::readFile(dir + "/system.reg");
        auto hive = platform::posix::parseHive(text, "HKEY_LOCAL_MACHINE");
        // The file on disk is whole: it reads back to exactly the same text.
        ASSERT_EQ(platform::posix::writeHive(hive, "HKEY_LOCAL_MACHINE"), text) << "round " << round;
        long roundWrites = 0;
        const auto* section = crashSection(hive);
        ASSERT_NE(section, nullptr);
        ASSERT_EQ(section->values.size(), static_cast<std::size_t>(kKeys));
        for (const auto& v : section->values) {
            const std::string s(v.data.begin(), v.data.end() - 1);
            ASSERT_TRUE(s == "seed" || s.rfind("round", 0) == 0) << s;
            if (s.rfind("round" + std::to_string(round) + "-", 0) == 0)
                roundWrites = std::max(roundWrites, std::stol(s.substr(s.find('-') + 1)) + 1);
        }
        writesSeen += roundWrites;
    }
    std::printf("killed %d writers, which completed at least %ld writes between them\n", kRounds, writesSeen);
    EXPECT_GT(writesSeen, kRounds / 2) << "the writers were killed before they wrote: the test proved nothing";
}

// Two processes write at once while this one reads: no value is lost, and
// every read finds a whole value, never a file being written.
TEST(HiveProcesses, TwoWritersAtOnceLoseNothingAndAReaderSeesWholeValues) {
    testsupport::TempDir tmp;
    const std::string dir = tmp / "vexmond";
    platform::posix::HiveRegistry reg(dir);
    settings::CAppSettings store(reg);
    store.Init("Quorlan", "_Vexmond");
    store.SaveSetting("Crash", "A0", Variant::String(std::string(3000, 'L')));
    constexpr int kEach = 150;
    pid_t pids[2];
    for (int w = 0; w < 2; ++w) {
        pids[w] = fork();
        ASSERT_GE(pids[w], 0);
        if (pids[w] == 0) writer(dir, w == 0 ? "A" : "B", w, kEach);
    }
    long reads = 0, broken = 0;
    for (int status = 0, running = 2; running > 0;) {
        const std::string got = store.GetSetting("Crash", "A0", Variant::String("<default>")).toText();
        ++reads;
        if (got != std::string(3000, 'L') && got != "round0-0") ++broken;
        for (pid_t& pid : pids)
            if (pid > 0 && ::waitpid(pid, &status, WNOHANG) == pid) {
                ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                pid = -1, --running;
            }
    }
    EXPECT_EQ(broken, 0) << "of " << reads << " reads";
    for (int w = 0; w < 2; ++w)
        for (int i = 0; i < kEach; ++i)
            EXPECT_EQ(store.GetSetting("Crash", (w == 0 ? "A" : "B") + std::to_string(i)),
                      Variant::String("round" + std::to_string(w) + "-" + std::to_string(i)));
}
