// How fast server replies get from the socket into the console: 10 000
// datagrams of 1 KB on loopback through the watcher, the reply handler and
// the real console view, next to a plain recv loop on the same machine. The
// sender keeps a window of 64 datagrams in flight so that the kernel's
// receive buffer never overflows; every datagram must arrive.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <memory>

#include "tests/support/LiveWindow.h"
#include "tests/support/UdpPeer.h"

namespace {

constexpr int kDatagrams = 10000;
constexpr int kWindow = 64;

std::string reply() {
    std::string r = std::string(4, '\xFF') + "print\n";
    while (r.size() < 1024) r += " 3     0   48 Player            0 127.0.0.1:27960   2781 25000\n";
    r.resize(1023);
    return r + "\n";
}

void BM_ReplyPathIntoConsole(benchmark::State& state) {
    testsupport::LiveWindow live;
    testsupport::UdpPeer server;
    live.socket.setRemoteHost("127.0.0.1");
    live.socket.setRemotePort(server.port());
    live.socket.bind();
    live.socket.sendData("hello");
    server.receive();
    int& arrived = live.arrivals;
    auto& window = live.window;
    const std::string datagram = reply();

    for (auto _ : state) {
        window.controls().txtOutput.setText("");
        arrived = 0;
        for (int sent = 0; sent < kDatagrams;) {
            for (int i = 0; i < kWindow && sent < kDatagrams; ++i, ++sent) server.reply(datagram);
            QElapsedTimer guard;
            guard.start();
            while (arrived < sent && guard.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        if (arrived != kDatagrams) state.SkipWithError("datagrams were lost");
    }
    const auto expected = static_cast<std::int64_t>(kDatagrams) * 1024;  // each reply loses its header, gains CRs
    state.counters["console_bytes"] = static_cast<double>(window.controls().txtOutput.length());
    state.counters["expected_at_least"] = static_cast<double>(expected - kDatagrams * 10);
    state.counters["datagrams_per_s"] = benchmark::Counter(
        static_cast<double>(kDatagrams) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReplyPathIntoConsole)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_PlainRecvLoop(benchmark::State& state) {
    testsupport::UdpPeer receiver, sender;
    const std::string datagram = reply();
    std::string buffer(65536, '\0');
    for (auto _ : state) {
        int got = 0;
        for (int sent = 0; sent < kDatagrams;) {
            for (int i = 0; i < kWindow && sent < kDatagrams; ++i, ++sent) sender.sendTo(receiver.port(), datagram);
            while (got < sent && testsupport::waitReadable(receiver.fd(), 5000))
                if (::recv(static_cast<int>(receiver.fd()), buffer.data(), buffer.size(), 0) > 0) ++got;
        }
        if (got != kDatagrams) state.SkipWithError("datagrams were lost");
    }
    state.counters["datagrams_per_s"] = benchmark::Counter(
        static_cast<double>(kDatagrams) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlainRecvLoop)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
