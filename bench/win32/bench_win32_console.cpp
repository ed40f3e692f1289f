// The Win32 console under wine: 10 MB of status replies appended (2 KB
// each, as a poll of a full server gives), the cost of each megabyte, and
// the memory the console holds per byte of text, by its own count and by
// the process's private bytes. Prints one line per figure.
#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "win32/ConsoleControl.h"

namespace {

// The process's committed private memory (wine reports it as the page file's use).
std::size_t privateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

std::string reply() {
    std::string block = "map: oa_dm1\r\nnum score ping name            lastmsg address               qport rate\r\n";
    for (int i = 0; block.size() < 2048; ++i)
        block += "  " + std::to_string(i % 10) + "    12   48 ^1Player^7" + std::to_string(i) +
                 "         0 192.168.0." + std::to_string(i % 250) + ":27960   1234 25000\r\n";
    return block.substr(0, 2048);
}

}  // namespace

int main() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    win32::ConsoleControl::registerClass(instance);
    HWND parent =
        CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr, instance, nullptr);
    win32::ConsoleControl console(parent, 1, instance);
    MoveWindow(console.handle(), 0, 0, 600, 300, FALSE);
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    const std::string block = reply();
    const std::size_t before = privateBytes();
    constexpr std::size_t kMegabyte = 1 << 20, kTotal = 10 * kMegabyte;
    double first = 0, last = 0;
    for (std::size_t mb = 0; mb < kTotal / kMegabyte; ++mb) {
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t done = 0, n = 0; done < kMegabyte; done += block.size()) {
            console.appendText(block);
            // A pass of the message loop (and a paint) after each slice of
            // replies, as the window takes them in a flood.
            if (++n % 64 == 0) {
                MSG msg;
                while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            }
        }
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (mb == 0) first = ms;
        last = ms;
    }
    const double text = static_cast<double>(console.length());
    std::printf("appended: %.1f MB in %zu lines\n", text / kMegabyte, console.lineCount());
    std::printf("append cost: first MB %.0f ms, tenth MB %.0f ms\n", first, last);
    std::printf("console's own memory: %.2f bytes per byte of text\n", static_cast<double>(console.heldBytes()) / text);
    std::printf("process private bytes: %.2f bytes per byte of text\n",
                static_cast<double>(privateBytes() - before) / text);
    console.setText("");
    std::printf("after Clear: %.2f MB of private bytes above the start\n",
                (static_cast<double>(privateBytes()) - static_cast<double>(before)) / kMegabyte);
    return 0;
}
