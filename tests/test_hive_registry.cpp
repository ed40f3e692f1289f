#include <gtest/gtest.h>
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
              "REGEDIT4\n"
              "\n[HKEY_LOCAL_MACHINE\\Software]\n"
              "\n[HKEY_LOCAL_MACHINE\\Software\\Quorlan]\n"
              "\n[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond]\n"
              "\n[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\_Vexmond]\n"
              "\"Password\"=\"se\\\"cr\\\\et\"\n"
              "\"Port\"=\"27960\"\n"
              "\"Count\"=dword:0000001b\n"
              "\"Msg\"=hex(1):48,69,0d,0a,42,79,65,00\n"
              "\n[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\IPs]\n"
              "\"Hist0\"=\"\"\n");
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
    EXPECT_NE(hive().find(",\\\n  "), std::string::npos);
    HiveRegistry other(dir);  // a second process's view: no shared state
    CAppSettings otherStore(other);
    otherStore.Init("Quorlan", "_Vexmond");
    EXPECT_EQ(otherStore.GetSetting("_Vexmond", "all"), Variant::String(all));
}

TEST_F(HiveTest, DamagedFileYieldsItsGoodValues) {
    platform::posix::makeDirectories(dir, 0700);
    writeFile(dir + "/system.reg",
              "REGEDIT4\r\n"
              "garbage line\r\n"
              "\"orphan\"=\"before any key\"\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\quorlan\\_VEXMOND\\_Vexmond]\r\n"
              "\"Port\"=\"27960\"\r\n"
              "\"Bad\"=dword:12\r\n"
              "\"Unclosed\"=\"abc\r\n"
              "\"Hex\"=hex(1):41,\\\r\n"
              "  42,00\r\n"
              "\"BadHex\"=hex(1):4g,00\r\n"
              "[HKEY_CURRENT_USER\\Software\\Quorlan\\_Vexmond\\_Vexmond]\r\n"
              "\"Other\"=\"root\"\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\_Vexmond]\r\n"
              "\"Msg\"=\"hello\"\r\n"
              "\"Cut\"=\"this line was cut sh");
    EXPECT_EQ(store.GetSetting("_Vexmond", "Port"), Variant::String("27960"));
    EXPECT_EQ(store.GetSetting("_Vexmond", "Hex"), Variant::String("AB"));
    EXPECT_EQ(store.GetSetting("_Vexmond", "Msg"), Variant::String("hello"));
    for (const char* gone : {"orphan", "Bad", "Unclosed", "BadHex", "Other", "Cut"})
        EXPECT_TRUE(store.GetSetting("_Vexmond", gone).isEmpty()) << gone;

    // Writing into a damaged hive keeps every good value.
    store.SaveSetting("_Vexmond", "New", Variant::String("n"));
    EXPECT_EQ(store.GetSetting("_Vexmond", "Port"), Variant::String("27960"));
    EXPECT_EQ(store.GetSetting("_Vexmond", "Hex"), Variant::String("AB"));
    EXPECT_EQ(store.GetSetting("_Vexmond", "New"), Variant::String("n"));
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
    EXPECT_NE(hive().find("[HKEY_LOCAL_MACHINE\\Software\\Quorlan\\_Vexmond\\IPs]\n\"Hist0\"=\"b\""), std::string::npos);

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
