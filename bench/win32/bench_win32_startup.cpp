// Start-up to the window shown, under wine: starts the program named on the
// command line, waits until its window is up and idle for input
// (WaitForInputIdle), prints how long that took, and ends it. Run with
// vexmond.exe, and with the bare window of the same controls as the
// yardstick; time the two as whole processes, paired.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vexmond_bench_win32_startup PROGRAM.exe\n");
        return 2;
    }
    std::string commandLine = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency{}, start{}, shown{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "cannot start %s\n", argv[1]);
        return 1;
    }
    const DWORD waited = WaitForInputIdle(process.hProcess, 30000);
    QueryPerformanceCounter(&shown);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (waited != 0) return 1;
    std::printf(
        "%s shown after %.1f ms\n", argv[1],
        1000.0 * static_cast<double>(shown.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
    return 0;
}
