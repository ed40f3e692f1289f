// What a server can send: floods, the largest datagrams, bytes of every kind.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <thread>

#include "tests/support/LiveWindow.h"
#include "tests/support/UdpPeer.h"

namespace {

struct Connected : testsupport::LiveWindow {
    testsupport::UdpPeer server;
    Connected() {
        socket.setRemoteHost("127.0.0.1");
        socket.setRemotePort(server.port());
        socket.bind();
        socket.sendData("hello");
        server.receive();
    }
    // Runs the event loop until no datagram has come for a while.
    void settle(int quietMs = 300) {
        QElapsedTimer quiet;
        quiet.start();
        int seen = arrivals;
        while (quiet.elapsed() < quietMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (arrivals != seen) {
                seen = arrivals;
                quiet.restart();
            }
        }
    }
};

}  // namespace

TEST(SocketFaults, AFloodIsTakenInSlicesAndNothingDeliveredIsLost) {
    Connected w;
    constexpr int kDatagrams = 100000;
    const std::string reply = std::string(4, '\xFF') + "print\nflood line of a chatty server\n";

    // A timer of the window keeps ticking between the slices of the flood.
    int ticks = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] { ++ticks; });
    heartbeat.start(0);
    std::atomic<bool> sent{false};
    std::thread flood([&] {
        for (int i = 0; i < kDatagrams; ++i) w.server.reply(reply);
        sent = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return sent.load(); }, 120000));
    flood.join();
    w.settle();
    // One more datagram, once the buffer has room, brings the socket's own
    // count of the datagrams the kernel dropped for it.
    w.server.reply(reply);
    w.settle();
    heartbeat.stop();

    const std::int64_t dropped = w.socket.droppedDatagrams();
    const int flooded = w.arrivals - 1;
    const std::size_t lineBytes = std::string("flood line of a chatty server\r\n").size();
    EXPECT_GT(flooded, 0);
    EXPECT_EQ(flooded + dropped, kDatagrams) << "datagrams were lost inside the program, or counted twice";
    EXPECT_EQ(w.console().size(), static_cast<std::size_t>(w.arrivals) * lineBytes);
    EXPECT_GT(ticks, 0) << "the window's timers stood still during the flood";
    EXPECT_TRUE(w.boxes.shown.empty());
}
