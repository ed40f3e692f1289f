#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

#include "platform/posix/HiveFormat.h"
#include "platform/posix/HiveRegistry.h"
#include "platform/posix/Paths.h"
#include "settings/CAppSettings.h"
#include "support/AppError.h"
#include "tests/support/TempDir.h"

using platform::posix::HiveRegistry;
using settings::CAppSettings;
using support::Variant;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

struct HiveTest : ::testing::Test {
    TempDir tmp;
    std::string dir = tmp / "vexmond";
    HiveRegistry reg{dir};
    CAppSettings store{reg};
    void SetUp() override { store.Init("Quorlan", "_Vexmond"); }
    std::string hive() const { return readFile(dir + "/system.reg"); }
};

unsigned modeOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

}  // namespace

TEST_F(HiveTest, WritesReadableRegedit4WithPrivateModes) {
    store.SaveSetting("_Vexmond", "Password", Variant::String("se\"cr\\et"));
    store.SaveSetting("_Vexmond", "Port", Variant::String("27960"));
    store.SaveSetting("_Vexmond", "Count", Variant::Long(27));
    store.SaveSetting("_Vexmond", "Msg", Variant::String("Hi\r\nBye"));
    store.SaveSetting("IPs", "Hist0", Variant::String(""));
    EXPECT_EQ(hive(),
              "REGEDIT4\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\Software\\Quorlan]\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond]\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\_Vexmond]\r\n"
              "\"Password\"=\"se\\\"cr\\\\et\"\r\n"
              "\"Port\"=\"27960\"\r\n"
              "\"Count\"=dword:0000001b\r\n"
              "\"Msg\"=hex(1):48,69,0d,0a,42,79,65,00\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\IPs]\r\n"
              "\"Hist0\"=\"\"\r\n");
    EXPECT_EQ(modeOf(dir), 0700u);
    EXPECT_EQ(modeOf(dir + "/system.reg"), 0600u);
    EXPECT_EQ(store.GetSetting("_Vexmond", "Password"), Variant::String("se\"cr\\et"));
    EXPECT_EQ(store.GetSetting("_Vexmond", "Msg"), Variant::String("Hi\r\nBye"));
    EXPECT_EQ(store.GetSetting("_Vexmond", "Count"), Variant::Long(27));
}

TEST_F(HiveTest, EveryByteValueSurvivesTheFile) {
    std::string all;
    for (int i = 1; i < 256; ++i) all += static_cast<char>(i);
    all += all;  // long enough to wrap over several lines
    store.SaveSetting("_Vexmond", "all", Variant::String(all));
    EXPECT_NE(hive().find(",\\\r\n  "), std::string::npos);
    HiveRegistry other(dir);  // a second process's view: no shared state
    CAppSettings otherStore(other);
    otherStore.Init("Quorlan", "_Vexmond");
    EXPECT_EQ(otherStore.GetSetting("_Vexmond", "all"), Variant::String(all));
}

TEST_F(HiveTest, HandEditedFilesReadAsTheRegistryEditorReadsThemAndKeepWhatDoesNotParse) {
    platform::posix::makeDirectories(dir, 0700);
    const std::string kept[] = {
        "; settings of the test server",
        "garbage line",
        "\"orphan\"=\"before any key\"",
        "\"Unclosed\"=\"abc",
        "\"BadHex\"=hex(1):4g,00",
        "\"Deleted\"=-",
        "[HKEY_CURRENT_USER\\Software\\Quorlan\\_Vexmond\\_Vexmond]",
        "\"Other\"=\"root\"",
    };
    writeFile(dir + "/system.reg",
              "REGEDIT4\n" + kept[0] + "\n" + kept[1] + "\n" + kept[2] +
                  "\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\quorlan\\_VEXMOND\\_Vexmond] ; the program's own\n"
                  "\"Port\" = \"27960\" ; blanks around =, a comment after\n"
                  "\"Short\"=dword:1b\n"
                  "\"OneDigit\"=hex(1):41,2,00\n"
                  "\"Hex\"=hex(1):41,\\ ; a comment after the continuation\n"
                  "  ; and a comment line between\n"
                  "  42,00\n" +
                  kept[3] + "\n" + kept[4] + "\n" + kept[5] + "\n" + kept[6] + "\n" + kept[7] +
                  "\n"
                  "[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\_Vexmond]\n"
                  "\"Msg\"=\"hello; not a comment\"\n"
                  "\"Last\"=\"no line end\"");
    const struct {
        const char* name;
        Variant value;
    } read[] = {
        {"Port", Variant::String("27960")},
        {"Short", Variant::Long(0x1b)},
        {"OneDigit", Variant::String("A\x02")},
        {"Hex", Variant::String("AB")},
        {"Msg", Variant::String("hello; not a comment")},
        {"Last", Variant::String("no line end")},
    };
    for (const auto& r : read) EXPECT_EQ(store.GetSetting("_Vexmond", r.name), r.value) << r.name;
    for (const char* gone : {"orphan", "Unclosed", "BadHex", "Deleted", "Other"})
        EXPECT_TRUE(store.GetSetting("_Vexmond", gone).isEmpty()) << gone;

    // A save keeps every value and every line it could not read, and writes CR LF.
    store.SaveSetting("_Vexmond", "New", Variant::String("n"));
    for (const auto& r : read) EXPECT_EQ(store.GetSetting("_Vexmond", r.name), r.value) << r.name;
    EXPECT_EQ(store.GetSetting("_Vexmond", "New"), Variant::String("n"));
    const std::string text = hive();
    for (const auto& line : kept) EXPECT_NE(text.find(line + "\r\n"), std::string::npos) << line;
    EXPECT_NE(text.find("\"Port\"=\"27960\" ; blanks around =, a comment after\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("_Vexmond] ; the program's own\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("\r\r"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(text.begin(), text.end(), '\r'));
}

TEST_F(HiveTest, AFileThatIsNoHiveIsMovedAsideBeforeTheFirstSaveAndTheUserToldOnce) {
    platform::posix::makeDirectories(dir, 0700);
    const std::string junk = "<settings><port>27960</port></settings>\n";
    writeFile(dir + "/system.reg", junk);
    EXPECT_EQ(store.GetSetting("_Vexmond", "Port", Variant::String("dflt")), Variant::String("dflt"));
    const std::string notice = reg.takeNotice();
    EXPECT_NE(notice.find(dir + "/system.reg.unreadable-"), std::string::npos) << notice;
    EXPECT_EQ(reg.takeNotice(), "");
    EXPECT_EQ(hive(), junk);  // reading does not touch it
    store.GetSetting("_Vexmond", "Port");
    EXPECT_EQ(reg.takeNotice(), "");  // once
    store.SaveSetting("_Vexmond", "Port", Variant::String("1"));
    EXPECT_EQ(store.GetSetting("_Vexmond", "Port"), Variant::String("1"));
    int copies = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().filename().string().rfind("system.reg.unreadable-", 0) == 0) {
            ++copies;
            EXPECT_EQ(readFile(entry.path().string()), junk);
            EXPECT_NE(notice.find(entry.path().string()), std::string::npos);
        }
    EXPECT_EQ(copies, 1);
}

