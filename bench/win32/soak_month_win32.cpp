// The month's soak through the Win32 window under wine: thirty days of
// broadcasting and polling against a local peer that answers each status
// request with a 2 KB player list, the timers fired in a real month's order;
// socket, window, console and files are real.
#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>

#include <filesystem>
#include <regex>

#include "bench/SoakMonth.h"
#include "bench/StatusPeer.h"
#include "platform/win/WinUdpSocket.h"
#include "win32/MainWindow.h"

namespace {

// The real socket, counting the datagrams the program takes from it.
struct CountingSocket : platform::win::WinUdpSocket {
    std::string getData() override {
        ++taken;
        return WinUdpSocket::getData();
    }
    int taken = 0;
};

struct Win32Window : testsupport::TestServices {
    Win32Window() {
        window.bind(form);
        form.Form_Load();
        window.show(SW_SHOWNOACTIVATE);
    }
    CountingSocket socket;
    win32::MainWindow window{GetModuleHandleA(nullptr), socket, socket, cursor};
    app::frmMain form{window.controls(), services(boxes, pauses)};

    bool waitFor(const std::function<bool()>& done, DWORD milliseconds) {
        const ULONGLONG end = GetTickCount64() + milliseconds;
        for (MSG msg;;) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) window.dispatch(msg);
            if (done() || GetTickCount64() >= end) return done();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
};

// What the process holds: its working set (wine reads it from the kernel's
// resident size), and its committed private bytes.
PROCESS_MEMORY_COUNTERS_EX memory() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters;
}

long long kilobytes(std::size_t after, std::size_t before) {
    return (static_cast<long long>(after) - static_cast<long long>(before)) / 1024;
}

}  // namespace

TEST(Win32Soak, ThirtyDaysOfBroadcastsAndStatusRepliesAreSavedWholeInBoundedMemory) {
    Win32Window w;
    benchsupport::StatusPeer server;
    const std::string reply = app::ConsoleTextOfReply(server.reply(), std::string(4, '\xFF'));
    const app::FormControls c = w.window.controls();
    benchsupport::startAgainst(c, w.form, server.port());
    ASSERT_TRUE(w.boxes.shown.empty());

    auto settle = [&](int expected) { EXPECT_TRUE(w.waitFor([&] { return w.socket.taken >= expected; }, 5000)); };
    settle(1);
    const PROCESS_MEMORY_COUNTERS_EX atStart = memory();
    const benchsupport::Month month = benchsupport::runMonth(w.form, settle);
    w.form.cmdStop_Click();
    server.stop();
    const PROCESS_MEMORY_COUNTERS_EX atEnd = memory();

    // Said before Save and Clear, so that a run that fails there still tells the month.
    std::printf(
        "win32 soak: %d message ticks (%ld lines sent), %d status ticks, %d replies shown; working set +%lld KB in "
        "the month (private bytes +%lld KB); the first day's ticks took %.0f ms, the last day's %.0f ms (%.2fx)\n",
        month.messageTicks, server.broadcasts.load(), month.statusTicks, w.socket.taken - 1,
        kilobytes(atEnd.WorkingSetSize, atStart.WorkingSetSize), kilobytes(atEnd.PrivateUsage, atStart.PrivateUsage),
        month.firstDayMs, month.lastDayMs, month.lastDayMs / month.firstDayMs);
    std::fflush(stdout);

    const std::string headLine = w.window.console().headLine();
    EXPECT_TRUE(std::regex_match(headLine, std::regex("[0-9]+\\.[0-9] MB of earlier replies are kept for Save")))
        << headLine;
    const std::string saved = w.tmp / "month.log";
    benchsupport::saveThroughTheWindow(w, w.form, c.form.hWnd(), saved);
    benchsupport::Fingerprint came;
    for (int n = 0; n <= month.statusTicks; ++n) came.add(reply);
    const auto savedBytes = static_cast<long long>(std::filesystem::file_size(saved));
    EXPECT_EQ(benchsupport::fingerprintOfFile(saved), came.value);
    std::filesystem::remove(saved);
    benchsupport::clearThroughTheWindow(w, w.form);
    w.waitFor([] { return false; }, 100);
    const PROCESS_MEMORY_COUNTERS_EX cleared = memory();
    std::printf("win32 soak: %lld bytes saved; after Clear working set %+lld KB (private bytes %+lld KB)\n", savedBytes,
                kilobytes(cleared.WorkingSetSize, atStart.WorkingSetSize),
                kilobytes(cleared.PrivateUsage, atStart.PrivateUsage));
    EXPECT_EQ(month.statusTicks, 41142);
    EXPECT_EQ(w.socket.taken - 1, month.statusTicks);
    EXPECT_EQ(server.broadcasts.load(), 2 * month.messageTicks);
    EXPECT_EQ(savedBytes, static_cast<long long>((month.statusTicks + 1) * reply.size()));
    EXPECT_EQ(w.boxes.shown.size(), 2u);  // "File has been saved" and "Clear log?"
    EXPECT_TRUE(w.window.console().length() == 0 && w.window.console().headLine().empty() &&
                std::filesystem::is_empty(w.tmp / "cache"));
}
