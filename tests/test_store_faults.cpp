// The settings store when things go wrong: a writer killed at any moment,
// writers racing each other and a reader, a full disk, a damaged or
// hand-edited file, something else at the file's place, two links to one
// file, a save by root. No value or line already on disk is lost, and every
// read finds a whole file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <random>
#include <vector>

#include "platform/posix/HiveFormat.h"
#include "platform/posix/HiveRegistry.h"
#include "platform/posix/Paths.h"
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
// The lines of a text, each ended by CR LF: what a save makes of line ends.
std::string crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) out += line + "\r\n";
    return out;
}

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
        const platform::posix::Hive hive(text, "HKEY_LOCAL_MACHINE");
        ASSERT_EQ(hive.text(), text) << "round " << round;
        const auto* section = hive.find("Software\\Quorlan\\_Vexmond\\_Vexmond");
        ASSERT_TRUE(section && section->values.size() == static_cast<std::size_t>(kKeys)) << text;
        const std::string mine = "round" + std::to_string(round) + "-";
        for (const auto& v : section->values) {
            const std::string s(v.data.begin(), v.data.end() - 1);
            ASSERT_TRUE(s == "seed" || s.starts_with("round")) << s;
            if (s.starts_with(mine)) writesSeen += std::stol(s.substr(mine.size())) + 1;
        }
    }
    EXPECT_GT(writesSeen, 0) << "the writers were killed before they wrote: the test proved nothing";
}

