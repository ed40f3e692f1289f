#include "platform/posix/HiveFormat.h"

#include <algorithm>
#include <cstdio>

#include "platform/ListSearch.h"
#include "support/Bytes.h"

namespace platform::posix {

namespace {

constexpr std::size_t kBytesPerLine = 24;
constexpr char kHexDigits[] = "0123456789abcdef";
constexpr std::string_view kLineEnd = "\r\n";

bool isPrintableAscii(std::uint8_t b) { return b >= 0x20 && b <= 0x7E; }

// A text value is written quoted only when it reads back to the same bytes:
// printable ASCII and exactly one NUL, at the end.
bool quotable(const HiveValue& v) {
    if (v.type != 1 || v.data.empty() || v.data.back() != 0) return false;
    return std::all_of(v.data.begin(), v.data.end() - 1, isPrintableAscii);
}

void appendEscaped(std::string& out, std::string_view s) {
    out += '"';
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
}

void appendHexByte(std::string& out, std::uint8_t b) {
    out += kHexDigits[b >> 4];
    out += kHexDigits[b & 0xF];
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    return s;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Where a "; comment" starts: the first ";" outside a quoted text.
std::size_t commentStart(std::string_view s) {
    bool quoted = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (quoted) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ';') {
            return i;
        }
    }
    return std::string_view::npos;
}

// A line without its comment (and the blanks before it), and what followed.
struct Split {
    std::string_view code, tail;
};
Split splitComment(std::string_view line) {
    const std::size_t c = commentStart(line);
    const std::string_view code = trimRight(line.substr(0, c));
    return {code, c == std::string_view::npos ? std::string_view() : line.substr(code.size())};
}

// Reads a quoted text at the start of s, undoing "\\" and "\""; returns the
// number of characters used, or 0 when s holds no complete quoted text.
std::size_t readQuoted(std::string_view s, std::string* out) {
    if (s.empty() || s[0] != '"') return 0;
    out->clear();
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') return i + 1;
        if (c == '\\') {
            if (i + 1 >= s.size()) return 0;
            *out += s[++i];
        } else {
            *out += c;
        }
    }
    return 0;
}

// One to eight hex digits, the whole of s.
bool parseHexNumber(std::string_view s, std::uint32_t* n) {
    if (s.empty() || s.size() > 8) return false;
    *n = 0;
    for (char c : s) {
        const int h = hexValue(c);
        if (h < 0) return false;
        *n = *n * 16 + static_cast<std::uint32_t>(h);
    }
    return true;
}

// "48,69,d" into bytes: one or two hex digits each, blanks allowed around them.
bool parseHexList(std::string_view s, std::vector<std::uint8_t>* out) {
    out->clear();
    s = trimLeft(trimRight(s));
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && isBlank(s[i])) ++i;
        std::size_t digits = 0;
        int value = 0;
        while (i < s.size() && digits < 2 && hexValue(s[i]) >= 0) value = value * 16 + hexValue(s[i++]), ++digits;
        if (digits == 0) return false;
        out->push_back(static_cast<std::uint8_t>(value));
        while (i < s.size() && isBlank(s[i])) ++i;
        if (i == s.size()) return true;
        if (s[i] != ',') return false;
        ++i;
    }
    return true;
}

bool parseData(std::string_view data, HiveValue* v) {
    data = trimLeft(trimRight(data));
    if (!data.empty() && data[0] == '"') {
        std::string text;
        const std::size_t used = readQuoted(data, &text);
        if (used == 0 || used != data.size()) return false;
        v->type = 1;
        v->data.assign(text.begin(), text.end());
        v->data.push_back(0);
        return true;
    }
    if (data.starts_with("dword:")) {
        std::uint32_t n = 0;
        if (!parseHexNumber(trimLeft(data.substr(6)), &n)) return false;
        v->type = 4;
        v->data = support::littleEndian32(n);
        return true;
    }
    if (data.starts_with("hex:")) {
        v->type = 3;
        return parseHexList(data.substr(4), &v->data);
    }
    if (data.starts_with("hex(")) {
        const std::size_t close = data.find("):");
        if (close == std::string_view::npos || !parseHexNumber(data.substr(4, close - 4), &v->type)) return false;
        return parseHexList(data.substr(close + 2), &v->data);
    }
    return false;
}

// The name (quoted, or @ for the default value) and the "=" after it, with
// blanks allowed around the "="; the data's start, or npos.
std::size_t dataStart(std::string_view line, std::string* name) {
    std::size_t used = 0;
    if (!line.empty() && line[0] == '@') {
        name->clear();
        used = 1;
    } else {
        used = readQuoted(line, name);
        if (used == 0) return std::string_view::npos;
    }
    while (used < line.size() && isBlank(line[used])) ++used;
    if (used >= line.size() || line[used] != '=') return std::string_view::npos;
    return used + 1;
}

