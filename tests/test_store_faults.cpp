// The settings store when things go wrong: a writer killed at any moment,
// writers racing each other and a reader, a full disk, a damaged file. No
// value already on disk is lost, and every read finds a whole file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "platform/posix/HiveFormat.h"
#include "platform/posix/HiveRegistry.h"
#include "settings/CAppSettings.h"
#include "tests/support/Errors.h"
#include "tests/support/TempDir.h"

using support::Variant;

namespace {

constexpr int kKeys = 5;
constexpr std::uint32_t kSaveFailed = 0x80044281;

struct Store {
    platform::posix::HiveRegistry registry;
    settings::CAppSettings settings{registry};
    explicit Store(const std::string& dir) : registry(dir) { settings.Init("Quorlan", "_Vexmond"); }
    std::uint32_t save(const std::string& key, const std::string& value) {
        return testsupport::errorNumber([&] { settings.SaveSetting("_Vexmond", key, Variant::String(value)); });
    }
    std::string get(const std::string& key) {
        return settings.GetSetting("_Vexmond", key, Variant::String("<default>")).toText();
    }
};

// Runs body in a forked child that never returns into the test framework:
// its exit status is body's answer, 2 for anything thrown.
template <class Body>
pid_t inChild(Body body) {
    const pid_t pid = fork();
    if (pid == 0) {
        try {
            _exit(body());
        } catch (...) {
            _exit(2);
        }
    }
    return pid;
}

// Saves forever (until killed), or `count` values named prefix0.. when count > 0.
int writer(const std::string& dir, const std::string& prefix, int round, int count) {
    Store store(dir);
    for (int i = 0; count == 0 || i < count; ++i)
        if (store.save(count == 0 ? "K" + std::to_string(i % kKeys) : prefix + std::to_string(i),
                       "round" + std::to_string(round) + "-" + std::to_string(i)) != 0)
            return 1;
    return 0;
}

}  // namespace

TEST(StoreFaults, AWriterKilledAtRandomMomentsNeverLeavesABrokenHive) {
    testsupport::TempDir tmp;
    const std::string dir = tmp / "vexmond";
    for (int k = 0; k < kKeys; ++k) Store(dir).save("K" + std::to_string(k), "seed");
    std::mt19937 rng(20261207);
    std::uniform_int_distribution<int> pause(0, 30000);
    constexpr int kRounds = 100;
    long writesSeen = 0;
    for (int round = 0; round < kRounds; ++round) {
        const pid_t pid = inChild([&] { return writer(dir, "", round, 0); });
        ASSERT_GE(pid, 0);
        usleep(static_cast<useconds_t>(pause(rng)));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);

        // The file on disk is whole: it reads back to exactly the same text.
        const std::string text = testsupport::readFile(dir + "/system.reg");
        auto hive = platform::posix::parseHive(text, "HKEY_LOCAL_MACHINE");
        ASSERT_EQ(platform::posix::writeHive(hive, "HKEY_LOCAL_MACHINE"), text) << "round " << round;
        const auto* section = hive.find("Software\\Quorlan\\_Vexmond\\_Vexmond");
        ASSERT_TRUE(section && section->values.size() == static_cast<std::size_t>(kKeys)) << text;
        const std::string mine = "round" + std::to_string(round) + "-";
        for (const auto& v : section->values) {
            const std::string s(v.data.begin(), v.data.end() - 1);
            ASSERT_TRUE(s == "seed" || s.starts_with("round")) << s;
            if (s.starts_with(mine)) writesSeen += std::stol(s.substr(mine.size())) + 1;
        }
    }
    EXPECT_GT(writesSeen, kRounds / 2) << "the writers were killed before they wrote: the test proved nothing";
}

// Two processes save at once while this one reads: no value is lost, and
// every read finds a whole value, never a file being written.
TEST(StoreFaults, TwoWritersAtOnceLoseNothingAndAReaderSeesWholeValues) {
    testsupport::TempDir tmp;
    const std::string dir = tmp / "vexmond", longValue(3000, 'L');
    Store store(dir);
    store.save("A0", longValue);
    constexpr int kEach = 150;
    pid_t pids[2];
    for (int w = 0; w < 2; ++w) pids[w] = inChild([&] { return writer(dir, w == 0 ? "A" : "B", w, kEach); });
    long reads = 0, broken = 0;
    for (int status = 0, running = 2; running > 0; ++reads) {
        const std::string got = store.get("A0");
        if (got != longValue && got != "round0-0") ++broken;
        for (pid_t& pid : pids)
            if (pid > 0 && ::waitpid(pid, &status, WNOHANG) == pid) {
                ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                pid = -1, --running;
            }
    }
    EXPECT_EQ(broken, 0) << "of " << reads << " reads";
    for (int w = 0; w < 2; ++w)
        for (int i = 0; i < kEach; ++i)
            EXPECT_EQ(store.get((w == 0 ? "A" : "B") + std::to_string(i)),
                      "round" + std::to_string(w) + "-" + std::to_string(i));
}

TEST(StoreFaults, AFullDiskLosesTheNewValueButNoneOfTheOld) {
    testsupport::TempDir tmp;
    const std::string dir = tmp / "vexmond";
    Store store(dir);
    for (int i = 0; i < 8; ++i) ASSERT_EQ(store.save("Old" + std::to_string(i), std::string(40, 'o')), 0u);
    const std::string before = testsupport::readFile(dir + "/system.reg");
    // The disk has room for 200 bytes: the new hive cannot be written.
    const pid_t pid = inChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{200, 200};
        setrlimit(RLIMIT_FSIZE, &limit);
        return Store(dir).save("New", std::string(100, 'n')) == kSaveFailed ? 0 : 1;
    });
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the save on a full disk did not report 17025";
    EXPECT_EQ(testsupport::readFile(dir + "/system.reg"), before);
    EXPECT_FALSE(std::filesystem::exists(dir + "/system.reg.tmp"));
}

TEST(StoreFaults, AHiveCutInTheMiddleOfALineKeepsEverythingBeforeTheCut) {
    testsupport::TempDir tmp;
    const std::string dir = tmp / "vexmond";
    Store store(dir);
    for (const char* k : {"A", "B", "C"}) store.save(k, std::string("value of ") + k);
    std::string text = testsupport::readFile(dir + "/system.reg");
    text.resize(text.find("\"C\"=") + 10);  // in the middle of C's line
    testsupport::writeFile(dir + "/system.reg", text);
    EXPECT_EQ(store.get("C"), "<default>");
    EXPECT_EQ(store.save("D", "value of D"), 0u);
    for (const char* k : {"A", "B", "D"}) EXPECT_EQ(store.get(k), std::string("value of ") + k);
}
