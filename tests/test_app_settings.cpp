#include <gtest/gtest.h>

#include "settings/CAppSettings.h"
#include "support/AppError.h"
#include "tests/fakes/FakeRegistry.h"

using settings::CAppSettings;
using support::Variant;

namespace {

const std::string kSection = "Software\\Quorlan\\_Vexmond\\_Vexmond";

std::vector<std::uint8_t> bytes(const std::string& s) { return {s.begin(), s.end()}; }

template <class F>
support::AppError errorOf(F&& f) {
    try {
        f();
    } catch (const support::AppError& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return support::AppError(0, "", "");
}

struct StoreTest : ::testing::Test {
    fakes::FakeRegistry reg;
    CAppSettings store{reg};
    void SetUp() override { store.Init("Quorlan", "_Vexmond"); }
    const platform::posix::HiveValue* stored(const std::string& name) {
        return reg.value(platform::kHKeyLocalMachine, kSection, name);
    }
};

}  // namespace

TEST_F(StoreTest, StoresEachTypeAsTextOrIntegerWithExactBytes) {
    struct Case {
        const char* key;
        Variant value;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
        Variant readBack;
    } cases[] = {
        {"abc", Variant::String("abc"), platform::kRegSz, bytes(std::string("abc\0", 4)), Variant::String("abc")},
        {"empty", Variant::String(""), platform::kRegSz, {0}, Variant::String("")},
        {"bool", Variant::Boolean(true), platform::kRegSz, bytes(std::string("True\0", 5)), Variant::String("True")},
        {"int16", Variant::Integer(7), platform::kRegDword, {7, 0, 0, 0}, Variant::Long(7)},
        {"half", Variant::Double(2.5), platform::kRegDword, {2, 0, 0, 0}, Variant::Long(2)},
        {"threehalf", Variant::Double(3.5), platform::kRegDword, {4, 0, 0, 0}, Variant::Long(4)},
        {"neg", Variant::Long(-2), platform::kRegDword, {0xFE, 0xFF, 0xFF, 0xFF}, Variant::Long(-2)},
        {"nothing", Variant(), platform::kRegDword, {0, 0, 0, 0}, Variant::Long(0)},
        {"latin1", Variant::String("caf\xE9"), platform::kRegSz, bytes(std::string("caf\xE9\0", 5)),
         Variant::String("caf\xE9")},
    };
    for (const auto& c : cases) {
        store.SaveSetting("_Vexmond", c.key, c.value);
        const auto* v = stored(c.key);
        ASSERT_NE(v, nullptr) << c.key;
        EXPECT_EQ(v->type, c.type) << c.key;
        EXPECT_EQ(v->data, c.data) << c.key;
        EXPECT_EQ(store.GetSetting("_Vexmond", c.key, Variant::String("dflt")), c.readBack) << c.key;
    }
    EXPECT_EQ(reg.openHandles(), 0u);
}

TEST_F(StoreTest, MissingValuesGiveTheDefaultWithoutError) {
    EXPECT_EQ(store.GetSetting("NoSuchSection", "x", Variant::String("5")), Variant::String("5"));
    EXPECT_TRUE(store.GetSetting("NoSuchSection", "x").isEmpty());
    store.SaveSetting("_Vexmond", "present", Variant::String("v"));
    EXPECT_EQ(store.GetSetting("_Vexmond", "absent", Variant::Long(3)), Variant::Long(3));
    // A binary value is neither text nor integer: the default too.
    platform::posix::setValue(*reg.hive(platform::kHKeyLocalMachine).find(kSection),
                              {"bin", platform::kRegBinary, {1, 2}, {}});
    EXPECT_EQ(store.GetSetting("_Vexmond", "bin", Variant::String("d")), Variant::String("d"));
}

TEST_F(StoreTest, ReadingTextDropsTheLastStoredCharacter) {
    auto& key = reg.hive(platform::kHKeyLocalMachine).ensure(kSection);
    platform::posix::setValue(key, {"noNul", platform::kRegSz, bytes("abc"), {}});
    platform::posix::setValue(key, {"zeroSize", platform::kRegSz, {}, {}});
    platform::posix::setValue(key, {"inner", platform::kRegSz, bytes(std::string("a\0b\0", 4)), {}});
    EXPECT_EQ(store.GetSetting("_Vexmond", "noNul"), Variant::String("ab"));
    EXPECT_EQ(store.GetSetting("_Vexmond", "zeroSize"), Variant::String(""));
    EXPECT_EQ(store.GetSetting("_Vexmond", "inner"), Variant::String(std::string("a\0b", 3)));
}

TEST_F(StoreTest, SaveCreatesTheWholePathUnderTheChosenRoot) {
    store.setRootKey(static_cast<std::int32_t>(platform::kHKeyCurrentUser));
    store.setMainBranch("Soft");
    store.SaveSetting("New\\Deep", "k", Variant::String("v"));
    auto& hive = reg.hive(platform::kHKeyCurrentUser);
    for (const char* p : {"Soft", "Soft\\Quorlan", "Soft\\Quorlan\\_Vexmond", "Soft\\Quorlan\\_Vexmond\\New",
                          "Soft\\Quorlan\\_Vexmond\\New\\Deep"})
        EXPECT_NE(hive.find(p), nullptr) << p;
    EXPECT_EQ(reg.hive(platform::kHKeyLocalMachine).keys.size(), 0u);
}

TEST_F(StoreTest, ReadOnlyStoreGivesItsValuesAndRefusesToSave) {
    store.SaveSetting("_Vexmond", "Port", Variant::String("27960"));
    reg.readOnly = true;
    // Reading asks only for the right to read: a read-only store still gives its values.
    EXPECT_EQ(store.GetSetting("_Vexmond", "Port", Variant::String("")), Variant::String("27960"));
    EXPECT_EQ(reg.openAccess.back(), 0x1u);
    const auto e = errorOf([&] { store.SaveSetting("_Vexmond", "Port", Variant::String("1")); });
    EXPECT_EQ(e.number(), static_cast<std::int32_t>(0x80044281));
    EXPECT_EQ(e.source(), "vexmond.CAppSetting");
    EXPECT_EQ(e.description(), "Failed saving the application setting");
    reg.readOnly = false;
    EXPECT_EQ(store.GetSetting("_Vexmond", "Port"), Variant::String("27960"));
    EXPECT_EQ(reg.openHandles(), 0u);
}

TEST_F(StoreTest, ErrorTable) {
    struct Case {
        std::function<void()> call;
        std::uint32_t number;
        const char* source;
        const char* description;
    } cases[] = {
        {[&] { store.Init("Co", ""); }, 0x8004427D, "vexmond.CAppSettings", "Invalid AppName value"},
        {[&] { store.setAppName(""); }, 0x8004427D, "vexmond.CAppSettings", "Invalid AppName value"},
        {[&] { store.Init("", "App"); }, 0x8004427E, "vexmond.CAppSettings", "Invalid CompanyName value"},
        {[&] { store.setCompanyName(""); }, 0x8004427E, "vexmond.CAppSettings", "Invalid CompanyName value"},
        {[&] { store.setMainBranch(""); }, 0x8004427F, "vexmond.CAppSettings", "Invalid MainBranch value"},
        {[&] { store.setRootKey(static_cast<std::int32_t>(0x80000000u)); }, 0x80044280, "vexmond.CAppSettings",
         "Invalid root key value"},
        {[&] { store.DeleteSetting("Missing"); }, 0x80044282, "vexmond.CAppSetting",
         "Failed deleting the application setting"},
        {[&] {
             std::vector<std::string> keys;
             store.GetAllKeys("Missing", keys);
         },
         0x80044283, "vexmond.CAppSetting", "Failed getting all the application keys"},
        {[&] { store.SaveSetting("_Vexmond", "n", Variant::Null()); }, 0x80044284, "vexmond.CAppSettings",
         "CAppSettings component failure"},
        {[&] { store.SaveSetting("_Vexmond", "big", Variant::Double(3e10)); }, 0x80044284, "vexmond.CAppSettings",
         "CAppSettings component failure"},
    };
    for (const auto& c : cases) {
        const auto e = errorOf(c.call);
        EXPECT_EQ(static_cast<std::uint32_t>(e.number()), c.number) << c.description;
        EXPECT_EQ(e.source(), c.source) << c.description;
        EXPECT_EQ(e.description(), c.description);
    }
    EXPECT_EQ(reg.openHandles(), 0u);
}

TEST_F(StoreTest, RefusedValuesLeaveTheFieldsAsTheyWere) {
    EXPECT_THROW(store.Init("NewCo", ""), support::AppError);
    EXPECT_EQ(store.CompanyName(), "NewCo");  // stored before the second check failed
    EXPECT_EQ(store.AppName(), "_Vexmond");
    EXPECT_THROW(store.setRootKey(static_cast<std::int32_t>(0x80000000u)), support::AppError);
    EXPECT_EQ(static_cast<std::uint32_t>(store.RootKey()), platform::kHKeyLocalMachine);
    CAppSettings fresh(reg);
    EXPECT_EQ(fresh.MainBranch(), "Software");
    EXPECT_EQ(fresh.CompanyName(), "MyCompany");
    EXPECT_EQ(fresh.AppName(), "MyApplication");
}

TEST_F(StoreTest, GetAllKeysAndDeleteSetting) {
    std::vector<std::string> keys{"stale"};
    store.SaveSetting("Empty", "x", Variant::String("1"));
    store.DeleteSetting("Empty", "x");
    store.GetAllKeys("Empty", keys);
    EXPECT_TRUE(keys.empty());

    for (const char* k : {"Hist0", "Hist1", "LongerName"}) store.SaveSetting("IPs", k, Variant::String(k));
    store.GetAllKeys("IPs", keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"Hist0", "Hist1", "LongerName"}));

    store.DeleteSetting("IPs");
    EXPECT_TRUE(store.GetSetting("IPs", "Hist0").isEmpty());
    EXPECT_THROW(store.GetAllKeys("IPs", keys), support::AppError);
    EXPECT_TRUE(keys.empty());
    EXPECT_EQ(reg.openHandles(), 0u);
}
