// The hive reader and writer: whatever is on disk parses; its text is kept
// line for line; a value set reads back and changes no other value.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/posix/HiveFormat.h"

using namespace platform::posix;

namespace {

constexpr char kRoot[] = "HKEY_LOCAL_MACHINE";

// Every value of `before` reads the same in `after`, but the one that was set.
void sameValues(const Hive& before, const Hive& after, const std::string& setKey, const std::string& setName) {
    for (const HiveKey& key : before.keys()) {
        const HiveKey* again = after.find(key.path);
        if (!again) __builtin_trap();
        for (const HiveValue& v : key.values) {
            if (namesEqual(key.path, setKey) && namesEqual(v.name, setName)) continue;
            const HiveValue* w = findValue(*again, v.name);
            if (!w || w->type != v.type || w->data != v.data) __builtin_trap();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Hive first(text, kRoot);
    if (first.notAHive()) return 0;
    const Hive reread(first.text(), kRoot);
    if (reread.text() != first.text() || reread.keys().size() != first.keys().size()) __builtin_trap();
    sameValues(first, reread, "", "");

    // Into a key the file has, if it has one, else into a new one.
    const std::string key = first.keys().empty() ? "Software\\Fuzz" : first.keys().back().path;
    Hive changed = first;
    changed.setValue(key, HiveValue{"Fuzz", 1, {'x', 0}});
    const Hive saved(changed.text(), kRoot);
    const HiveKey* k = saved.find(key);
    const HiveValue* v = k ? findValue(*k, "Fuzz") : nullptr;
    if (!v || v->type != 1 || v->data != std::vector<std::uint8_t>{'x', 0}) __builtin_trap();
    sameValues(first, saved, key, "Fuzz");
    return 0;
}