TEST_F(HiveTest, AHiveBehindASymbolicLinkIsWrittenWhereTheLinkPoints) {
    platform::posix::makeDirectories(dir, 0700);
    platform::posix::makeDirectories(tmp / "dotfiles", 0700);
    const std::string target = tmp / "dotfiles/system.reg";
    writeFile(target,
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\_Vexmond]\r\n\"Port\"=\"1\"\r\n");
    ASSERT_EQ(::symlink("../dotfiles/system.reg", (dir + "/system.reg").c_str()), 0);
    store.SaveSetting("_Vexmond", "Port", Variant::String("27960"));
    struct stat st {};
    ASSERT_EQ(::lstat((dir + "/system.reg").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_NE(readFile(target).find("\"Port\"=\"27960\""), std::string::npos);
    EXPECT_EQ(store.GetSetting("_Vexmond", "Port"), Variant::String("27960"));
}

TEST_F(HiveTest, ReadOnlyHiveGivesItsValuesAndRefusesSaving) {
    store.SaveSetting("_Vexmond", "Port", Variant::String("27960"));
    ASSERT_EQ(chmod((dir + "/system.reg").c_str(), 0400), 0);  // chmod a-w, as the README offers
    EXPECT_EQ(store.GetSetting("_Vexmond", "Port", Variant::String("dflt")), Variant::String("27960"));
    try {
        store.SaveSetting("_Vexmond", "Port", Variant::String("1"));
        ADD_FAILURE() << "saved into a read-only hive";
    } catch (const support::AppError& e) {
        EXPECT_EQ(static_cast<std::uint32_t>(e.number()), 0x80044281u);
    }
    // A read-only open still works, and the value on disk is untouched.
    std::vector<std::string> keys;
    store.GetAllKeys("_Vexmond", keys);
    EXPECT_EQ(keys, std::vector<std::string>{"Port"});
    EXPECT_NE(hive().find("\"Port\"=\"27960\""), std::string::npos);
}

TEST_F(HiveTest, KeyNamesIgnoreCaseAndKeysDeleteOnlyWithoutSubkeys) {
    store.SaveSetting("IPs", "Hist0", Variant::String("a"));
    CAppSettings upper(reg);
    upper.Init("QUORLAN", "_vexmond");
    EXPECT_EQ(upper.GetSetting("ips", "HIST0"), Variant::String("a"));
    upper.SaveSetting("IPS", "hist0", Variant::String("b"));
    EXPECT_NE(hive().find("[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\IPs]\r\n\"Hist0\"=\"b\""),
              std::string::npos);

    platform::RegKey k = 0;
    EXPECT_EQ(reg.deleteKey(platform::kHKeyLocalMachine, "Software\\Quorlan"), platform::kErrorAccessDenied);
    EXPECT_EQ(reg.deleteKey(platform::kHKeyLocalMachine, "Software\\Quorlan\\_Vexmond\\IPs"), platform::kErrorSuccess);
    EXPECT_EQ(reg.openKey(platform::kHKeyLocalMachine, "Software\\Quorlan\\_Vexmond\\IPs", 1, &k),
              platform::kErrorFileNotFound);
    EXPECT_EQ(reg.openKey(platform::kHKeyClassesRoot, "Software", 1, &k), platform::kErrorInvalidHandle);
}

TEST(Paths, FollowTheXdgVariables) {
    TempDir tmp;
    {
        testsupport::ScopedEnv config("XDG_CONFIG_HOME", tmp / "cfg");
        testsupport::ScopedEnv data("XDG_DATA_HOME", tmp / "data");
        EXPECT_EQ(platform::posix::configDirectory(), tmp / "cfg/vexmond");
        EXPECT_EQ(platform::posix::dataDirectory(), tmp / "data/vexmond");
    }
    testsupport::ScopedEnv home("HOME", tmp.path());
    testsupport::ScopedEnv relative("XDG_CONFIG_HOME", "relative/ignored");
    testsupport::ScopedEnv empty("XDG_DATA_HOME", "");
    EXPECT_EQ(platform::posix::configDirectory(), tmp / ".config/vexmond");
    EXPECT_EQ(platform::posix::dataDirectory(), tmp / ".local/share/vexmond");
}