bool continuesHexData(std::string_view code) {
    if (code.empty() || code.back() != '\\') return false;
    std::string name;
    const std::size_t start = dataStart(code, &name);
    return start != std::string_view::npos && trimLeft(code.substr(start)).starts_with("hex");
}

// "[HKEY_LOCAL_MACHINE\Software\Quorlan] ; comment" of this root.
bool parseKeyLine(std::string_view line, std::string_view rootName, std::string* path, std::string* comment) {
    const Split split = splitComment(line);
    std::string_view full = split.code;
    if (full.size() < 2 || full.front() != '[' || full.back() != ']') return false;
    full = full.substr(1, full.size() - 2);
    if (full.size() < rootName.size() || !namesEqual(full.substr(0, rootName.size()), rootName)) return false;
    full.remove_prefix(rootName.size());
    if (!full.empty() && full[0] != '\\') return false;
    *path = normalizeKeyPath(full);
    *comment = std::string(split.tail);
    return !path->empty();
}

void rebuildValueIndex(HiveKey& key) {
    key.valueIndex.clear();
    for (std::size_t i = 0; i < key.values.size(); ++i) key.valueIndex.emplace(foldName(key.values[i].name), i);
}

void writeKept(std::string& out, const std::vector<KeptLine>& kept, std::size_t& next, std::size_t before) {
    bool open = false;  // the kept lines so far end in a continuation
    for (; next < kept.size() && kept[next].before <= before; ++next) {
        const std::string& text = kept[next].text;
        out += text;
        out += kLineEnd;
        if (!kept[next].continues) open = false;
        if (!trimLeft(text).starts_with(';')) open = splitComment(text).code.ends_with('\\');
        // Kept lines that end in a continuation were ended by a blank line (or
        // a key, or the end): a blank line keeps them from taking in the next
        // line when the file is read again.
        const bool more = next + 1 < kept.size() && kept[next + 1].continues;
        if (!more && open) out += kLineEnd;
    }
}

}  // namespace

bool namesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldLatin1(static_cast<unsigned char>(a[i])) != foldLatin1(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

std::string foldName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) c = static_cast<char>(foldLatin1(static_cast<unsigned char>(c)));
    return folded;
}

std::string normalizeKeyPath(std::string_view path) {
    std::string out;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) {
            if (!out.empty()) out += '\\';
            out.append(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return out;
}

HiveKey* Hive::find(std::string_view path) {
    const auto it = keyIndex.find(foldName(path));
    return it == keyIndex.end() ? nullptr : &keys[it->second];
}

HiveKey& Hive::ensure(std::string_view path) {
    std::size_t pos = 0, index = 0;
    while (true) {
        const std::size_t sep = path.find('\\', pos);
        const std::string_view prefix = path.substr(0, sep);
        const auto [it, added] = keyIndex.emplace(foldName(prefix), keys.size());
        if (added) keys.push_back(HiveKey{std::string(prefix), {}, {}, {}, {}, {}});
        index = it->second;
        if (sep == std::string_view::npos) return keys[index];
        pos = sep + 1;
    }
}

bool Hive::hasSubkeys(std::string_view path) const {
    for (const auto& k : keys)
        if (k.path.size() > path.size() && k.path[path.size()] == '\\' &&
            namesEqual(std::string_view(k.path).substr(0, path.size()), path))
            return true;
    return false;
}

bool Hive::erase(std::string_view path) {
    const auto it = keyIndex.find(foldName(path));
    if (it == keyIndex.end()) return false;
    keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(it->second));
    keyIndex.clear();
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i].header.empty()) keyIndex.emplace(foldName(keys[i].path), i);
    return true;
}

HiveValue* findValue(HiveKey& key, std::string_view name) {
    const auto it = key.valueIndex.find(foldName(name));
    return it == key.valueIndex.end() ? nullptr : &key.values[it->second];
}

void setValue(HiveKey& key, HiveValue value) {
    if (HiveValue* existing = findValue(key, value.name)) {
        existing->type = value.type;
        existing->data = std::move(value.data);
        return;
    }
    key.valueIndex.emplace(foldName(value.name), key.values.size());
    key.values.push_back(std::move(value));
}

bool eraseValue(HiveKey& key, std::string_view name) {
    const auto it = key.valueIndex.find(foldName(name));
    if (it == key.valueIndex.end()) return false;
    const std::size_t position = it->second;
    key.values.erase(key.values.begin() + static_cast<std::ptrdiff_t>(position));
    for (KeptLine& line : key.kept)
        if (line.before > position) --line.before;
    rebuildValueIndex(key);
    return true;
}

