// The rcon session as a front-end drives it: one call to start, one to take
// the settings again, one to stop; refused or failed, it is as it was.
#include <gtest/gtest.h>

#include <functional>

#include "app/RconSession.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeServices.h"

namespace {

using Outcome = app::StartResult::Outcome;
using Strings = std::vector<std::string>;
const std::string P(4, '\xFF');

template <class Socket = fakes::FakeSocket>
struct SessionOf : app::ISessionEvents {
    Socket socket;
    fakes::FakeTimer message, status, echoes;
    fakes::FakeEventLoop loop;
    fakes::FakeClock clock;
    app::Pauses pauses{loop};
    app::RconSession session{socket, message, status, echoes, pauses, clock, *this};
    app::ServerFields running{"127.0.0.1", "27960", "pw", "A\r\nB", "1", "1", "1", "", ""};
    Strings told;  // what the owner heard, in order

    app::ServerFields fields() override { return running; }
    void starting() override { told.push_back("starting"); }
    void reply(const std::string&) override {}
    void failed(const app::SessionFailure& f) override { told.push_back("failed " + std::to_string(f.error.number())); }
    void lineSent(std::size_t, const std::string& line) override { told.push_back("sent " + line); }
    void heard(const app::Hearing::Verdict& v) override { told.push_back(app::heardText(v)); }
    void broadcastSkipped(const std::string& notice) override { told.push_back("skipped " + notice); }

    app::StartResult start(app::ServerFields f) {
        app::StartResult r = session.start(f, "Quake 3 Arena");
        if (r.outcome == Outcome::started) running = f;
        return r;
    }
};
using Session = SessionOf<>;

app::ServerFields with(std::function<void(app::ServerFields&)> change) {
    app::ServerFields f{"127.0.0.1", "27960", "pw", "A\r\nB", "1", "1", "1", "", ""};
    change(f);
    return f;
}

}  // namespace

TEST(Session, StartAndReloadTakeTheSettingsOnlyWhenTheySucceed) {
    using Change = std::function<void(app::ServerFields&)>;
    const Change unreachable = [](auto& f) {
        f.address = "no.such.host.invalid";
        f.message = "C";
    };
    // clang-format off
    const struct {
        const char* what;
        bool carryOn, reload;       // a Stop then a Start, or a reload while running
        Change change;              // to the first Start's fields: "A", "B" on 127.0.0.1
        Outcome outcome;
        Strings told, lines, sent;  // told by the owner and sent from the act on; the lines afterwards
        std::string host;           // where the socket points afterwards
        bool timers;                // on afterwards
    } cases[] = {
        {"a refused Start changes nothing", false, false, [](auto& f) { f.address = " "; f.message = "C"; },
         Outcome::refused, {}, {"A", "B"}, {}, "127.0.0.1", false},
        {"a failed Start points the socket back, closed", false, false, unreachable,
         Outcome::failed, {"starting", "failed 11001"}, {"A", "B"}, {}, "127.0.0.1", false},
        {"a Start that carries on after failures starts without its server", true, false, unreachable,
         Outcome::started, {"starting", "failed 11001"}, {"C"}, {}, "no.such.host.invalid", true},
        {"a Start after a Stop takes the new lines and asks for the status", false, false,
         [](auto& f) { f.message = "C\r\n"; },
         Outcome::started, {"starting"}, {"C", ""}, {P + "rcon pw status"}, "127.0.0.1", true},
        {"a refused reload keeps what runs", true, true, [](auto& f) { f.password = ""; },
         Outcome::refused, {}, {"A", "B"}, {}, "127.0.0.1", true},
        {"a reload on the same server sends nothing", true, true, [](auto& f) { f.message = "D"; },
         Outcome::started, {"starting"}, {"D"}, {}, "127.0.0.1", true},
        {"a reload to another server opens it", true, true, [](auto& f) { f.address = "127.0.0.2"; },
         Outcome::started, {"starting"}, {"A", "B"}, {P + "rcon pw status"}, "127.0.0.2", true},
    };
    // clang-format on
    for (const auto& c : cases) {
        Session s;
        s.session.carryOnAfterFailures(c.carryOn);
        ASSERT_EQ(s.start(with([](auto&) {})).outcome, Outcome::started) << c.what;
        s.told.clear();
        s.socket.sent.clear();
        if (!c.reload) s.session.stop();
        const app::StartResult r =
            c.reload ? s.session.reload(with(c.change), "Quake 3 Arena") : s.start(with(c.change));
        EXPECT_EQ(r.outcome, c.outcome) << c.what;
        EXPECT_EQ(r.failure.has_value(), c.outcome == Outcome::failed) << c.what;
        EXPECT_EQ(r.refusal.empty(), c.outcome != Outcome::refused) << c.what;
        EXPECT_EQ(s.told, c.told) << c.what;
        EXPECT_EQ(s.session.state().g_asMessageLines, c.lines) << c.what;
        EXPECT_EQ(s.socket.sent, c.sent) << c.what;
        EXPECT_EQ(s.socket.host, c.host) << c.what;
        EXPECT_EQ(s.message.on && s.status.on, c.timers) << c.what;
        EXPECT_EQ(s.session.running(), c.timers) << c.what;
    }
    Session s;  // a Stop in a pause sends no more lines
    ASSERT_EQ(s.start(with([](auto&) {})).outcome, Outcome::started);
    s.loop.during = [&] { s.session.stop(); };
    s.session.messageTimerTicked();
    EXPECT_EQ(s.socket.sent.back(), P + "rcon pw say \"A\"");
    EXPECT_FALSE(s.session.running());
}