// Two processes save at once while this one reads, one of them through a
// second configuration directory whose hive links to the first one's: no
// value is lost, and every read finds a whole value, never a file being
// written.
TEST(StoreFaults, TwoWritersAtOnceLoseNothingAndAReaderSeesWholeValues) {
    testsupport::TempDir tmp;
    const std::string dir = tmp / "vexmond", longValue(3000, 'L');
    Store store(dir);
    store.save("A0", longValue);
    const std::string linked = tmp / "linked";
    platform::posix::makeDirectories(linked, 0700);
    ASSERT_EQ(::symlink((dir + "/system.reg").c_str(), (linked + "/system.reg").c_str()), 0);
    constexpr int kEach = 150;
    pid_t pids[2];
    for (int w = 0; w < 2; ++w)
        pids[w] = inChild([&] { return writer(w == 0 ? dir : linked, w == 0 ? "A" : "B", w, kEach); });
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
    for (const auto& entry : std::filesystem::directory_iterator(dir))  // no temporary file left behind
        EXPECT_TRUE(entry.path().filename() == "system.reg" || entry.path().filename() == "system.reg.lock")
            << entry.path();
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

// A hand-edited hive with every form the registry editor reads, values of
// another root and before the first key among them: a save of an unrelated
// value adds its one line and leaves every other line as it was; a save of a
// value rewrites its lines only.
TEST(StoreFaults, ASaveChangesOnlyTheLinesOfItsValue) {
    testsupport::TempDir tmp;
    const std::string dir = tmp / "vexmond";
    std::vector<std::string> lines = {
        "\xEF\xBB\xBFREGEDIT4",
        "",
        "\"early\"=hex:01,02,\\",  // a value before the first key, continued
        "  03,04",
        "   \t",
        "; a comment with trailing blanks   ",
        "[HKEY_CURRENT_USER\\Software\\X]",
        "\"h\"=hex:01,02,\\",  // another root's value, continued
        "  03,04",
        "",
        "[hkey_local_machine\\Software\\Quorlan\\_Vexmond\\_Vexmond] ; the program's own",
        "\"Port\" = \"27960\" ; typed by hand",
        "\"Timer\"=dword:1f",
        "\"Bin\"=hex:DE,AD,BE,EF,00,01,02,03,04,05,06,07,08,09,0A,0B,\\",
        "  ; a comment inside the value",
        "  0C,0D",
        "\"Dir\"=\"C:\\Windows\"",
        "",
        "[HKEY_LOCAL_MACHINE\\Software\\Quorlan]",
        "; a parent after its child",
        "[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\_Vexmond] ; the same key again",
        "\"Msg\"=\"hello\"",
        "",
        "",
    };
    platform::posix::makeDirectories(dir, 0700);
    std::string original;
    for (const auto& line : lines) original += line + "\n";
    testsupport::writeFile(dir + "/system.reg", original);
    Store store(dir);
    ASSERT_EQ(store.save("New", "n"), 0u);
    lines.insert(lines.begin() + 22, "\"New\"=\"n\"");  // after the key's last line
    EXPECT_EQ(testsupport::readFile(dir + "/system.reg"), crlf(lines));
    ASSERT_EQ(store.save("Port", "1"), 0u);
    lines[11] = "\"Port\"=\"1\" ; typed by hand";
    EXPECT_EQ(testsupport::readFile(dir + "/system.reg"), crlf(lines));
    EXPECT_EQ(store.get("Dir"), "C:\\Windows");
    EXPECT_EQ(store.get("Msg"), "hello");
    EXPECT_EQ(store.registry.takeNotice(), "");
}

// A FIFO, a device, a directory at the hive's place: reading and saving
// neither hang nor eat memory; the store says once that it cannot use the
// file, and leaves it where it is.
TEST(StoreFaults, NothingAtTheHivesPlaceHangsOrBreaksTheStore) {
    const std::pair<const char*, std::function<void(const std::string&)>> cases[] = {
        {"a FIFO", [](const std::string& path) { ::mkfifo(path.c_str(), 0600); }},
        {"/dev/zero", [](const std::string& path) { ::symlink("/dev/zero", path.c_str()); }},
        {"a directory", [](const std::string& path) { ::mkdir(path.c_str(), 0700); }},
    };
    for (const auto& [what, make] : cases) {
        testsupport::TempDir tmp;
        const std::string dir = tmp / "vexmond";
        platform::posix::makeDirectories(dir, 0700);
        make(dir + "/system.reg");
        const pid_t pid = inChild([&] {
            alarm(20);        // a hang ends the child
#ifndef __SANITIZE_ADDRESS__  // AddressSanitizer's shadow memory needs more address space than any limit
            rlimit memory{1u << 30, 1u << 30};
            setrlimit(RLIMIT_AS, &memory);  // reading without bound ends the child
#endif
            Store store(dir);
            const bool defaults = store.get("Port") == "<default>" && store.get("Msg") == "<default>";
            const bool refused = store.save("Port", "1") == kSaveFailed;
            const std::string notice = store.registry.takeNotice();
            return defaults && refused && !notice.empty() && store.registry.takeNotice().empty() ? 0 : 1;
        });
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << what << ": status " << status;
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++entries;
        EXPECT_EQ(entries, 1u) << what << ": something was moved aside or left behind";
    }
}

// A file that is not a hive reads as no settings, the user told once, and
// stays as it is until the first save moves it aside with one rename in its
// own directory: here where a relative link points to another file system.
// The link stays, and the save goes where it points.
TEST(StoreFaults, AFileThatIsNoHiveIsMovedAsideWhereTheLinkPointsAndTheUserToldOnce) {
    testsupport::TempDir tmp, shm(std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp");
    const std::string dir = tmp / "vexmond", target = shm / "system.reg", junk = "<port>27960</port>\n";
    platform::posix::makeDirectories(dir, 0700);
    ASSERT_EQ(::symlink(shm.path().c_str(), (tmp / "elsewhere").c_str()), 0);
    ASSERT_EQ(::symlink("../elsewhere/system.reg", (dir + "/system.reg").c_str()), 0);
    testsupport::writeFile(target, junk);
    Store store(dir);
    EXPECT_EQ(store.get("Port"), "<default>");
    const std::string notice = store.registry.takeNotice();
    EXPECT_EQ(store.registry.takeNotice(), "");
    EXPECT_EQ(testsupport::readFile(target), junk);  // reading does not touch it
    ASSERT_EQ(store.save("Port", "1"), 0u);
    EXPECT_EQ(store.get("Port"), "1");
    EXPECT_TRUE(std::filesystem::is_symlink(dir + "/system.reg"));
    EXPECT_NE(testsupport::readFile(target).find("\"Port\"=\"1\""), std::string::npos);
    int aside = 0;
    for (const auto& entry : std::filesystem::directory_iterator(shm.path()))
        if (entry.path().filename().string().starts_with("system.reg.unreadable-")) {
            aside += testsupport::readFile(entry.path()) == junk;
            EXPECT_NE(notice.find(entry.path().filename().string()), std::string::npos) << notice;
        }
    EXPECT_EQ(aside, 1);
}

// Root saving a user's hive (sudo keeping XDG_CONFIG_HOME) leaves it the
// user's; a temporary file left by another user blocks nothing; a section
// name with ";" is saved once; a save that fails adds nothing to the file.
TEST(StoreFaults, ASaveKeepsTheOwnerAndAddsNothingWhenItFails) {
    testsupport::TempDir tmp;
    const std::string dir = tmp / "vexmond", file = dir + "/system.reg";
    Store store(dir);
    ASSERT_EQ(store.save("Port", "27960"), 0u);
    if (::geteuid() == 0) {
        constexpr uid_t kUser = 4321;
        ASSERT_EQ(::chown(file.c_str(), kUser, kUser), 0);
        testsupport::writeFile(file + ".tmp", "left by someone else");
        ASSERT_EQ(::chown((file + ".tmp").c_str(), kUser + 1, kUser + 1), 0);
        ::chmod((file + ".tmp").c_str(), 0400);
        ASSERT_EQ(store.save("Port", "1"), 0u);
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, kUser);
        EXPECT_EQ(st.st_gid, kUser);
        EXPECT_EQ(st.st_mode & 07777, 0600u);
    }
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(testsupport::errorNumber([&] { store.settings.SaveSetting("a;b", "k", Variant::String("v")); }), 0u);
    EXPECT_EQ(store.settings.GetSetting("a;b", "k"), Variant::String("v"));
    const std::string before = testsupport::readFile(file);
    EXPECT_EQ(before.find("[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\a;b]"),
              before.rfind("[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\a;b]"));
    EXPECT_EQ(testsupport::errorNumber([&] { store.settings.SaveSetting("a\nb", "k", Variant::String("v")); }),
              kSaveFailed);
    EXPECT_EQ(testsupport::readFile(file), before);
}