std::string writeHive(const Hive& hive, std::string_view rootName) {
    std::string out = "REGEDIT4";
    out += kLineEnd;
    std::size_t next = 0;
    writeKept(out, hive.preamble, next, SIZE_MAX);
    for (const auto& key : hive.keys) {
        out += kLineEnd;
        if (!key.header.empty()) {
            out += key.header;
        } else {
            out += '[';
            out += rootName;
            out += '\\';
            out += key.path;
            out += ']';
            out += key.headerComment;
        }
        out += kLineEnd;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < key.values.size(); ++i) {
            writeKept(out, key.kept, kept, i);
            const HiveValue& v = key.values[i];
            if (v.name.empty())
                out += '@';
            else
                appendEscaped(out, v.name);
            out += '=';
            if (quotable(v)) {
                appendEscaped(out, std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size() - 1));
            } else if (v.type == 4 && v.data.size() == 4) {
                char buf[16];
                std::snprintf(buf, sizeof buf, "dword:%08x", support::loadLittleEndian32(v.data.data()));
                out += buf;
            } else {
                if (v.type == 3) {
                    out += "hex:";
                } else {
                    char buf[24];
                    std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
                    out += buf;
                }
                for (std::size_t b = 0; b < v.data.size(); ++b) {
                    if (b > 0) {
                        out += ',';
                        if (b % kBytesPerLine == 0) {
                            out += '\\';
                            out += kLineEnd;
                            out += "  ";
                        }
                    }
                    appendHexByte(out, v.data[b]);
                }
            }
            out += v.comment;
            out += kLineEnd;
        }
        writeKept(out, key.kept, kept, SIZE_MAX);
    }
    return out;
}

Hive parseHive(std::string_view text, std::string_view rootName) {
    Hive hive;
    std::vector<std::string_view> lines;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) nl = text.size();
        lines.push_back(trimRight(text.substr(pos, nl - pos)));
        pos = nl + 1;
    }

    std::size_t i = 0;
    while (i < lines.size() && trimLeft(lines[i]).empty()) ++i;
    if (i == lines.size()) return hive;
    std::string_view first = trimLeft(lines[i]);
    if (first.starts_with("\xEF\xBB\xBF")) first.remove_prefix(3);
    if (first != "REGEDIT4") {
        hive.notAHive = true;
        return hive;
    }

    constexpr std::size_t kNoKey = SIZE_MAX;
    std::size_t current = kNoKey;
    bool foreign = false;
    auto keep = [&](std::string_view line, bool continues = false) {
        if (current == kNoKey)
            hive.preamble.push_back(KeptLine{0, std::string(line), continues});
        else
            hive.keys[current].kept.push_back(KeptLine{hive.keys[current].values.size(), std::string(line), continues});
    };

    for (++i; i < lines.size(); ++i) {
        const std::string_view raw = lines[i];
        const std::string_view line = trimLeft(raw);
        if (line.empty()) continue;
        if (line[0] == ';') {
            keep(raw);
            continue;
        }
        if (line[0] == '[') {
            std::string path, comment;
            if (parseKeyLine(line, rootName, &path, &comment)) {
                HiveKey& key = hive.ensure(path);
                current = static_cast<std::size_t>(&key - hive.keys.data());
                if (key.headerComment.empty()) key.headerComment = std::move(comment);
                foreign = false;
            } else {
                hive.keys.push_back(HiveKey{{}, {}, std::string(raw), {}, {}, {}});
                current = hive.keys.size() - 1;
                foreign = true;
            }
            continue;
        }
        if (foreign || current == kNoKey) {
            keep(raw);
            continue;
        }
        // A value, perhaps continued over the next lines by a trailing "\";
        // comment lines between them are passed over.
        const std::size_t firstLine = i;
        Split split = splitComment(line);
        std::string joined(split.code);
        while (continuesHexData(joined) && i + 1 < lines.size()) {
            const std::string_view next = trimLeft(lines[i + 1]);
            if (next.empty() || next[0] == '[') break;
            ++i;
            if (next[0] == ';') continue;
            split = splitComment(next);
            joined.pop_back();
            joined += split.code;
        }
        HiveValue v;
        const std::size_t start = dataStart(joined, &v.name);
        if (start != std::string_view::npos && parseData(std::string_view(joined).substr(start), &v)) {
            v.comment = std::string(split.tail);
            HiveKey& key = hive.keys[current];
            if (HiveValue* existing = findValue(key, v.name)) existing->comment = v.comment;
            setValue(key, std::move(v));
        } else {
            for (std::size_t j = firstLine; j <= i; ++j) keep(lines[j], j > firstLine);
        }
    }
    return hive;
}

}  // namespace platform::posix
