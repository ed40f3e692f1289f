// The console's view: the memory it takes per byte of text it holds (with
// the game's colours and without), and the time to append a 1 KB server
// reply as it grows, which must follow the reply's size, not the view's.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/ProcessMemory.h"
#include "qt/ConsoleView.h"

namespace {

std::string replyOf(std::size_t bytes) {
    std::string reply;
    while (reply.size() < bytes) reply += "  3     0   48 ^1Player^7Name      0 127.0.0.1:27960   2781 25000\r\n";
    reply.resize(bytes);
    return reply;
}

// The highest resident size since the last reset of the mark.
std::int64_t peakResidentBytes() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    char line[256];
    long kb = 0;
    while (f && std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;
    if (f) std::fclose(f);
    return static_cast<std::int64_t>(kb) * 1024;
}

void resetPeak() {
    if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

// The memory the view costs for the text it holds: resident bytes of the
// process per byte of text, once 10 MB of replies are in and shown (as a view
// holds them where the disk refuses the older text), by the view's own count
// too, and what is left once the view is cleared again.
void BM_MemoryPerConsoleByte(benchmark::State& state) {
    for (auto _ : state) {
        qtgui::ConsoleView console;
        console.resize(640, 300);
        console.show();
        QApplication::processEvents();
        malloc_trim(0);
        const std::int64_t before = benchsupport::residentBytes();
        resetPeak();
        if (state.range(0) != 0) console.setColours(app::ColourCodes::AnyCharacter);
        const std::string reply = replyOf(1024);
        const std::size_t target = 10u * 1024 * 1024;
        for (int n = 1; static_cast<std::size_t>(console.length()) < target; ++n) {
            console.appendText(reply);
            if (n % 64 == 0) {
                console.setSelStart(console.length());
                console.flush();
                QApplication::processEvents();
            }
        }
        console.setSelStart(console.length());
        console.flush();
        QApplication::processEvents();
        malloc_trim(0);
        const std::int64_t held = benchsupport::residentBytes() - before;
        state.counters["peak_bytes_per_console_byte"] =
            static_cast<double>(peakResidentBytes() - before) / static_cast<double>(console.length());
        state.counters["bytes_per_console_byte"] = static_cast<double>(held) / static_cast<double>(console.length());
        state.counters["own_bytes_per_console_byte"] =
            static_cast<double>(console.heldBytes()) / static_cast<double>(console.length());
        console.setText("");
        QApplication::processEvents();
        malloc_trim(0);
        state.counters["left_after_clear_MB"] =
            static_cast<double>(benchsupport::residentBytes() - before) / (1024.0 * 1024.0);
    }
}
BENCHMARK(BM_MemoryPerConsoleByte)->ArgName("colours")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_AppendReply(benchmark::State& state) {
    qtgui::ConsoleView console;
    console.resize(640, 300);
    console.show();
    if (state.range(1) != 0) console.setColours(app::ColourCodes::AnyCharacter);
    const std::string reply = replyOf(1024);
    const auto target = static_cast<std::size_t>(state.range(0)) * 1024 * 1024;
    for (int n = 1; static_cast<std::size_t>(console.length()) < target; ++n) {
        console.appendText(reply);
        if (n % 64 == 0) console.flush();
    }
    console.setSelStart(console.length());
    console.flush();
    QApplication::processEvents();

    for (auto _ : state) {
        console.appendText(reply);
        console.setSelStart(console.length());
        console.flush();                // one reply a pass: the view takes it at once
        QApplication::processEvents();  // let the view lay out and repaint, as the event loop would
    }
    state.counters["console_MB"] = static_cast<double>(state.range(0));
    state.counters["colours"] = static_cast<double>(state.range(1));
}
BENCHMARK(BM_AppendReply)->ArgsProduct({{0, 1, 5, 10}, {0, 1}})->Unit(benchmark::kMicrosecond)->Iterations(2000);

}  // namespace
