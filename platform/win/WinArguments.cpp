#include "platform/win/WinArguments.h"

#include <windows.h>

#include <shellapi.h>

namespace platform::win {

std::vector<std::string> ansiArguments(char unkept) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    // A UTF-8 code page has every character, and takes neither the flag nor
    // a default character.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* replacement = utf8 ? nullptr : &unkept;
    std::vector<std::string> out;
    for (int i = 1; wide && i < count; ++i) {
        const int n = WideCharToMultiByte(CP_ACP, flags, wide[i], -1, nullptr, 0, replacement, nullptr);
        std::string a(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
        if (n > 0) WideCharToMultiByte(CP_ACP, flags, wide[i], -1, a.data(), n, replacement, nullptr);
        out.push_back(a);
    }
    LocalFree(wide);
    return out;
}

}  // namespace platform::win
