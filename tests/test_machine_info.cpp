// CInfo and CSystem on this machine, over a real registry in a temporary directory.
#include <gtest/gtest.h>

#include <regex>

#include "platform/posix/HiveRegistry.h"
#include "platform/posix/PosixMachineInfo.h"
#include "support/CInfo.h"
#include "tests/fakes/FakeControls.h"
#include "tests/support/TempDir.h"

using support::Variant;

TEST(MachineInfo, RegistryValuesByTheirTypeAndFreshVersion4Guids) {
    testsupport::TempDir tmp;
    platform::posix::PosixMachineInfo machine;
    platform::posix::HiveRegistry registry(tmp.path());
    fakes::FakeMessageBox boxes;
    support::CInfo info(machine, registry, boxes);
    testsupport::writeFile(tmp / "user.reg",
                           "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\MS Setup (ACME)\\User Info]\r\n"
                           "\"DefCompany\"=\"Quorlan\"\r\n\"Bin\"=hex:01,02,03\r\n\"EmptyBin\"=hex:\r\n"
                           "\"Five\"=dword:00000005\r\n\"Multi\"=hex(7):61,00,00\r\n");
    const std::string path = "Software\\Microsoft\\MS Setup (ACME)\\User Info";
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

TEST(MachineInfo, ProcessorRevisionIsModelAndSteppingUnsigned) {
    const struct {
        int model, stepping;
        std::uint16_t revision;
    } cases[] = {{143, 8, 36616}, {85, 7, 21767}, {0, 0, 0}, {255, 255, 65535}};
    for (const auto& c : cases)
        EXPECT_EQ(platform::posix::processorRevisionOf(c.model, c.stepping), c.revision) << c.model;
}
