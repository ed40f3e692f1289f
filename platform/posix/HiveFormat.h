#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform::posix {

struct HiveValue {
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    std::string comment;  // what stood after the data on its line (blanks and "; ..."), written back as it was
};

// Lines the reader could not take (or comments), written back as they stood,
// before the value at position `before` of their key.
struct KeptLine {
    std::size_t before = 0;
    std::string text;
    bool continues = false;  // a continuation line of the kept line before it
};

struct HiveKey {
    std::string path;  // below the root, names joined by "\", in the case first written
    std::vector<HiveValue> values;
    // A section of another root, or a key line the reader could not take, is
    // kept whole: its line as it stood, and all its lines in `kept`. Such a
    // section has no path and is never found.
    std::string header;
    std::string headerComment;  // "; ..." after the key line
    std::vector<KeptLine> kept;
    std::unordered_map<std::string, std::size_t> valueIndex;  // folded name -> position in values
};

// One root's keys in memory, in file order. Names compare without regard to
// letter case (Latin-1), as the registry's do. Lookups go through indexes,
// so reading a hive takes time in proportion to its size.
struct Hive {
    std::vector<KeptLine> preamble;  // lines between "REGEDIT4" and the first key
    std::vector<HiveKey> keys;
    std::unordered_map<std::string, std::size_t> keyIndex;  // folded path -> position in keys
    // The text was not empty and did not start with "REGEDIT4": nothing in it was read.
    bool notAHive = false;

    HiveKey* find(std::string_view path);
    // Finds or appends the key and every missing key above it.
    HiveKey& ensure(std::string_view path);
    bool hasSubkeys(std::string_view path) const;
    bool erase(std::string_view path);
};

HiveValue* findValue(HiveKey& key, std::string_view name);
void setValue(HiveKey& key, HiveValue value);
bool eraseValue(HiveKey& key, std::string_view name);

bool namesEqual(std::string_view a, std::string_view b);
// The name with its letters folded to lower case, as names are compared.
std::string foldName(std::string_view name);

// Splits a key path at "\" into its names, dropping empty ones, and joins
// them again: "Software\\Quorlan\" becomes "Software\Quorlan".
std::string normalizeKeyPath(std::string_view path);

// The REGEDIT4 text of a hive whose keys all lie below rootName
// ("HKEY_LOCAL_MACHINE"), with CR LF line ends as the registry editor
// exports them.
std::string writeHive(const Hive& hive, std::string_view rootName);

// Reads what the registry editor's REGEDIT4 import reads: blanks around "=",
// "; comments" after values and key lines and inside continued lines,
// "dword:" with fewer than eight digits, one-digit hex bytes, LF or CR LF
// line ends, a last line without its line end. What it cannot take (damaged
// lines, values before any key, sections of another root) is kept in place so
// that writing the hive again does not erase it; a value given twice keeps
// the later one.
Hive parseHive(std::string_view text, std::string_view rootName);

}  // namespace platform::posix
