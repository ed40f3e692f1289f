// The service over the fake socket and a clock that moves only while its loop
// waits, with the platform's real store: the window's schedule, its log,
// failures that do not stop it, the end in a pause, a reload, and --set and
// --show against what the window reads and writes.
#include <gtest/gtest.h>

#include "service/Service.h"
#include "tests/fakes/FakeSystemWait.h"
#include "tests/fakes/FormHarness.h"

using Strings = std::vector<std::string>;

namespace {

const std::string P(4, '\xFF');
constexpr unsigned kEnd = service::ISystemWait::kEnd;

// A socket whose first binds are refused, as a host name that does not
// resolve yet.
struct Socket : fakes::FakeSocket {
    int refusedBinds = 0;
    void bind() override {
        if (refusedBinds-- > 0) throw base::AppError(11001, "vexmond.Winsock", "no such host");
        FakeSocket::bind();
    }
};

// The service and the window over one store; the log's lines without their date.
struct ServiceHarness : fakes::FormHarness {
    Socket socket;
    fakes::FakeSystemWait wait;
    service::ServiceLoop loop{wait, socket};
    Strings lines;
    service::ServiceLog log{clock, [this](const std::string& l) { lines.push_back(l.substr(20, l.size() - 21)); },
                            false};

    app::CommandLineAnswer set(const Strings& settings, const std::string& profile = {}, bool show = false) {
        return service::configure(app::Profile(profile), settings, show, store.registry(), files, false);
    }
    int run(const std::string& profile = {}) {
        return service::Service({loop, socket, store.registry(), files, clock, log}, app::Profile(profile)).run();
    }
    void ready(const Strings& more) {
        Strings all{"IP=127.0.0.1", "Port=27960", "Password=pw"};
        all.insert(all.end(), more.begin(), more.end());
        ASSERT_EQ(set(all).status, 0) << set(all).err;
    }
};

}  // namespace

// The window's datagrams at the window's ticks, a reply held until the
// broadcast is over, one log line a reply line, what the server echoed and
// its refusal of the password, which ends it with nothing more sent, the
// password never logged.
TEST(Service, RunsTheProfileOnTheWindowsScheduleAndLogsEveryLineWithoutThePassword) {
    ServiceHarness h;
    h.ready({"Msg=A\n\nB", "Msg_Timer=2", "Msg_Delay=1.5", "Game=Quake 3 Arena", "Status=3"});
    h.wait.at(131500, [&] { h.socket.incoming.push_back(P + "print\nmap: oa_dm1\nconsole: A\nrcon pw say\n"); });
    h.wait.at(150000, [&] { h.socket.incoming.push_back(P + "print\nBad rconpassword.\n"); });
    h.wait.signalAt(190000, kEnd);
    EXPECT_EQ(h.run(), 1);
    EXPECT_EQ(h.socket.sent, (Strings{P + "rcon pw status", P + "rcon pw say \"A\"", P + "rcon pw say \"B\""}));
    EXPECT_EQ(h.lines, (Strings{"start: the default profile, server 127.0.0.1:27960, game Quake 3 Arena, 2 lines "
                                "every 2 ticks of 65.535 s with 1.5 s after each, the status every 3 ticks of 63 s",
                                "sent: A", "sent: B", "reply: map: oa_dm1", "reply: console: A", "reply: rcon *** say",
                                "heard: 1 of 2 lines heard at 09:05; line 3 not heard", "reply: Bad rconpassword.",
                                "refused: the server refused the password (Bad rconpassword.); nothing more is sent"}));
}

// A failure is logged as the window would show it, naming the datagram, and
// the schedule goes on: a socket that could not be opened is opened at the
// next send, a datagram that met an earlier one's unreachable port is made
// again, a line that fails leaves the rest of its broadcast to go out, and
// the next broadcast comes at its interval. Start's checks end it with 1.
TEST(Service, FailuresAreLoggedWithTheWindowsTextAndTheScheduleGoesOn) {
    ServiceHarness h;
    h.ready({"Msg=A\nB", "Msg_Timer=1", "Status=1"});
    h.socket.refusedBinds = 1;
    h.wait.at(64000, [&] { h.socket.failNext = 10040; });
    h.wait.at(100000, [&] { h.socket.failNext = 10054; });
    h.wait.at(127000, [&] { h.socket.failNext = 10022; });
    h.wait.signalAt(150000, kEnd);
    EXPECT_EQ(h.run(), 0);
    EXPECT_EQ(h.socket.sent, (Strings{P + "rcon pw status", P + "rcon pw B", P + "rcon pw status", P + "rcon pw B"}));
    const Strings expected{"failed: Host not found, unable to connect to server",
                           "failed: line 1: Message sent to to large, please edit your message to a lesser length",
                           "sent: B",
                           "failed: line 1: Following error occurred in this application:",
                           "failed: Number: 10022",
                           "sent: B",
                           "stop"};
    std::size_t at = 0;
    for (const std::string& line : h.lines) at += at < expected.size() && line == expected[at];
    EXPECT_EQ(at, expected.size()) << ::testing::PrintToString(h.lines);

    const struct {
        const char *section, *name, *value, *message;
    } missing[] = {
        {"IPs", "Hist0", "", "Please input a server IP"},
        {"_Vexmond", "Port", " ", "Please input a server port"},
        {"_Vexmond", "Password", " ", "Please input a remote password"},
        {"_Vexmond", "Msg", "", "Please input a message"},
    };
    for (const auto& m : missing) {
        ServiceHarness fresh;
        fresh.ready({"Msg=Hi"});
        fresh.save(m.section, m.name, m.value);
        EXPECT_EQ(fresh.run(), 1);
        EXPECT_EQ(fresh.lines, Strings{std::string("failed: ") + m.message});
        EXPECT_TRUE(fresh.socket.sent.empty());
    }
}

