// The history's completion while typing: the list's entries come first (one
// a line, up to a line of "--"), then what is typed, 0x08 being Backspace.
#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "settings/CAppSettings.h"
#include "settings/CSmartComboBox.h"
#include "tests/fakes/FakeComboBox.h"
#include "platform/posix/HiveRegistry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t end = input.find("\n--\n");
    const std::string list = input.substr(0, end);
    const std::string typed = end == std::string::npos ? std::string() : input.substr(end + 4);
    fakes::FakeComboBox combo;
    // A history holds ten entries; typing in the field is a few dozen keys.
    for (std::size_t start = 0; start <= list.size() && combo.items.size() < 10;) {
        const std::size_t nl = list.find('\n', start);
        combo.items.push_back(list.substr(start, std::min<std::size_t>(nl - start, 64)));
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    // The settings store of a history is only read and written by Load and
    // Save; one directory serves every input.
    static const std::string directory = [] {
        char pattern[] = "/tmp/vexmond-fuzz-history-XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        static const std::string made = pattern;
        std::atexit([] { std::filesystem::remove_all(made); });
        return made;
    }();
    platform::posix::HiveRegistry registry(directory);
    settings::CAppSettings store(registry);
    settings::CSmartComboBox history;
    history.Init(&combo, true, true, &store, "IPs", 10);
    for (char c : typed.substr(0, 96)) {
        if (c == '\x08')
            combo.erase(8);
        else if (c == '\r')
            history.AddCurrentItem();
        else
            combo.typeText(std::string(1, c));
        if (combo.items.size() > 20 || combo.selStart + combo.selLength > static_cast<int>(combo.edit.size()))
            __builtin_trap();
    }
    return 0;
}
