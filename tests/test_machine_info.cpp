#include <gtest/gtest.h>

#include <regex>

#include "platform/posix/PosixMachineInfo.h"
#include "support/AppError.h"
#include "support/CInfo.h"
#include "tests/fakes/FakeControls.h"
#include "platform/posix/HiveRegistry.h"
#include "tests/support/TempDir.h"

using support::CInfo;
using support::CSystem;
using support::Variant;

namespace {

// Answers the classes' questions with what a test puts in.
struct FakeMachine : platform::IMachineInfo {
    int bits = 24, planes = 1, dpi = 96;
    std::uint32_t ticks = 0;
    platform::Rect area{0, 0, 1920, 1040};
    bool fail = false;
    std::vector<std::tuple<std::uint32_t, std::int32_t, std::uint32_t>> sets;

    bool answer(std::string& buffer, const std::string& text) const {
        if (fail) throw support::AppError(5, "vexmond", "Invalid procedure call or argument");
        platform::fillBuffer(buffer, text);
        return true;
    }
    template <class T>
    bool give(T* out, const T& value) const {
        std::string unused;
        *out = value;
        return answer(unused, "");
    }
    bool systemParametersGet(std::uint32_t a, std::int32_t* v) override { return give(v, a == 14 ? 600 : 1); }
    bool systemParametersSet(std::uint32_t a, std::int32_t v, std::uint32_t f) override {
        sets.emplace_back(a, v, f);
        return true;
    }
    bool workArea(platform::Rect* r) override { return give(r, area); }
    bool computerName(std::string& b) override { return answer(b, "SERVER"); }
    bool setComputerName(const std::string&) override { return true; }
    bool currentHwProfileName(std::string&) override { return false; }  // the buffer stays NULs
    int deviceCaps(int i) override { return i == 12 ? bits : i == 14 ? planes : dpi; }
    bool createGuid(platform::GuidValue* g) override {
        return give(g, platform::GuidValue{0x0A1B2C3D, 0x00E5, 0xF00F, {0, 1, 2, 3, 4, 5, 6, 7}});
    }
    std::uint32_t userDefaultLcid() override { return 0x0409; }
    int localeInfo(std::uint32_t, std::uint32_t, std::string&) override { return 0; }  // the blanks stay
    bool versionEx(platform::VersionInfo* v) override {
        return give(v, platform::VersionInfo{10, 0, 0x40000ECE, 2, "Service Pack 9" + std::string(114, '\0')});
    }
    bool systemDirectory(std::string& b) override { return answer(b, "C:\\WINDOWS\\system32"); }
    bool windowsDirectory(std::string&) override { return false; }
    bool tempPath(std::string& b) override { return answer(b, "/tmp/"); }
    bool tempFileName(const std::string& path, const std::string& prefix, std::uint32_t u, std::string& b) override {
        return answer(b, path + prefix.substr(0, 3) + std::to_string(u) + ".TMP");
    }
    bool userName(std::string& b) override { return answer(b, "admin"); }
    std::uint32_t tickCount() override { return ticks; }
    void systemInfo(platform::SystemInfo* i) override {
        std::string unused;
        answer(unused, "");
        i->numberOfProcessors = 2;
        i->maximumApplicationAddress = 0x7FFFFFFFFFFFull;
        i->processorArchitecture = -1;
    }
    bool processorFeature(std::uint32_t f) override { return f == 3; }
    int systemMetrics(int) override { return 2 | 4; }
};

struct InfoTest : ::testing::Test {
    FakeMachine machine;
    testsupport::TempDir tmp;
    platform::posix::HiveRegistry registry{tmp.path()};
    fakes::FakeMessageBox boxes;
    CInfo info{machine, registry, boxes};
    CSystem system{machine, boxes};
};

}  // namespace