// The end in the pause after a line: nothing more goes out. A reload takes
// the new message and delay at the next tick, the ticks counted so far kept.
TEST(Service, TheEndInAPauseSendsNothingMoreAndAReloadKeepsTheTickCounts) {
    ServiceHarness h;
    h.ready({"Msg=A\nB", "Msg_Timer=3", "Status=0"});
    h.wait.at(140000, [&] {
        h.set({"Msg=C\nD", "Msg_Delay=99999"});
        h.wait.pending |= service::ISystemWait::kReload;
    });
    h.wait.signalAt(3 * 65535 + 5000, kEnd);
    EXPECT_EQ(h.run(), 0);
    EXPECT_EQ(h.socket.sent, (Strings{P + "rcon pw status", P + "rcon pw C"}));
    EXPECT_EQ(h.lines.at(1),
              "reload: the default profile, server 127.0.0.1:27960, game Return to Castle "
              "Wolfenstein, 2 lines every 3 ticks of 65.535 s with 60 s (Msg_Delay=99999) after each, no status "
              "requests");
    EXPECT_EQ(Strings(h.lines.begin() + 2, h.lines.end()), (Strings{"sent: C", "stop"}));
    EXPECT_FALSE(h.socket.open);
}

// What --set writes, the window reads with the same fields (IP at the top of
// its history, as Enter puts it there); what the window keeps, --show shows.
TEST(ServiceProfile, WhatSetWritesTheWindowReadsAndTheOtherWayRound) {
    for (const std::string profile : {"", "eu1"}) {
        ServiceHarness h;
        h.recreate(profile);
        const app::CommandLineAnswer set =
            h.set({"IP=10.0.0.2", "ip=10.0.0.1", "Port=27960", "Password=p w", "Msg=A\r\nB\n", "Msg_Timer=2.5",
                   "Msg_Delay=", "Min_Players=2", "Msg_Rotate=1", "Game=OpenArena"},
                  profile);
        ASSERT_EQ(set.status, 0);
        EXPECT_EQ(set.err, "");  // a game of the box: no warning
        h.frm->Form_Load();
        EXPECT_EQ(h.txtIP.edit, "10.0.0.1");
        EXPECT_EQ(h.txtIP.items, (Strings{"10.0.0.1", "10.0.0.2"}));
        EXPECT_EQ(Strings({h.txtPort.value, h.txtPassword.value, h.txtMsg.value, h.txtSeverMessageTime.value,
                           h.txtMsgDelay.value, h.txtMinPlayers.value, h.chkMsgRotate.value,
                           h.toolbar.gameBox().caption}),
                  (Strings{"27960", "p w", "A\r\nB", "2.5", "", "2", "1", "OpenArena"}));

        h.txtIP.edit = "10.0.0.3";
        std::int16_t enter = 13;
        h.frm->txtIP_KeyDown(enter, 0);
        h.txtPort.value = "27961";
        h.chkMsgRotate.value = "0";
        h.toolbar.gameBox().caption = "Quake 3 Arena";
        h.frm->cmdClose_Click();
        EXPECT_EQ(h.set({}, profile, true).out,
                  "Profile      " + (profile.empty() ? std::string("(default)") : profile) +
                      "\nIP           10.0.0.3\nPort         27961\nPassword     ***\nMsg          A\n"
                      "             B\nMsg_Timer    2.5\nMsg_Delay    \nMin_Players  2\nMsg_Rotate   0\n"
                      "Game         Quake 3 Arena\nStatus       1\n");
    }
}

// A value the form's field would not take exits 2 and writes nothing.
TEST(ServiceProfile, SetRefusesWhatTheWindowWouldNotTakeAndWritesNothing) {
    for (const std::string& refused : Strings{"Port=0", "Port=65536", "Port=0000080", "Port=27x", "Port=", "Port=8.5",
                                              "Msg_Timer=five", "Msg_Delay=1.2.3", "Status=" + std::string(33, '1'),
                                              "Password=a\nb", "IP=", "Game=", "Msg=@no-such-file"}) {
        ServiceHarness h;
        const app::CommandLineAnswer a = h.set({"Password=pw", refused});
        EXPECT_EQ(a.status, 2) << refused;
        EXPECT_NE(a.err.find("vexmond-service: "), std::string::npos) << refused;
        EXPECT_EQ(h.stored("_Vexmond", "Password"), "<missing>") << refused;
    }
}
