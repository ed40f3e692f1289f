#include "platform/posix/HiveFormat.h"

#include <algorithm>
#include <cstdio>

#include "platform/ListSearch.h"
#include "base/Bytes.h"

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

// Reads a quoted text at the start of s, undoing "\\" and "\""; a backslash
// before any other character stands for itself ("C:\Windows"). Returns the
// number of characters used, or 0 when s holds no complete quoted text.
std::size_t readQuoted(std::string_view s, std::string* out) {
    if (s.empty() || s[0] != '"') return 0;
    out->clear();
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') return i + 1;
        if (c == '\\') {
            if (i + 1 >= s.size()) return 0;
            if (s[i + 1] != '\\' && s[i + 1] != '"') *out += c;
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
        v->data = base::littleEndian32(n);
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

// "[HKEY_LOCAL_MACHINE\Software\Quorlan] ; comment" of this root. The key
// ends at the first "]" that only blanks or a comment follow, so a name may
// hold ";" and "]".
bool parseKeyLine(std::string_view line, std::string_view rootName, std::string* path) {
    line = trimRight(line);
    if (line.empty() || line.front() != '[') return false;
    std::size_t close = line.find(']');
    while (close != std::string_view::npos) {
        const std::string_view rest = trimLeft(line.substr(close + 1));
        if (rest.empty() || rest.front() == ';') break;
        close = line.find(']', close + 1);
    }
    if (close == std::string_view::npos) return false;
    std::string_view full = line.substr(1, close - 1);
    if (full.size() < rootName.size() || !namesEqual(full.substr(0, rootName.size()), rootName)) return false;
    full.remove_prefix(rootName.size());
    if (!full.empty() && full[0] != '\\') return false;
    *path = normalizeKeyPath(full);
    return !path->empty();
}

// A value as the registry editor exports it: text quoted where it reads back
// to the same bytes, a 32-bit integer as dword, anything else as hex bytes,
// continued over lines of 24 bytes.
std::vector<std::string> valueLines(const HiveValue& v) {
    std::vector<std::string> lines(1);
    std::string* out = &lines.back();
    if (v.name.empty())
        *out += '@';
    else
        appendEscaped(*out, v.name);
    *out += '=';
    if (quotable(v)) {
        appendEscaped(*out, std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size() - 1));
    } else if (v.type == 4 && v.data.size() == 4) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", base::loadLittleEndian32(v.data.data()));
        *out += buf;
    } else {
        if (v.type == 3) {
            *out += "hex:";
        } else {
            char buf[24];
            std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
            *out += buf;
        }
        for (std::size_t b = 0; b < v.data.size(); ++b) {
            if (b > 0) {
                *out += ',';
                if (b % kBytesPerLine == 0) {
                    *out += '\\';
                    lines.emplace_back("  ");
                    out = &lines.back();
                }
            }
            appendHexByte(*out, v.data[b]);
        }
    }
    return lines;
}

bool isBlankLine(std::string_view line) { return trimLeft(trimRight(line)).empty(); }

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

bool keyLineReadsBack(std::string_view rootName, std::string_view path) {
    std::string back;
    return parseKeyLine("[" + std::string(rootName) + "\\" + std::string(path) + "]", rootName, &back) &&
           back == normalizeKeyPath(path);
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

const HiveValue* findValue(const HiveKey& key, std::string_view name) {
    const auto it = key.valueIndex.find(foldName(name));
    return it == key.valueIndex.end() ? nullptr : &key.values[it->second];
}

Hive::Hive(std::string_view text, std::string_view rootName) : m_rootName(rootName) {
    // LF, CR LF and CR alone all end a line.
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            m_lines.emplace_back(text.substr(pos));
            break;
        }
        m_lines.emplace_back(text.substr(pos, end - pos));
        pos = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    read();
}

std::string Hive::text() const {
    std::string out;
    for (const auto& line : m_lines) {
        out += line;
        out += kLineEnd;
    }
    return out;
}

const HiveKey* Hive::find(std::string_view path) const {
    const auto it = m_keyIndex.find(foldName(path));
    return it == m_keyIndex.end() ? nullptr : &m_keys[it->second];
}

bool Hive::hasSubkeys(std::string_view path) const {
    for (const auto& k : m_keys)
        if (k.path.size() > path.size() && k.path[path.size()] == '\\' &&
            namesEqual(std::string_view(k.path).substr(0, path.size()), path))
            return true;
    return false;
}

