#include "platform/posix/HiveFormat.h"

#include <algorithm>
#include <cstdio>

#include "support/Bytes.h"

namespace platform::posix {

namespace {

unsigned char foldCase(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    return c;
}

constexpr std::size_t kBytesPerLine = 24;
constexpr char kHexDigits[] = "0123456789abcdef";

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

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
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

// "48,69,0d" into bytes; every byte exactly two hex digits.
bool parseHexList(std::string_view s, std::vector<std::uint8_t>* out) {
    out->clear();
    s = trimLeft(trimRight(s));
    if (s.empty()) return true;
    std::size_t i = 0;
    while (true) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        if (i + 2 > s.size()) return false;
        const int hi = hexValue(s[i]), lo = hexValue(s[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out->push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        i += 2;
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        if (i == s.size()) return true;
        if (s[i] != ',') return false;
        ++i;
    }
}

bool parseData(std::string_view data, HiveValue* v) {
    data = trimRight(data);
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
        const std::string_view digits = data.substr(6);
        if (digits.size() != 8) return false;
        std::uint32_t n = 0;
        for (char c : digits) {
            const int h = hexValue(c);
            if (h < 0) return false;
            n = n * 16 + static_cast<std::uint32_t>(h);
        }
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
        if (close == std::string_view::npos || close == 4 || close > 12) return false;
        std::uint32_t t = 0;
        for (char c : data.substr(4, close - 4)) {
            const int h = hexValue(c);
            if (h < 0) return false;
            t = t * 16 + static_cast<std::uint32_t>(h);
        }
        v->type = t;
        return parseHexList(data.substr(close + 2), &v->data);
    }
    return false;
}

}  // namespace

bool namesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldCase(static_cast<unsigned char>(a[i])) != foldCase(static_cast<unsigned char>(b[i]))) return false;
    return true;
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
    for (auto& k : keys)
        if (namesEqual(k.path, path)) return &k;
    return nullptr;
}

HiveKey& Hive::ensure(std::string_view path) {
    std::size_t pos = 0;
    HiveKey* key = nullptr;
    while (true) {
        const std::size_t sep = path.find('\\', pos);
        const std::string_view prefix = path.substr(0, sep);
        key = find(prefix);
        if (!key) {
            keys.push_back(HiveKey{std::string(prefix), {}});
            key = &keys.back();
        }
        if (sep == std::string_view::npos) return *key;
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
    for (auto it = keys.begin(); it != keys.end(); ++it)
        if (namesEqual(it->path, path)) {
            keys.erase(it);
            return true;
        }
    return false;
}

HiveValue* findValue(HiveKey& key, std::string_view name) {
    for (auto& v : key.values)
        if (namesEqual(v.name, name)) return &v;
    return nullptr;
}

void setValue(HiveKey& key, HiveValue value) {
    if (HiveValue* existing = findValue(key, value.name)) {
        existing->type = value.type;
        existing->data = std::move(value.data);
    } else {
        key.values.push_back(std::move(value));
    }
}

std::string writeHive(const Hive& hive, std::string_view rootName) {
    std::string out = "REGEDIT4\n";
    for (const auto& key : hive.keys) {
        out += "\n[";
        out += rootName;
        if (!key.path.empty()) {
            out += '\\';
            out += key.path;
        }
        out += "]\n";
        for (const auto& v : key.values) {
            std::string line;
            if (v.name.empty())
                line = "@";
            else
                appendEscaped(line, v.name);
            line += '=';
            if (quotable(v)) {
                appendEscaped(line, std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size() - 1));
            } else if (v.type == 4 && v.data.size() == 4) {
                const std::uint32_t n = support::loadLittleEndian32(v.data.data());
                char buf[16];
                std::snprintf(buf, sizeof buf, "dword:%08x", n);
                line += buf;
            } else {
                if (v.type == 3) {
                    line += "hex:";
                } else {
                    char buf[24];
                    std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
                    line += buf;
                }
                for (std::size_t i = 0; i < v.data.size(); ++i) {
                    if (i > 0) {
                        line += ',';
                        if (i % kBytesPerLine == 0) line += "\\\n  ";
                    }
                    appendHexByte(line, v.data[i]);
                }
            }
            out += line;
            out += '\n';
        }
    }
    return out;
}

Hive parseHive(std::string_view text, std::string_view rootName) {
    Hive hive;
    // A last line without its line end may have been cut short: leave it out.
    const std::size_t lastNewline = text.rfind('\n');
    text = lastNewline == std::string_view::npos ? std::string_view() : text.substr(0, lastNewline + 1);

    std::vector<std::string_view> lines;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t nl = text.find('\n', pos);
        lines.push_back(trimRight(text.substr(pos, nl - pos)));
        pos = nl + 1;
    }

    HiveKey* current = nullptr;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = trimLeft(lines[i]);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            current = nullptr;
            if (line.back() != ']' || line.size() < 2) continue;
            std::string_view full = line.substr(1, line.size() - 2);
            if (full.size() < rootName.size() || !namesEqual(full.substr(0, rootName.size()), rootName)) continue;
            full.remove_prefix(rootName.size());
            if (!full.empty() && full[0] != '\\') continue;
            const std::string path = normalizeKeyPath(full);
            if (path.empty()) continue;
            current = &hive.ensure(path);
            continue;
        }
        // A value line, perhaps continued over the next lines by a trailing "\".
        std::string joined(line);
        while (!joined.empty() && joined.back() == '\\' && joined.find("=hex") != std::string::npos &&
               i + 1 < lines.size()) {
            joined.pop_back();
            joined += trimLeft(lines[++i]);
        }
        if (!current) continue;
        HiveValue v;
        std::size_t used = 0;
        if (joined[0] == '@') {
            used = 1;
        } else {
            used = readQuoted(joined, &v.name);
            if (used == 0) continue;
        }
        if (used >= joined.size() || joined[used] != '=') continue;
        if (!parseData(std::string_view(joined).substr(used + 1), &v)) continue;
        setValue(*current, std::move(v));
    }
    return hive;
}

}  // namespace platform::posix
