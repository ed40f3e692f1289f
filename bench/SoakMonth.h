#pragma once

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>

#include "app/frmMain.h"
#include "tests/support/TestServices.h"

namespace benchsupport {

// What a month of the window's two timers did, and how long the window took
// for the ticks and replies of its first day and of its last.
struct Month {
    int messageTicks = 0, statusTicks = 0;
    double firstDayMs = 0, lastDayMs = 0;
};

// Starts the broadcast to the peer's port as a user would, a status request a
// minute. The month fires the ticks itself: the window's own timers, which
// a slow run would see fall due, are stopped.
inline void startAgainst(const app::FormControls& c, app::frmMain& form, int port) {
    c.txtIP.setText("127.0.0.1");
    c.txtPort.setText(std::to_string(port));
    c.txtPassword.setText("s3cret");
    c.txtMsg.setText("Welcome to the server\r\n^1Be nice");
    c.txtSeverMessageTime.setText("1");
    c.txtStatus.setText("1");
    form.cmdStart_Click();
    c.tmrServerMessage.setEnabled(false);
    c.tmrStatus.setEnabled(false);
}

// Thirty days, the message timer every 65.535 s and the status timer every
// 63 s, fired in the order a real month fires them; settle(n) runs the
// window's loop until it has taken the n-th reply.
inline Month runMonth(app::frmMain& form, const std::function<void(int)>& settle) {
    constexpr double kDay = 24 * 3600.0, kDays = 30 * kDay;
    using Clock = std::chrono::steady_clock;
    const auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
    Month m;
    double nextMessage = 65.535, nextStatus = 63.0;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastDay{};
    while (nextMessage <= kDays || nextStatus <= kDays) {
        const double at = std::min(nextMessage, nextStatus);
        if (at > kDay && m.firstDayMs == 0) m.firstDayMs = ms(Clock::now() - start);
        if (at > kDays - kDay && lastDay == Clock::time_point{}) lastDay = Clock::now();
        if (nextStatus <= nextMessage) {
            form.tmrStatus_Timer();
            ++m.statusTicks;
            settle(1 + m.statusTicks);
            nextStatus += 63.0;
        } else {
            form.tmrServerMessage_Timer();
            ++m.messageTicks;
            nextMessage += 65.535;
        }
    }
    settle(1 + m.statusTicks);
    m.lastDayMs = ms(Clock::now() - lastDay);
    return m;
}

// FNV-1a over the bytes of a stream, part by part.
struct Fingerprint {
    std::uint64_t value = 14695981039346656037ull;
    void add(std::string_view bytes) {
        for (const char c : bytes) value = (value ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
};

inline std::uint64_t fingerprintOfFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string chunk(1 << 20, '\0');
    Fingerprint f;
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0)
        f.add(std::string_view(chunk.data(), static_cast<std::size_t>(in.gcount())));
    return f.value;
}

// Save and Clear as the user does them: the dialog over the window answered
// with the path, the question with Yes.
inline void saveThroughTheWindow(testsupport::TestServices& s, app::frmMain& form, platform::WindowHandle window,
                                 const std::string& path) {
    s.dialogs.windows.insert(window);
    s.dialogs.answers.push_back({true, path, "month.log"});
    form.cmdSave_Click();
}
inline void clearThroughTheWindow(testsupport::TestServices& s, app::frmMain& form) {
    s.boxes.answers.push_back(platform::mb::kAnswerYes);
    form.cmdClear_Click();
}

}  // namespace benchsupport
