// The hive reader: whatever is on disk parses, and what it keeps writes back
// and reads again to the same keys and values, in the same order.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/posix/HiveFormat.h"

using namespace platform::posix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Hive first = parseHive(text, "HKEY_LOCAL_MACHINE");
    const std::string written = writeHive(first, "HKEY_LOCAL_MACHINE");
    const Hive second = parseHive(written, "HKEY_LOCAL_MACHINE");
    if (second.keys.size() != first.keys.size()) __builtin_trap();
    for (std::size_t k = 0; k < first.keys.size(); ++k) {
        if (second.keys[k].values.size() != first.keys[k].values.size()) __builtin_trap();
        for (std::size_t v = 0; v < first.keys[k].values.size(); ++v) {
            const HiveValue& a = first.keys[k].values[v];
            const HiveValue& b = second.keys[k].values[v];
            if (a.type != b.type || a.data != b.data || !namesEqual(a.name, b.name)) __builtin_trap();
        }
    }
    return 0;
}
