// What the logic asks of the registry, held against the store each platform
// ships: the real Win32 registry on Windows (under wine), the hive files on
// Linux, which must answer as the real registry does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Registry.h"
#include "tests/support/NativeStore.h"
#include "tests/support/TempDir.h"

using namespace platform;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct RegistryContract : ::testing::Test {
    testsupport::TempDir tmp;
    testsupport::NativeStore store{tmp};
    IRegistry& reg = store.registry();
    const std::string path = "Software\\Quorlan\\_Vexmond\\Contract";

    RegKey create(const std::string& where, std::uint32_t access = kKeyAllAccess3F) {
        RegKey key = 0;
        EXPECT_EQ(reg.createKey(kHKeyLocalMachine, where, access, &key), kErrorSuccess) << where;
        return key;
    }
    long open(const std::string& where, std::uint32_t access, RegKey* key) {
        return reg.openKey(kHKeyLocalMachine, where, access, key);
    }
};

}  // namespace

TEST_F(RegistryContract, KeysOpenByNameInAnyCaseAndOnlyALeafIsDeleted) {
    RegKey key = 0;
    EXPECT_EQ(open(path, kKeyQueryValue, &key), kErrorFileNotFound);
    reg.closeKey(create(path));  // with every key above it
    EXPECT_EQ(open("SOFTWARE\\quorlan\\_VEXMOND\\contract", kKeyQueryValue, &key), kErrorSuccess);
    EXPECT_EQ(reg.closeKey(key), kErrorSuccess);
    EXPECT_EQ(reg.deleteKey(kHKeyLocalMachine, "Software\\Quorlan"), kErrorAccessDenied);  // it has subkeys
    EXPECT_EQ(open(path, kKeyAllAccess3F, &key), kErrorSuccess);
    EXPECT_EQ(reg.deleteKey(kHKeyLocalMachine, path), kErrorSuccess);
    // A handle to a deleted key writes nothing.
    EXPECT_EQ(reg.setValue(key, "Late", kRegSz, Bytes{'x', 0}), 1018);
    reg.closeKey(key);
    EXPECT_EQ(open(path, kKeyQueryValue, &key), kErrorFileNotFound);
    EXPECT_EQ(reg.deleteKey(kHKeyLocalMachine, path), kErrorFileNotFound);
}

TEST_F(RegistryContract, ValuesKeepTheirTypeAndExactBytesAndASmallBufferIsRefused) {
    const struct {
        const char* name;
        std::uint32_t type;
        Bytes data;
    } values[] = {
        {"Text", kRegSz, {'2', '7', '9', '6', '0', 0}},
        {"Lines", kRegSz, {'A', '\r', '\n', 0xE9, 0}},
        {"NoNul", kRegSz, {'a', 'b'}},
        {"Empty", kRegSz, {}},
        {"Number", kRegDword, {0x1b, 0, 0, 0}},
        {"Bytes", kRegBinary, {0, 1, 0xFF}},
        {"", kRegSz, {'d', 0}},  // the key's default value
    };
    const RegKey key = create(path);
    for (const auto& v : values) EXPECT_EQ(reg.setValue(key, v.name, v.type, v.data), kErrorSuccess) << v.name;
    reg.closeKey(key);

    RegKey reader = 0;
    ASSERT_EQ(open(path, kKeyQueryValue, &reader), kErrorSuccess);
    for (const auto& v : values) {
        std::uint32_t type = 99, size = 99;
        EXPECT_EQ(reg.queryValue(reader, v.name, &type, nullptr, &size), kErrorSuccess) << v.name;
        EXPECT_EQ(type, v.type) << v.name;
        ASSERT_EQ(size, v.data.size()) << v.name;
        Bytes data(size + 4, 0xAA);  // room to spare: nothing beyond the value is written
        std::uint32_t got = size + 4;
        EXPECT_EQ(reg.queryValue(reader, v.name, &type, &data, &got), kErrorSuccess) << v.name;
        EXPECT_EQ(Bytes(data.begin(), data.begin() + got), v.data) << v.name;
        if (size > 1) {
            std::uint32_t small = size - 1;
            Bytes tight(small, 0);
            EXPECT_EQ(reg.queryValue(reader, v.name, &type, &tight, &small), kErrorMoreData) << v.name;
            EXPECT_EQ(small, size) << v.name;  // what it would need
        }
    }
    std::uint32_t size = 0;
    EXPECT_EQ(reg.queryValue(reader, "Absent", nullptr, nullptr, &size), kErrorFileNotFound);
    EXPECT_EQ(reg.setValue(reader, "x", kRegSz, Bytes{0}), kErrorAccessDenied);  // opened for reading
    EXPECT_EQ(reg.deleteValue(reader, "Text"), kErrorAccessDenied);
    reg.closeKey(reader);
}

TEST_F(RegistryContract, EnumerationGivesTheNamesInOrderWithinTheCallersBuffer) {
    const RegKey key = create(path);
    for (const char* name : {"Hist0", "Hist1", "LongestName"}) reg.setValue(key, name, kRegSz, Bytes{'v', 0});
    reg.setValue(key, "Hist0", kRegDword, Bytes{1, 0, 0, 0});  // rewritten in place, keeping its position
    EXPECT_EQ(reg.deleteValue(key, "Hist1"), kErrorSuccess);
    EXPECT_EQ(reg.deleteValue(key, "Hist1"), kErrorFileNotFound);

    std::uint32_t longest = 0;
    EXPECT_EQ(reg.queryInfoKey(key, &longest), kErrorSuccess);
    EXPECT_EQ(longest, 11u);
    const struct {
        std::uint32_t index, bufferChars;
        long status;
        const char* name;
    } cases[] = {
        {0, 6, kErrorSuccess, "Hist0"},
        {1, 12, kErrorSuccess, "LongestName"},
        {1, 11, kErrorMoreData, ""},
        {2, 12, kErrorNoMoreItems, ""},
    };
    for (const auto& c : cases) {
        std::string name;
        EXPECT_EQ(reg.enumValue(key, c.index, c.bufferChars, &name), c.status) << c.index << "/" << c.bufferChars;
        if (c.status == kErrorSuccess) {
            EXPECT_EQ(name, c.name);
        }
    }
    EXPECT_EQ(reg.closeKey(key), kErrorSuccess);
}
