// CInfo and CSystem on this machine, over the platform's real registry in a
// place of the test's own.
#include <gtest/gtest.h>

#include <regex>

#include "support/CInfo.h"
#include "tests/fakes/FakeControls.h"
#include "tests/support/NativeStore.h"
#include "tests/support/TempDir.h"

#ifdef _WIN32
#include "platform/win/WinMachineInfo.h"
using NativeMachineInfo = platform::win::WinMachineInfo;
#else
#include "platform/posix/PosixMachineInfo.h"
using NativeMachineInfo = platform::posix::PosixMachineInfo;
#endif

using support::Variant;

namespace {
void setValue(platform::IRegistry& registry, const std::string& path, const char* name, std::uint32_t type,
              const std::vector<std::uint8_t>& data) {
    platform::RegKey key = 0;
    ASSERT_EQ(registry.createKey(platform::kHKeyCurrentUser, path, platform::kKeyAllAccess3F, &key), 0);
    EXPECT_EQ(registry.setValue(key, name, type, data), 0);
    registry.closeKey(key);
}
}  // namespace

TEST(MachineInfo, RegistryValuesByTheirTypeAndFreshVersion4Guids) {
    testsupport::TempDir tmp;
    testsupport::NativeStore store(tmp);
    NativeMachineInfo machine;
    fakes::FakeMessageBox boxes;
    support::CInfo info(machine, store.registry(), boxes);
    const std::string path = "Software\\Microsoft\\MS Setup (ACME)\\User Info";
    setValue(store.registry(), path, "DefCompany", platform::kRegSz, {'Q', 'u', 'o', 'r', 'l', 'a', 'n', 0});
    setValue(store.registry(), path, "Bin", platform::kRegBinary, {1, 2, 3});
    setValue(store.registry(), path, "EmptyBin", platform::kRegBinary, {});
    setValue(store.registry(), path, "Five", platform::kRegDword, {5, 0, 0, 0});
    setValue(store.registry(), path, "Multi", 7, {'a', 0, 0});
    const auto value = [&](const char* name) {
        return info.RegistryGetKeyValue(platform::kHKeyCurrentUser, path, name);
    };
    EXPECT_EQ(info.DefaultCompanyName(), "Quorlan");
    EXPECT_EQ(info.DefaultUserName(), "");  // no such value: empty, no message
    EXPECT_EQ(value("Bin"), Variant::ByteArray({1, 2, 3, 0}));
    EXPECT_EQ(value("EmptyBin"), Variant::ByteArray({}));
    EXPECT_EQ(value("Five"), Variant::Long(5));
    EXPECT_TRUE(value("Multi").isEmpty());
    EXPECT_TRUE(info.RegistryGetKeyValue(platform::kHKeyCurrentUser, "Software\\Missing", "x").isEmpty());

    const std::regex form(R"(\{[0-9A-F]{1,8}-[0-9A-F]{1,4}-4[0-9A-F]{3}-[0-9A-F]{2,16}\})");
    const std::string a = info.GUID(), b = info.GUID();
    EXPECT_TRUE(std::regex_match(a, form)) << a;
    EXPECT_NE(a, b);
    EXPECT_TRUE(boxes.shown.empty());

    // The top of a 64-bit address space does not fit a Long: the member says so in its box and answers 0.
    support::CSystem system(machine, boxes);
    EXPECT_EQ(system.MaxAppAddress(), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(std::make_pair(boxes.shown[0].text, boxes.shown[0].title),
              std::make_pair(std::string("Error: 6. Overflow"), std::string("MaxAppAddress")));
}

#ifndef _WIN32  // Windows reports the word itself
TEST(MachineInfo, ProcessorRevisionIsModelAndSteppingUnsigned) {
    const struct {
        int model, stepping;
        std::uint16_t revision;
    } cases[] = {{143, 8, 36616}, {85, 7, 21767}, {0, 0, 0}, {255, 255, 65535}};
    for (const auto& c : cases)
        EXPECT_EQ(platform::posix::processorRevisionOf(c.model, c.stepping), c.revision) << c.model;
}
#endif

// What the members make of the machine's figures: minutes from a 32-bit
// millisecond count, colours from the screen's bits per pixel, large fonts
// from 120 dots per inch.
TEST(MachineInfo, MembersReportTheirValuesInTheirOwnUnits) {
    struct Machine : NativeMachineInfo {
        std::uint32_t ticks = 0;
        int bits = 24, dpi = 96;
        std::uint32_t tickCount() override { return ticks; }
        int deviceCaps(int index) override { return index == 12 ? bits : index == 14 ? 1 : index == 88 ? dpi : 0; }
    } machine;
    testsupport::TempDir tmp;
    testsupport::NativeStore store(tmp);
    fakes::FakeMessageBox boxes;
    support::CInfo info(machine, store.registry(), boxes);
    const struct {
        std::uint32_t ticks;
        int bits, dpi;
        std::int32_t minutes, colours;
        bool large;
    } cases[] = {
        {0, 1, 96, 0, 2, false},
        {90000, 8, 120, 2, 256, true},  // 1.5 minutes: halves to even
        {150000, 16, 96, 2, 65536, false},
        {0xFFFFFFFF, 32, 144, 71583, -1, false},  // 32 bits: -1
    };
    for (const auto& c : cases) {
        machine.ticks = c.ticks, machine.bits = c.bits, machine.dpi = c.dpi;
        EXPECT_EQ(info.WindowsUpTime(), c.minutes) << c.ticks;
        EXPECT_EQ(info.DisplayColors(), c.colours) << c.bits;
        EXPECT_EQ(info.LargeFonts(), c.large) << c.dpi;
    }
    EXPECT_TRUE(boxes.shown.empty());
}
