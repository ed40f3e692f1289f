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
};

// The lines of one value in the file, first to last (a long value is
// continued over several lines).
struct LineSpan {
    std::size_t first = 0, last = 0;
};

struct HiveKey {
    std::string path;               // below the root, names joined by "\", in the case first written
    std::vector<HiveValue> values;  // in the order first written; a value given twice has the later data
    std::unordered_map<std::string, std::size_t> valueIndex;  // folded name -> position in values
    std::vector<std::vector<LineSpan>> places;                // per value: every place it is written
    std::vector<LineSpan> sections;  // per key line of its own: that line and the lines up to the next key line
};

// One root's view of a hive file: the file's lines as they stand, and the
// keys and values read from them. Names compare without regard to letter
// case (Latin-1), as the registry's do; lookups go through indexes, so
// reading takes time in proportion to the file's size.
//
// Reading takes what the registry editor's REGEDIT4 import takes: blanks
// around "=", "; comments" after values and key lines and inside continued
// lines, "dword:" with fewer than eight digits, one-digit hex bytes, LF, CR
// LF or CR line ends, a byte-order mark, a last line without its line end.
// A key named without a key line of its own (a parent of one that has one)
// exists too.
//
// A change rewrites only the lines of the value it sets or deletes (and
// adds the key line of a new key); every other line keeps its text exactly.
class Hive {
public:
    Hive() = default;
    Hive(std::string_view text, std::string_view rootName);

    // The text was not empty and did not start with "REGEDIT4": nothing in
    // it was read.
    bool notAHive() const { return m_notAHive; }
    // The file's text, each line ended by CR LF as the registry editor
    // exports them.
    std::string text() const;

    const std::vector<HiveKey>& keys() const { return m_keys; }
    const HiveKey* find(std::string_view path) const;
    bool hasSubkeys(std::string_view path) const;

    // Adds "[root\path]" at the end unless the key has a key line already
    // (or the line would not read back as that key).
    void createKey(std::string_view path);
    // Writes the value into the key (its key line added if need be): its
    // lines replace the ones that gave its current data, or follow the last
    // line of the key's last section. A same-line comment is kept. False,
    // and nothing written, for a path whose key line would not read back
    // as that path (see keyLineReadsBack).
    bool setValue(std::string_view path, const HiveValue& value);
    // Removes every line that gives the value; false if there is none.
    bool deleteValue(std::string_view path, std::string_view name);
    // Removes the key's sections; false if it has none.
    bool deleteKey(std::string_view path);

private:
    void read();
    void replaceLines(std::size_t first, std::size_t count, const std::vector<std::string>& lines);

    std::string m_rootName;
    std::vector<std::string> m_lines;
    bool m_notAHive = false;
    std::vector<HiveKey> m_keys;
    std::unordered_map<std::string, std::size_t> m_keyIndex;  // folded path -> position in keys
};

const HiveValue* findValue(const HiveKey& key, std::string_view name);

bool namesEqual(std::string_view a, std::string_view b);
// The name with its letters folded to lower case, as names are compared.
std::string foldName(std::string_view name);

// Whether "[root\path]" reads back as that key: a name that holds "]"
// followed by blanks and ";" ends the line there, the rest a comment.
bool keyLineReadsBack(std::string_view rootName, std::string_view path);

// Splits a key path at "\" into its names, dropping empty ones, and joins
// them again: "Software\\Quorlan\" becomes "Software\Quorlan".
std::string normalizeKeyPath(std::string_view path);

}  // namespace platform::posix
