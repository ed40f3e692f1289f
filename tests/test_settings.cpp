// The settings object over the hive files it writes: the bytes on disk, what
// hand-edited and damaged files read as, and the errors it raises.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/posix/HiveRegistry.h"
#include "platform/posix/Paths.h"
#include "settings/CAppSettings.h"
#include "base/AppError.h"
#include "tests/support/Errors.h"
#include "tests/support/TempDir.h"

using platform::posix::HiveRegistry;
using settings::CAppSettings;
using support::Variant;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

struct HiveTest : ::testing::Test {
    testsupport::TempDir tmp;
    std::string dir = tmp / "vexmond";
    HiveRegistry reg{dir};
    CAppSettings store{reg};
    void SetUp() override { store.Init("Quorlan", "_Vexmond"); }
    std::string hive() const { return readFile(dir + "/system.reg"); }
    void writeHive(const std::string& text) {
        platform::posix::makeDirectories(dir, 0700);
        writeFile(dir + "/system.reg", text);
    }
    void setReadOnly(bool readOnly) { ::chmod(dir.c_str(), readOnly ? 0500 : 0700); }
};

unsigned modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

}  // namespace

TEST_F(HiveTest, EachTypeIsWrittenAsRegedit4AndReadBack) {
    const struct {
        const char* name;
        Variant value;
        const char* line;  // as written in the file
        Variant readBack;
    } cases[] = {
        {"Text", Variant::String("se\"cr\\et"), "\"Text\"=\"se\\\"cr\\\\et\"", Variant::String("se\"cr\\et")},
        {"Bool", Variant::Boolean(true), "\"Bool\"=\"True\"", Variant::String("True")},
        {"Lines", Variant::String("Hi\r\nBye"), "\"Lines\"=hex(1):48,69,0d,0a,42,79,65,00",
         Variant::String("Hi\r\nBye")},
        {"Latin1", Variant::String("caf\xE9"), "\"Latin1\"=hex(1):63,61,66,e9,00", Variant::String("caf\xE9")},
        {"Int", Variant::Integer(27), "\"Int\"=dword:0000001b", Variant::Long(27)},
        {"Half", Variant::Double(2.5), "\"Half\"=dword:00000002", Variant::Long(2)},  // halves to even
        {"Neg", Variant::Long(-2), "\"Neg\"=dword:fffffffe", Variant::Long(-2)},
        {"Nothing", Variant(), "\"Nothing\"=dword:00000000", Variant::Long(0)},
    };
    for (const auto& c : cases) store.SaveSetting("_Vexmond", c.name, c.value);
    const std::string text = hive();
    EXPECT_EQ(text.rfind("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\_Vexmond]\r\n", 0), 0u)
        << text;
    HiveRegistry other(dir);  // a second process's view: no shared state
    CAppSettings otherStore(other);
    otherStore.Init("Quorlan", "_Vexmond");
    for (const auto& c : cases) {
        EXPECT_NE(text.find(std::string(c.line) + "\r\n"), std::string::npos) << c.line << "\n" << text;
        EXPECT_EQ(otherStore.GetSetting("_Vexmond", c.name, Variant::String("dflt")), c.readBack) << c.name;
    }
    EXPECT_EQ(modeOf(dir), 0700u);
    EXPECT_EQ(modeOf(dir + "/system.reg"), 0600u);

    std::string all;  // every byte, long enough to wrap over several lines
    for (int i = 1; i < 512; ++i) all += static_cast<char>(i % 255 + 1);
    store.SaveSetting("_Vexmond", "All", Variant::String(all));
    EXPECT_NE(hive().find(",\\\r\n  "), std::string::npos);
    EXPECT_EQ(otherStore.GetSetting("_Vexmond", "All"), Variant::String(all));
}

TEST_F(HiveTest, MissingBinaryAndUnterminatedValuesReadAsTheyShould) {
    writeHive(
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\_Vexmond]\r\n"
        "\"Bin\"=hex:01,02\r\n\"NoNul\"=hex(1):61,62,63\r\n\"ZeroSize\"=hex(1):\r\n\"Inner\"=hex(1):61,00,62,00\r\n");
    const std::pair<const char*, Variant> cases[] = {
        {"Absent", Variant::String("dflt")},
        {"Bin", Variant::String("dflt")},  // neither text nor a number: the default
        {"NoNul", Variant::String("ab")},  // the last stored character is taken for the NUL
        {"ZeroSize", Variant::String("")},
        {"Inner", Variant::String(std::string("a\0b", 3))},
    };
    for (const auto& [name, value] : cases)
        EXPECT_EQ(store.GetSetting("_Vexmond", name, Variant::String("dflt")), value) << name;
    EXPECT_EQ(store.GetSetting("NoSection", "x", Variant::Long(3)), Variant::Long(3));
}

