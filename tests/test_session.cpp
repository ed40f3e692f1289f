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

struct Session : app::ISessionEvents {
    fakes::FakeSocket socket;
    fakes::FakeTimer message, status, heard;
    fakes::FakeEventLoop loop;
    fakes::FakeClock clock;
    app::Pauses pauses{loop};
    app::RconSession session{socket, message, status, heard, pauses, clock, *this};
    app::ServerFields running{"127.0.0.1", "27960", "pw", "A\r\nB", "1", "1", "1"};
    Strings told;  // what the owner heard, in order

    app::ServerFields fields() override { return running; }
    void starting() override { told.push_back("starting"); }
    void reply(const std::string&) override {}
    void failed(const app::SessionFailure& f) override { told.push_back("failed " + std::to_string(f.error.number())); }
    void lineSent(std::size_t, const std::string& line) override { told.push_back("sent " + line); }

    app::StartResult start(app::ServerFields f) {
        app::StartResult r = session.start(f, "Quake 3 Arena");
        if (r.outcome == Outcome::started) running = f;
        return r;
    }
};

app::ServerFields with(std::function<void(app::ServerFields&)> change) {
    app::ServerFields f{"127.0.0.1", "27960", "pw", "A\r\nB", "1", "1", "1"};
    change(f);
    return f;
}

}  // namespace

TEST(Session, StartAndReloadTakeTheSettingsOnlyWhenTheySucceed) {
    const auto none = [](app::ServerFields&) {};
    const struct {
        const char* what;
        bool carryOn;
        std::function<app::StartResult(Session&)> act;  // after a first Start of "A", "B" on 127.0.0.1
        Outcome outcome;
        Strings told;      // by the owner, from the act on
        Strings lines;     // the session's message lines afterwards
        Strings sent;      // datagrams, from the act on
        std::string host;  // where the socket points afterwards
        bool timers;       // on afterwards
    } cases[] = {
        {"a refused Start changes nothing",
         false,
         [&](Session& s) {
             s.session.stop();
             return s.start(with([](auto& f) {
                 f.address = " ";
                 f.message = "C";
             }));
         },
         Outcome::refused,
         {},
         {"A", "B"},
         {},
         "127.0.0.1",
         false},
        {"a failed Start points the socket back, closed",
         false,
         [&](Session& s) {
             s.session.stop();
             return s.start(with([](auto& f) {
                 f.address = "no.such.host.invalid";
                 f.message = "C";
             }));
         },
         Outcome::failed,
         {"starting", "failed 11001"},
         {"A", "B"},
         {},
         "127.0.0.1",
         false},
        {"a Start that carries on after failures starts without its server",
         true,
         [&](Session& s) {
             s.session.stop();
             return s.start(with([](auto& f) {
                 f.address = "no.such.host.invalid";
                 f.message = "C";
             }));
         },
         Outcome::started,
         {"starting", "failed 11001"},
         {"C"},
         {},
         "no.such.host.invalid",
         true},
        {"a Start after a Stop takes the new lines and asks for the status",
         false,
         [&](Session& s) {
             s.session.stop();
             return s.start(with([](auto& f) { f.message = "C\r\n"; }));
         },
         Outcome::started,
         {"starting"},
         {"C", ""},
         {P + "rcon pw status"},
         "127.0.0.1",
         true},
        {"a refused reload keeps what runs",
         true,
         [&](Session& s) { return s.session.reload(with([](auto& f) { f.password = ""; }), "Quake 3 Arena"); },
         Outcome::refused,
         {},
         {"A", "B"},
         {},
         "127.0.0.1",
         true},
        {"a reload on the same server sends nothing",
         true,
         [&](Session& s) { return s.session.reload(with([](auto& f) { f.message = "D"; }), "Quake 3 Arena"); },
         Outcome::started,
         {"starting"},
         {"D"},
         {},
         "127.0.0.1",
         true},
        {"a reload to another server opens it",
         true,
         [&](Session& s) { return s.session.reload(with([](auto& f) { f.address = "127.0.0.2"; }), "Quake 3 Arena"); },
         Outcome::started,
         {"starting"},
         {"A", "B"},
         {P + "rcon pw status"},
         "127.0.0.2",
         true},
        {"a Stop in a pause sends no more lines",
         true,
         [&](Session& s) {
             s.loop.during = [&] { s.session.stop(); };
             s.session.messageTimerTicked();
             return app::StartResult{};
         },
         Outcome::started,
         {"sent A"},
         {"A", "B"},
         {P + "rcon pw say \"A\""},
         "127.0.0.1",
         false},
    };
    for (const auto& c : cases) {
        Session s;
        s.session.carryOnAfterFailures(c.carryOn);
        ASSERT_EQ(s.start(with(none)).outcome, Outcome::started) << c.what;
        s.told.clear();
        s.socket.sent.clear();
        const app::StartResult r = c.act(s);
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
}
