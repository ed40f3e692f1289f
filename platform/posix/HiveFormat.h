#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::posix {

struct HiveValue {
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

struct HiveKey {
    std::string path;  // below the root, names joined by "\", in the case first written
    std::vector<HiveValue> values;
};

// One root's keys in memory, in file order. Names compare without regard to
// letter case (Latin-1), as the registry's do.
struct Hive {
    std::vector<HiveKey> keys;

    HiveKey* find(std::string_view path);
    // Finds or appends the key and every missing key above it.
    HiveKey& ensure(std::string_view path);
    bool hasSubkeys(std::string_view path) const;
    bool erase(std::string_view path);
};

HiveValue* findValue(HiveKey& key, std::string_view name);
void setValue(HiveKey& key, HiveValue value);

bool namesEqual(std::string_view a, std::string_view b);

// Splits a key path at "\" into its names, dropping empty ones, and joins
// them again: "Software\\Quorlan\" becomes "Software\Quorlan".
std::string normalizeKeyPath(std::string_view path);

// The REGEDIT4 text of a hive whose keys all lie below rootName
// ("HKEY_LOCAL_MACHINE").
std::string writeHive(const Hive& hive, std::string_view rootName);

// Reads as much of the text as parses: lines that are damaged, values before
// any key, keys of another root and a last line without its line end are
// passed over; a value given twice keeps the later one.
Hive parseHive(std::string_view text, std::string_view rootName);

}  // namespace platform::posix
