// What the settings store does when its disk, directory or lock misbehave:
// the store's error rules hold and no value already on disk is lost.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/HiveRegistry.h"
#include "settings/CAppSettings.h"
#include "tests/support/Errors.h"
#include "tests/support/TempDir.h"

using support::Variant;

namespace {

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

constexpr std::uint32_t kSaveFailed = 0x80044281;

}  // namespace

TEST(StoreFaults, ADirectoryThatCannotBeCreated) {
    testsupport::TempDir tmp;
    testsupport::writeFile(tmp / "file", "a regular file where a directory should be");
    Store store(tmp / "file/vexmond");
    EXPECT_EQ(store.save("Port", "27960"), kSaveFailed);
    EXPECT_EQ(store.get("Port"), "<default>");
}

TEST(StoreFaults, AFullDiskLosesTheNewValueButNoneOfTheOld) {
    testsupport::TempDir tmp;
    const std::string dir = tmp / "vexmond";
    Store store(dir);
    for (int i = 0; i < 8; ++i)
        ASSERT_EQ(store.save("Old" + std::to_string(i), std::string(40, static_cast<char>('a' + i))), 0u);
    const std::string before = testsupport::readFile(dir + "/system.reg");

    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // The disk has room for 200 bytes more than nothing: the new hive cannot be written.
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{200, 200};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            Store child(dir);
            _exit(child.save("New", std::string(100, 'n')) == kSaveFailed ? 0 : 1);
        } catch (...) {
            _exit(2);
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save on a full disk did not report 17025";
    EXPECT_EQ(testsupport::readFile(dir + "/system.reg"), before);
    EXPECT_FALSE(std::filesystem::exists(dir + "/system.reg.tmp"));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(store.get("Old" + std::to_string(i)), std::string(40, static_cast<char>('a' + i)));
}

TEST(StoreFaults, AHiveCutInTheMiddleOfALineKeepsEverythingBeforeTheCut) {
    testsupport::TempDir tmp;
    const std::string dir = tmp / "vexmond";
    Store store(dir);
    for (const char* k : {"A", "B", "C"}) store.save(k, std::string("value of ") + k);
    std::string text = testsupport::readFile(dir + "/system.reg");
    text.resize(text.find("\"C\"=") + 10);  // in the middle of C's line
    testsupport::writeFile(dir + "/system.reg", text);
    EXPECT_EQ(store.get("A"), "value of A");
    EXPECT_EQ(store.get("B"), "value of B");
    EXPECT_EQ(store.get("C"), "<default>");
    EXPECT_EQ(store.save("D", "value of D"), 0u);
    EXPECT_EQ(store.get("A"), "value of A");
    EXPECT_EQ(store.get("B"), "value of B");
    EXPECT_EQ(store.get("D"), "value of D");
}
