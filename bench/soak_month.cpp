// Thirty days of broadcasting and polling against a local peer that answers
// each status request with a 2 KB player list. The timers are fired directly, in
// the order a real day would fire them; socket, window and console are real.
#include <gtest/gtest.h>
#include <poll.h>

#include <QCoreApplication>
#include <QTest>

#include "tests/support/LiveWindow.h"
#include "bench/ProcessMemory.h"
#include "bench/StatusPeer.h"

TEST(Soak, ThirtyDaysOfBroadcastsAndStatusRepliesGrowOnlyTheConsole) {
    testsupport::LiveWindow w;
    benchsupport::StatusPeer server;
    const std::string reply = server.reply();

    auto c = w.window.controls();
    c.txtIP.setText("127.0.0.1");
    c.txtPort.setText(std::to_string(server.port()));
    c.txtPassword.setText("s3cret");
    c.txtMsg.setText("Welcome to the server\r\n^1Be nice");
    c.txtSeverMessageTime.setText("1");
    c.txtStatus.setText("1");
    w.form.cmdStart_Click();
    ASSERT_TRUE(w.boxes.shown.empty());
    // The ticks are fired below: the window's own timers, which a slow run
    // would see fall due after 63 s, must not add any.
    c.tmrServerMessage.setEnabled(false);
    c.tmrStatus.setEnabled(false);

    auto settle = [&](int expected) { EXPECT_TRUE(QTest::qWaitFor([&] { return w.arrivals >= expected; }, 5000)); };
    settle(1);
    const std::int64_t memoryAtStart = benchsupport::residentBytes();
    const std::int64_t heapAtStart = benchsupport::heapInUse();
    const std::size_t consoleAtStart = w.console().size();

    // 30 days: the message timer every 65.535 s, the status timer every 63 s.
    constexpr double kDays = 30 * 24 * 3600.0;
    double nextMessage = 65.535, nextStatus = 63.0;
    int messageTicks = 0, statusTicks = 0;
    while (nextMessage <= kDays || nextStatus <= kDays) {
        if (nextStatus <= nextMessage) {
            w.form.tmrStatus_Timer();
            ++statusTicks;
            settle(1 + statusTicks);
            nextStatus += 63.0;
        } else {
            w.form.tmrServerMessage_Timer();
            ++messageTicks;
            nextMessage += 65.535;
        }
    }
    settle(1 + statusTicks);
    w.form.cmdStop_Click();
    server.stop();

    const std::size_t consoleBytes = w.console().size() - consoleAtStart;
    const std::int64_t grown = benchsupport::residentBytes() - memoryAtStart;
    const std::int64_t heapGrown = benchsupport::heapInUse() - heapAtStart;
    // With the console emptied, what the day left behind is what it kept besides the text.
    w.window.controls().txtOutput.setText(w.console().substr(0, consoleAtStart));
    QCoreApplication::processEvents();
    const std::int64_t heapLeft = benchsupport::heapInUse() - heapAtStart;
    std::printf(
        "soak: %d message ticks (%ld lines sent), %d status ticks, %d replies shown; console +%zu bytes; "
        "resident memory +%lld KB (%.2f bytes per console byte), heap in use +%lld KB, heap left once the "
        "console is emptied %+lld KB\n",
        messageTicks, server.broadcasts.load(), statusTicks, w.arrivals - 1, consoleBytes,
        static_cast<long long>(grown / 1024), static_cast<double>(grown) / static_cast<double>(consoleBytes),
        static_cast<long long>(heapGrown / 1024), static_cast<long long>(heapLeft / 1024));
    EXPECT_EQ(messageTicks, 39551);
    EXPECT_EQ(statusTicks, 41142);
    EXPECT_EQ(w.arrivals - 1, statusTicks);
    EXPECT_EQ(server.broadcasts.load(), 2 * messageTicks);
    EXPECT_EQ(consoleBytes, statusTicks * app::ConsoleTextOfReply(reply, std::string(4, '\xFF')).size());
    EXPECT_TRUE(w.boxes.shown.empty());
    // Whatever a tick kept besides the console's text would be left here.
    if (heapAtStart > 0) {
        EXPECT_LT(heapLeft, 1 << 20);
    }
}