// Every datagram at least 550 ms after the one before it, and none that
// ioquake3's count would drop (sv_main.c, SVC_RateLimit, ten then one a
// second), whatever asked for it: thirty lines with a pause of 0.1 s, a
// status tick 100 ms after the last line, a command typed after it.
TEST(Session, EveryDatagramIsPacedAsTheServerTakesThem) {
    struct TimedSocket : fakes::FakeSocket {
        const fakes::FakeEventLoop* loop = nullptr;
        std::vector<std::int64_t> at;
        void sendData(const std::string& d) override {
            fakes::FakeSocket::sendData(d);
            at.push_back(loop->now);
        }
    };
    SessionOf<TimedSocket> t;
    t.running = {"127.0.0.1", "27960", "pw", "", "1", "0.1", "1", "", ""};
    t.socket.loop = &t.loop;
    t.loop.between = 0;
    for (int line = 1; line <= 30; ++line) t.running.message += std::to_string(line) + "\r\n";
    ASSERT_EQ(t.start(t.running).outcome, Outcome::started);
    t.loop.now = 200;
    t.session.messageTimerTicked();
    t.loop.now += 100;
    t.session.statusTimerTicked();
    t.session.sendCommand("status");
    ASSERT_EQ(t.socket.at.size(), 33u);
    int count = 0;  // the server's, as SVC_RateLimit keeps it
    std::int64_t last = t.socket.at[0];
    for (std::size_t i = 1; i < t.socket.at.size(); ++i) {
        const std::int64_t now = t.socket.at[i], interval = now - last, expired = interval / 1000;
        EXPECT_GE(now - t.socket.at[i - 1], 550) << i;
        if (expired > count) {
            count = 0;
            last = now;
        } else {
            count -= static_cast<int>(expired);
            last = now - interval % 1000;
        }
        EXPECT_LT(count, 10) << "dropped: datagram " << i << " at " << now;
        ++count;
    }
    EXPECT_EQ(t.loop.pauses.size(), 30u + 32u)
        << "the pauses after the lines, and a wait before each datagram but the first";
}

// A broadcast with Min_Players goes by a status no older than its interval:
// the last one, or one asked for and waited on up to 2 s (with none by
// then it goes all the same); {map} and {players} are filled in from it.
TEST(Session, ABroadcastGoesOnlyWithThePlayersAskedAndTheServersWordsInIt) {
    const std::string head =
        P +
        "print\nmap: oa_dm2\ncl score ping name            address                                 "
        "rate \n-- ----- ---- --------------- --------------------------------------- -----\n"
        "  0     0    0 Sarge           ^7bot                                     16384\n";
    const std::string botsOnly = head + "\n";
    const std::string onePlayer =
        head + "  1     5   35 Alice           ^7203.0.113.9                             25000\n\n";
    const struct {
        const char* what;
        const char* least;
        const char* earlier;   // the status read before the tick, if any
        std::int64_t age;      // how old it is at the tick, in ms
        const char* answered;  // the reply to a status asked for at the tick, if any
        Strings told;
        std::size_t sent;  // datagrams at the tick
    } cases[] = {
        {"a fresh status with bots only",
         "1",
         "bots",
         1000,
         nullptr,
         {"skipped Broadcast skipped at 09:05: 0 players on (at least 1 asked)"},
         0},
        {"a fresh status with one player", "1", "one", 1000, nullptr, {"sent On oa_dm2 with 1 of us"}, 1},
        {"a stale status: one asked for, answered", "1", "bots", 70000, "one", {"sent On oa_dm2 with 1 of us"}, 2},
        {"a stale status: one asked for, bots only",
         "1",
         "one",
         70000,
         "bots",
         {"skipped Broadcast skipped at 09:05: 0 players on (at least 1 asked)"},
         1},
        {"no status and no answer: it goes", "2", nullptr, 0, nullptr, {"sent On {map} with {players} of us"}, 2},
        {"no Min_Players, but the line names the map", "", nullptr, 0, "one", {"sent On oa_dm2 with 1 of us"}, 2},
        {"the password refused meanwhile: no line", "1", nullptr, 0, "refused", {}, 1},
    };
    for (const auto& c : cases) {
        Session s;
        s.loop.between = 0;
        s.running.message = "On {map} with {players} of us";
        s.running.minPlayers = c.least;
        ASSERT_EQ(s.start(s.running).outcome, Outcome::started) << c.what;
        const auto reply = [&](const char* which) {
            const std::string w = which;
            s.socket.incoming.push_back(w == "one"    ? onePlayer
                                        : w == "bots" ? botsOnly
                                                      : P + "print\nBad rconpassword.\n");
        };
        if (c.earlier) {
            reply(c.earlier);
            s.session.datagramsWaiting();
        }
        s.loop.now += c.age;
        s.told.clear();
        const std::size_t before = s.socket.sent.size();
        if (c.answered)
            s.loop.during = [&, answered = false]() mutable {
                if (!std::exchange(answered, true)) reply(c.answered);
            };
        s.session.messageTimerTicked();
        EXPECT_EQ(s.told, c.told) << c.what;
        EXPECT_EQ(s.socket.sent.size() - before, c.sent) << c.what;
    }
    Session s;  // stopped while it waits for the status (the service told to end): no line goes
    s.loop.between = 0;
    s.running.minPlayers = "1";
    ASSERT_EQ(s.start(s.running).outcome, Outcome::started);
    s.loop.now += 1000;  // the request goes at once; the wait for its reply is stopped after 600 ms
    s.loop.during = [&, waits = 0]() mutable {
        if (++waits == 30) s.session.stop();
    };
    const std::size_t before = s.socket.sent.size();
    s.told.clear();
    s.session.messageTimerTicked();
    EXPECT_EQ(s.socket.sent.size(), before + 1) << "the status request alone";
    EXPECT_EQ(s.told, Strings{}) << "no line tried on the closed socket";
}