void Hive::read() {
    m_keys.clear();
    m_keyIndex.clear();
    m_notAHive = false;
    std::size_t i = 0;
    while (i < m_lines.size() && isBlankLine(m_lines[i])) ++i;
    if (i == m_lines.size()) return;
    std::string_view first = trimLeft(m_lines[i]);
    if (first.starts_with("\xEF\xBB\xBF")) first.remove_prefix(3);
    if (splitComment(first).code != "REGEDIT4") {
        m_notAHive = true;
        return;
    }

    constexpr std::size_t kNone = SIZE_MAX;
    std::size_t current = kNone;  // the key whose section the lines belong to
    auto closeSection = [&](std::size_t end) {
        if (current != kNone) m_keys[current].sections.back().last = end;
    };
    auto ensure = [&](std::string_view path) {
        std::size_t pos = 0;
        for (;;) {
            const std::size_t sep = path.find('\\', pos);
            const std::string_view prefix = path.substr(0, sep);
            const auto [it, added] = m_keyIndex.emplace(foldName(prefix), m_keys.size());
            if (added) m_keys.push_back(HiveKey{std::string(prefix), {}, {}, {}, {}});
            if (sep == std::string_view::npos) return it->second;
            pos = sep + 1;
        }
    };

    for (++i; i < m_lines.size(); ++i) {
        const std::string_view line = trimLeft(trimRight(m_lines[i]));
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            closeSection(i - 1);
            std::string path;
            current = parseKeyLine(line, m_rootName, &path) ? ensure(path) : kNone;
            if (current != kNone) m_keys[current].sections.push_back(LineSpan{i, i});
            continue;
        }
        if (current == kNone) continue;  // before any key, or in a section of another root
        // A value, perhaps continued over the next lines by a trailing "\";
        // comment lines between them are passed over.
        const std::size_t firstLine = i;
        std::string joined(splitComment(line).code);
        while (continuesHexData(joined) && i + 1 < m_lines.size()) {
            const std::string_view next = trimLeft(trimRight(m_lines[i + 1]));
            if (next.empty() || next[0] == '[') break;
            ++i;
            if (next[0] == ';') continue;
            joined.pop_back();
            joined += splitComment(next).code;
        }
        HiveValue v;
        const std::size_t start = dataStart(joined, &v.name);
        if (start == std::string_view::npos || !parseData(std::string_view(joined).substr(start), &v)) continue;
        HiveKey& key = m_keys[current];
        const auto [it, added] = key.valueIndex.emplace(foldName(v.name), key.values.size());
        if (added) {
            key.values.push_back(std::move(v));
            key.places.emplace_back();
        } else {
            key.values[it->second].type = v.type;
            key.values[it->second].data = std::move(v.data);
        }
        key.places[it->second].push_back(LineSpan{firstLine, i});
    }
    closeSection(m_lines.size() - 1);
}

void Hive::replaceLines(std::size_t first, std::size_t count, const std::vector<std::string>& lines) {
    const auto at = m_lines.begin() + static_cast<std::ptrdiff_t>(first);
    m_lines.erase(at, at + static_cast<std::ptrdiff_t>(count));
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(first), lines.begin(), lines.end());
}

void Hive::createKey(std::string_view path) {
    if (!keyLineReadsBack(m_rootName, path)) return;
    if (const HiveKey* key = find(path); key && !key->sections.empty()) return;
    bool header = false;
    for (const auto& line : m_lines)
        if (!isBlankLine(line)) {
            header = true;
            break;
        }
    if (!header || m_notAHive) m_lines = {"REGEDIT4"};
    if (!isBlankLine(m_lines.back())) m_lines.emplace_back();
    m_lines.push_back("[" + m_rootName + "\\" + std::string(path) + "]");
    read();
}

bool Hive::setValue(std::string_view path, const HiveValue& value) {
    if (!keyLineReadsBack(m_rootName, path)) return false;
    createKey(path);
    const HiveKey& key = *find(path);
    const auto it = key.valueIndex.find(foldName(value.name));
    if (it != key.valueIndex.end()) {
        const HiveValue& old = key.values[it->second];
        if (old.type == value.type && old.data == value.data) return true;
        // The value keeps the name as it was first written, as the registry's do.
        std::vector<std::string> lines = valueLines(HiveValue{old.name, value.type, value.data});
        // The lines that gave the value its data: the last place it is written.
        const LineSpan span = key.places[it->second].back();
        lines.back() += splitComment(m_lines[span.last]).tail;
        replaceLines(span.first, span.last - span.first + 1, lines);
    } else {
        std::vector<std::string> lines = valueLines(value);
        const LineSpan section = key.sections.back();
        std::size_t after = section.last;
        while (after > section.first && isBlankLine(m_lines[after])) --after;
        // A line before it that ends in a continuation (a damaged value, or
        // one the comment lines after it belong to) would take the value in:
        // a blank line ends the continuation.
        std::size_t code = after;
        while (code > section.first && trimLeft(m_lines[code]).starts_with(';')) --code;
        if (code > section.first && splitComment(trimLeft(trimRight(m_lines[code]))).code.ends_with('\\'))
            lines.insert(lines.begin(), std::string());
        replaceLines(after + 1, 0, lines);
    }
    read();
    return true;
}

bool Hive::deleteValue(std::string_view path, std::string_view name) {
    const HiveKey* key = find(path);
    if (!key) return false;
    const auto it = key->valueIndex.find(foldName(name));
    if (it == key->valueIndex.end()) return false;
    const std::vector<LineSpan> places = key->places[it->second];
    for (auto p = places.rbegin(); p != places.rend(); ++p) replaceLines(p->first, p->last - p->first + 1, {});
    read();
    return true;
}

bool Hive::deleteKey(std::string_view path) {
    const HiveKey* key = find(path);
    if (!key || key->sections.empty()) return false;
    const std::vector<LineSpan> sections = key->sections;
    for (auto s = sections.rbegin(); s != sections.rend(); ++s) replaceLines(s->first, s->last - s->first + 1, {});
    read();
    return true;
}

}  // namespace platform::posix
