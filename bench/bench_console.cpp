// Appending a 1 KB server reply to the console as it grows: the cost must
// follow the reply's size, not the console's.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <memory>
#include <string>

#include "gui/ConsoleView.h"

namespace {

std::string replyOf(std::size_t bytes) {
    std::string reply;
    while (reply.size() < bytes) reply += "  3     0   48 ^1Player^7Name      0 127.0.0.1:27960   2781 25000\r\n";
    reply.resize(bytes);
    return reply;
}

void BM_AppendReply(benchmark::State& state) {
    QPlainTextEdit view;
    view.setReadOnly(true);
    view.resize(640, 300);
    view.show();
    gui::ConsoleView console(&view);
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
}
BENCHMARK(BM_AppendReply)->Arg(0)->Arg(1)->Arg(5)->Arg(10)->Unit(benchmark::kMicrosecond)->Iterations(2000);

}  // namespace