TEST_F(HiveTest, HandEditedFilesReadAsTheRegistryEditorReadsThem) {
    writeHive(
        "REGEDIT4 ; a comment after the header\r; settings of the test server\rgarbage line\r"
        "\"orphan\"=\"before any key\"\r"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\quorlan\\_VEXMOND\\_Vexmond] ; the program's own\r"
        "\"Port\" = \"27960\" ; blanks around =, a comment after\r"
        "\"Short\"=dword:1b\r\"OneDigit\"=hex(1):41,2,00\r"
        "\"Hex\"=hex(1):41,\\ ; a comment after the continuation\r"
        "  ; and a comment line between\r  42,00\r"
        "\"Unclosed\"=\"abc\r\"BadHex\"=hex(1):4g,00\r\"Deleted\"=-\r\"Path\"=\"C:\\Windows\\\\x\"\r"
        "[HKEY_CURRENT_USER\\Software\\Quorlan\\_Vexmond\\_Vexmond]\r\"Other\"=\"root\"\r"
        "[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\_Vexmond]\r"
        "\"Msg\"=\"hello; not a comment\"\r\"Last\"=\"no line end\"");  // CR alone ends each line here
    const std::pair<const char*, Variant> read[] = {
        {"Port", Variant::String("27960")},
        {"Short", Variant::Long(0x1b)},
        {"OneDigit", Variant::String("A\x02")},
        {"Hex", Variant::String("AB")},
        {"Msg", Variant::String("hello; not a comment")},
        {"Last", Variant::String("no line end")},
        {"Path", Variant::String("C:\\Windows\\x")},  // a backslash before a letter stands for itself
        {"orphan", Variant()},
        {"Unclosed", Variant()},
        {"BadHex", Variant()},
        {"Deleted", Variant()},
        {"Other", Variant()},
    };
    for (const auto& [name, value] : read) EXPECT_EQ(store.GetSetting("_Vexmond", name), value) << name;
    EXPECT_EQ(reg.takeNotice(), "");
}

TEST_F(HiveTest, AReadOnlyHiveGivesItsValuesAndRefusesSaving) {
    store.SaveSetting("_Vexmond", "Port", Variant::String("27960"));
    const std::string before = hive();
    for (const bool fileOnly : {true, false}) {
        if (fileOnly)
            ASSERT_EQ(::chmod((dir + "/system.reg").c_str(), 0400), 0);  // chmod a-w, as the README offers
        else
            setReadOnly(true);
        EXPECT_EQ(store.GetSetting("_Vexmond", "Port", Variant::String("dflt")), Variant::String("27960"));
        std::vector<std::string> keys;
        store.GetAllKeys("_Vexmond", keys);
        EXPECT_EQ(keys, std::vector<std::string>{"Port"});
        EXPECT_EQ(testsupport::errorNumber([&] { store.SaveSetting("_Vexmond", "Port", Variant::String("1")); }),
                  0x80044281u);
        EXPECT_EQ(hive(), before);
    }
}

TEST_F(HiveTest, KeysKeepTheCaseTheyWereFirstWrittenInAndOtherRootsTheirOwnHive) {
    store.SaveSetting("IPs", "Hist0", Variant::String("a"));
    CAppSettings upper(reg);
    upper.Init("QUORLAN", "_vexmond");
    EXPECT_EQ(upper.GetSetting("ips", "HIST0"), Variant::String("a"));
    upper.SaveSetting("IPS", "hist0", Variant::String("b"));
    EXPECT_NE(hive().find("[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\IPs]\r\n\"Hist0\"=\"b\""),
              std::string::npos);
    // Enumeration order and deleting only a leaf: the registry contract, on both platforms.
    std::vector<std::string> keys{"stale"};
    store.DeleteSetting("IPs");
    EXPECT_TRUE(store.GetSetting("IPs", "Hist0").isEmpty());
    EXPECT_THROW(store.GetAllKeys("IPs", keys), base::AppError);
    EXPECT_TRUE(keys.empty());

    store.setRootKey(static_cast<std::int32_t>(platform::kHKeyCurrentUser));
    store.setMainBranch("Soft");
    store.SaveSetting("New\\Deep", "k", Variant::String("v"));
    EXPECT_NE(readFile(dir + "/user.reg").find("[HKEY_CURRENT_USER\\Soft\\Quorlan\\_Vexmond\\New\\Deep]\r\n"),
              std::string::npos);
}

TEST_F(HiveTest, RefusedArgumentsAndValuesLeaveTheStoreAsItWas) {
    const std::pair<std::function<void()>, std::uint32_t> cases[] = {
        {[&] { store.Init("Co", ""); }, 0x8004427D},
        {[&] { store.setRootKey(static_cast<std::int32_t>(0x80000000u)); }, 0x80044280},
        {[&] { store.DeleteSetting("Missing"); }, 0x80044282},
        {[&] { store.SaveSetting("_Vexmond", "n", Variant::Null()); }, 0x80044284},
        {[&] { store.SaveSetting("_Vexmond", "big", Variant::Double(3e10)); }, 0x80044284},
        // A key line that would read back as another key.
        {[&] { store.SaveSetting("a] ;b", "n", Variant::String("x")); }, 0x80044281},
    };
    for (const auto& [call, number] : cases) EXPECT_EQ(testsupport::errorNumber(call), number);
    EXPECT_EQ(store.CompanyName(), "Co");  // stored before the second check failed
    EXPECT_EQ(store.AppName(), "_Vexmond");
    EXPECT_EQ(platform::predefinedKey(static_cast<std::uint32_t>(store.RootKey())), platform::kHKeyLocalMachine);
    EXPECT_TRUE(store.GetSetting("_Vexmond", "big").isEmpty());
}

TEST(Paths, FollowTheXdgVariables) {
    testsupport::TempDir tmp;
    {
        testsupport::ScopedEnv config("XDG_CONFIG_HOME", tmp / "cfg");
        EXPECT_EQ(platform::posix::configDirectory(), tmp / "cfg/vexmond");
    }
    testsupport::ScopedEnv home("HOME", tmp.path());
    testsupport::ScopedEnv relative("XDG_CONFIG_HOME", "relative/ignored");
    testsupport::ScopedEnv empty("XDG_DATA_HOME", "");
    EXPECT_EQ(platform::posix::configDirectory(), tmp / ".config/vexmond");
    EXPECT_EQ(platform::posix::dataDirectory(), tmp / ".local/share/vexmond");
}
