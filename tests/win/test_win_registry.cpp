// The settings in the real Win32 registry (under wine): where they go, with
// which type and size, and how an earlier installation's settings below
// HKEY_LOCAL_MACHINE, or Windows' virtualised copy of them, carry over.
#include <gtest/gtest.h>
#include <windows.h>

#include "settings/CAppSettings.h"
#include "base/AppError.h"
#include "tests/support/NativeStore.h"
#include "tests/support/TempDir.h"

using settings::CAppSettings;
using support::Variant;

namespace {

const std::string kSection = "Software\\Quorlan\\_Vexmond\\IPs";

struct WinRegistryTest : ::testing::Test {
    testsupport::TempDir tmp;
    testsupport::NativeStore store{tmp};
    CAppSettings settings{store.registry()};
    void SetUp() override { settings.Init("Quorlan", "_Vexmond"); }

    // A value as the raw call reads it: its type and bytes; type 0 when missing.
    static std::pair<DWORD, std::string> raw(HKEY root, const std::string& path, const char* name) {
        char data[256] = {};
        DWORD type = 0, size = sizeof data;
        if (RegGetValueA(root, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size) != ERROR_SUCCESS)
            return {0, ""};
        return {type, std::string(data, size)};
    }
    static void put(HKEY root, const std::string& path, const char* name, const std::string& text) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
    }
};

}  // namespace

TEST_F(WinRegistryTest, SettingsGoBelowTheUserWithTheTypeAndSizeOfEachKind) {
    EXPECT_EQ(platform::predefinedKey(static_cast<std::uint32_t>(settings.RootKey())), platform::kHKeyCurrentUser);
    const struct {
        const char* name;
        Variant value;
        DWORD type;
        std::string bytes;
    } cases[] = {
        {"Password", Variant::String("pw "), REG_SZ, std::string("pw \0", 4)},
        {"Msg", Variant::String("A\r\n\xE9"), REG_SZ, std::string("A\r\n\xE9\0", 5)},
        {"Empty", Variant::String(""), REG_SZ, std::string("\0", 1)},
        {"Bool", Variant::Boolean(true), REG_SZ, std::string("True\0", 5)},
        {"Port", Variant::Long(27960), REG_DWORD, std::string("\x38\x6d\0\0", 4)},
        {"Half", Variant::Double(2.5), REG_DWORD, std::string("\x02\0\0\0", 4)},
        {"Neg", Variant::Integer(-2), REG_DWORD, std::string("\xfe\xff\xff\xff", 4)},
    };
    const std::string section = "Software\\Quorlan\\_Vexmond\\_Vexmond";
    for (const auto& c : cases) settings.SaveSetting("_Vexmond", c.name, c.value);
    for (const auto& c : cases) {
        EXPECT_EQ(raw(HKEY_CURRENT_USER, section, c.name), std::make_pair(c.type, c.bytes)) << c.name;
        EXPECT_EQ(raw(HKEY_LOCAL_MACHINE, section, c.name).first, 0u) << c.name;
    }
    CAppSettings again(store.registry());  // the next run
    again.Init("Quorlan", "_Vexmond");
    EXPECT_EQ(again.GetSetting("_Vexmond", "Msg"), Variant::String("A\r\n\xE9"));
    EXPECT_EQ(again.GetSetting("_Vexmond", "Port"), Variant::Long(27960));

    // A caller that names the machine's root gets it.
    again.setRootKey(static_cast<std::int32_t>(platform::kHKeyLocalMachine));
    again.SaveSetting("_Vexmond", "Machine", Variant::String("m"));
    EXPECT_EQ(raw(HKEY_LOCAL_MACHINE, section, "Machine").first, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw(HKEY_CURRENT_USER, section, "Machine").first, 0u);
}

TEST_F(WinRegistryTest, AnEarlierInstallationsHistoryIsReadKeptOnTheFirstChangeAndNotBroughtBackByADelete) {
    const std::string virtualised = "Software\\Classes\\VirtualStore\\MACHINE\\" + kSection;
    const struct {
        HKEY root;
        std::string path;
        bool saveFirst;  // else a value is deleted first
    } cases[] = {
        {HKEY_LOCAL_MACHINE, kSection, true},
        {HKEY_LOCAL_MACHINE, kSection, false},
        {HKEY_CURRENT_USER, virtualised, true},
        {HKEY_CURRENT_USER, virtualised, false},
    };
    for (const auto& c : cases) {
        const std::string what = c.path + (c.saveFirst ? ", save first" : ", delete first");
        testsupport::TempDir dir;
        testsupport::NativeStore fresh{dir};
        CAppSettings s{fresh.registry()};
        s.Init("Quorlan", "_Vexmond");
        put(c.root, c.path, "Hist0", "10.0.0.1");
        put(c.root, c.path, "Hist1", "10.0.0.2");

        std::vector<std::string> keys;
        s.GetAllKeys("IPs", keys);
        EXPECT_EQ(keys, (std::vector<std::string>{"Hist0", "Hist1"})) << what;
        EXPECT_EQ(s.GetSetting("IPs", "Hist1"), Variant::String("10.0.0.2")) << what;

        // The change is made to the user's key, which starts as the old one.
        if (c.saveFirst) {
            s.SaveSetting("IPs", "Hist2", Variant::String("10.0.0.3"));
            s.DeleteSetting("IPs", "Hist1");
        } else {
            s.DeleteSetting("IPs", "Hist1");
            s.SaveSetting("IPs", "Hist2", Variant::String("10.0.0.3"));
        }
        EXPECT_EQ(raw(HKEY_CURRENT_USER, kSection, "Hist0").second, std::string("10.0.0.1\0", 9)) << what;
        s.GetAllKeys("IPs", keys);
        EXPECT_EQ(keys, (std::vector<std::string>{"Hist0", "Hist2"})) << what;

        s.DeleteSetting("IPs");
        EXPECT_EQ(s.GetSetting("IPs", "Hist0", Variant::String("gone")), Variant::String("gone")) << what;
        s.SaveSetting("IPs", "Hist0", Variant::String("10.9.9.9"));
        s.GetAllKeys("IPs", keys);
        EXPECT_EQ(keys, std::vector<std::string>{"Hist0"}) << what;
        EXPECT_EQ(raw(c.root, c.path, "Hist1").first, static_cast<DWORD>(REG_SZ)) << what;  // the old copy stays
    }
}