TEST_F(InfoTest, FailuresShowTheirNumberUnderTheMembersName) {
    machine.bits = 40;  // 2 to the 40th does not fit a Long
    EXPECT_EQ(info.DisplayColors(), 0);
    machine.area = {0, 0, 40000, 100};
    std::int16_t l = 7, t = 7, w = 7, h = 7;
    info.GetWorkArea(l, t, w, h);
    EXPECT_EQ(std::vector<int>({l, t, w}), std::vector<int>({0, 0, 7}));  // what it held at the failure
    EXPECT_EQ(system.MaxAppAddress(), 0);
    machine.fail = true;
    EXPECT_EQ(info.ComputerName(), "");
    EXPECT_FALSE(info.Beep());
    EXPECT_EQ(system.PageSize(), 0);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Error: 6. Overflow", "DisplayColors"},
        {"Error: 6. Overflow", "GetWorkArea"},
        {"Error: 6. Overflow", "MaxAppAddress"},
        {"Error: 5. Invalid procedure call or argument", "ComputerName"},
        {"Error: 5. Invalid procedure call or argument", "Beep"},
        {"Error: 5. Invalid procedure call or argument", "PageSize"}};
    ASSERT_EQ(boxes.shown.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(boxes.shown[i].text, expected[i].first);
        EXPECT_EQ(boxes.shown[i].title, expected[i].second);
        EXPECT_EQ(boxes.shown[i].style, 0);
    }
}

TEST_F(InfoTest, RegistryValuesByTheirType) {
    testsupport::writeFile(tmp / "user.reg",
                           "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\MS Setup (ACME)\\User Info]\r\n"
                           "\"DefCompany\"=\"Quorlan\"\r\n\"Bin\"=hex:01,02,03\r\n\"EmptyBin\"=hex:\r\n"
                           "\"Five\"=dword:00000005\r\n\"Multi\"=hex(7):61,00,00\r\n");
    const std::string path = "Software\\Microsoft\\MS Setup (ACME)\\User Info";
    EXPECT_EQ(info.DefaultCompanyName(), "Quorlan");
    EXPECT_EQ(info.DefaultUserName(), "");  // no such value: empty, no message
    EXPECT_EQ(info.RegistryGetKeyValue(platform::kHKeyCurrentUser, path, "Bin"), Variant::ByteArray({1, 2, 3, 0}));
    EXPECT_EQ(info.RegistryGetKeyValue(platform::kHKeyCurrentUser, path, "EmptyBin"), Variant::ByteArray({}));
    EXPECT_EQ(info.RegistryGetKeyValue(platform::kHKeyCurrentUser, path, "Five"), Variant::Long(5));
    EXPECT_TRUE(info.RegistryGetKeyValue(platform::kHKeyCurrentUser, path, "Multi").isEmpty());
    EXPECT_TRUE(info.RegistryGetKeyValue(platform::kHKeyCurrentUser, "Software\\Missing", "x").isEmpty());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(MachineInfoOnThisMachine, GuidsAreRandomVersion4) {
    platform::posix::PosixMachineInfo machine;
    testsupport::TempDir tmp;
    platform::posix::HiveRegistry registry(tmp.path());
    fakes::FakeMessageBox boxes;
    CInfo info(machine, registry, boxes);
    const std::regex form(R"(\{[0-9A-F]{1,8}-[0-9A-F]{1,4}-4[0-9A-F]{3}-[0-9A-F]{2,16}\})");
    const std::string a = info.GUID(), b = info.GUID();
    EXPECT_TRUE(std::regex_match(a, form)) << a;
    EXPECT_NE(a, b);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(MachineInfoOnThisMachine, ProcessorRevisionIsModelAndSteppingUnsigned) {
    const struct {
        int model, stepping;
        std::uint16_t revision;
    } cases[] = {{143, 8, 36616}, {85, 7, 21767}, {0, 0, 0}, {255, 255, 65535}};
    for (const auto& c : cases)
        EXPECT_EQ(platform::posix::processorRevisionOf(c.model, c.stepping), c.revision)
            << c.model << "/" << c.stepping;
}
