// Thirty days of broadcasting and polling against a local peer that answers
// each status request with a 2 KB player list. The timers are fired directly, in
// the order a real day would fire them; socket, window and console are real.
#include <gtest/gtest.h>
#include <poll.h>

#include <QCoreApplication>
#include <QTest>
#include <filesystem>
#include <regex>

#include "bench/ProcessMemory.h"
#include "bench/SoakMonth.h"
#include "bench/StatusPeer.h"
#include "qt/Latin1.h"
#include "tests/support/LiveWindow.h"

TEST(Soak, ThirtyDaysOfBroadcastsAndStatusRepliesAreSavedWholeInBoundedMemory) {
    testsupport::LiveWindow w;
    benchsupport::StatusPeer server;
    const std::string reply = app::ConsoleTextOfReply(server.reply(), std::string(4, '\xFF'));

    const app::FormControls c = w.window.controls();
    benchsupport::startAgainst(c, w.form, server.port());
    ASSERT_TRUE(w.boxes.shown.empty());

    auto settle = [&](int expected) { EXPECT_TRUE(QTest::qWaitFor([&] { return w.arrivals >= expected; }, 5000)); };
    settle(1);
    const std::int64_t memoryAtStart = benchsupport::residentBytes();
    const std::int64_t heapAtStart = benchsupport::heapInUse();

    const benchsupport::Month month = benchsupport::runMonth(w.form, settle);
    w.form.cmdStop_Click();
    server.stop();
    const std::int64_t grown = benchsupport::residentBytes() - memoryAtStart;
    const std::int64_t heapGrown = benchsupport::heapInUse() - heapAtStart;

    // Said before Save and Clear, so that a run that fails there still tells the month.
    std::printf(
        "soak: %d message ticks (%ld lines sent), %d status ticks, %d replies shown; resident memory +%lld KB in the "
        "month, heap in use +%lld KB; the first day's ticks took %.0f ms, the last day's %.0f ms (%.2fx)\n",
        month.messageTicks, server.broadcasts.load(), month.statusTicks, w.arrivals - 1,
        static_cast<long long>(grown / 1024), static_cast<long long>(heapGrown / 1024), month.firstDayMs,
        month.lastDayMs, month.lastDayMs / month.firstDayMs);
    std::fflush(stdout);

    const auto headLine = [&] { return qtgui::toLatin1(w.find<qtgui::ConsoleView>("txtOutput")->headLine()); };
    EXPECT_TRUE(std::regex_match(headLine(), std::regex("[0-9]+\\.[0-9] MB of earlier replies are kept for Save")))
        << headLine();
    const std::string saved = w.tmp / "month.log";
    benchsupport::saveThroughTheWindow(w, w.form, c.form.hWnd(), saved);
    benchsupport::Fingerprint came;
    for (int n = 0; n <= month.statusTicks; ++n) came.add(reply);
    const auto savedBytes = static_cast<std::int64_t>(std::filesystem::file_size(saved));
    EXPECT_EQ(benchsupport::fingerprintOfFile(saved), came.value);
    std::filesystem::remove(saved);
    benchsupport::clearThroughTheWindow(w, w.form);
    QCoreApplication::processEvents();
    const std::int64_t heapLeft = benchsupport::heapInUse() - heapAtStart;
    std::printf("soak: %lld bytes saved; after Clear resident memory %+lld KB and heap in use %+lld KB\n",
                static_cast<long long>(savedBytes),
                static_cast<long long>((benchsupport::residentBytes() - memoryAtStart) / 1024),
                static_cast<long long>(heapLeft / 1024));
    EXPECT_EQ(month.messageTicks, 39551);
    EXPECT_EQ(month.statusTicks, 41142);
    EXPECT_EQ(w.arrivals - 1, month.statusTicks);
    EXPECT_EQ(server.broadcasts.load(), 2 * month.messageTicks);
    EXPECT_EQ(savedBytes, static_cast<std::int64_t>((month.statusTicks + 1) * reply.size()));
    EXPECT_EQ(w.boxes.shown.size(), 2u);  // "File has been saved" and "Clear log?"
    EXPECT_TRUE(w.console().empty() && headLine().empty() && std::filesystem::is_empty(w.tmp / "cache"));
    // Whatever a tick kept besides the console's text would be left here.
    if (heapAtStart > 0) {
        EXPECT_LT(heapLeft, 1 << 20);
    }
}
