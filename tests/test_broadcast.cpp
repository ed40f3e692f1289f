// Start, the broadcast, the status poll, commands typed by hand, replies and
// the socket's failures, as datagrams on the fake socket.
#include <gtest/gtest.h>

#include "app/PlayerActions.h"
#include "tests/fakes/FormHarness.h"

using Strings = std::vector<std::string>;

namespace {

const std::string P(4, '\xFF');
const std::string B = "         ";

// A window after start-up with every field filled in, ready for Start.
struct Ready : fakes::FormHarness {
    explicit Ready(const std::string& game = "Quake 3 Arena", const std::string& message = "A\r\n\r\nB") {
        frm->Form_Load();
        fill(" 127.0.0.1 ", "27960 ", "pw ", message);
        toolbar.gameBox().caption = game;
    }
    void fill(const std::string& ip, const std::string& port, const std::string& password, const std::string& msg) {
        txtIP.edit = ip;
        txtPort.value = port;
        txtPassword.value = password;
        txtMsg.value = msg;
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) frm->tmrServerMessage_Timer();
    }
    void send(const std::string& command) {
        txtSendCommand.value = command;
        frm->cmdSend_Click();
    }
    std::string lastBox() const { return boxes.shown.empty() ? "<none>" : boxes.shown.back().text; }
};

}  // namespace

// Start refuses an empty field (in the order of the fields) before it saves
// anything (so does a profile another program broadcasts), and a failing
// socket after it saved the fields; either way it stays stopped and no server
// is known to Send.
TEST(Start, RefusesEmptyFieldsOrAFailingSocketAndStaysStopped) {
    const std::string invalid = "Invalid Argument, check to make sure the IP and Port is correct" + B;
    const struct {
        const char *ip, *port, *password;
        std::string text;  // empty: logged, as a type mismatch is not a socket error
        int style;
        const char* saved;
        bool heldElsewhere = false;
    } cases[] = {
        {"  ", "", "", "Please input a server IP" + B, 48, "<missing>"},
        {"1.2.3.4", " ", "", "Please input a server port" + B, 48, "<missing>"},
        {"1.2.3.4", "1", "   ", "Please input a remote password" + B, 48, "<missing>"},
        {"no.such.host.invalid", "27960", "pw", "Host not found, unable to connect to server" + B, 48, "27960"},
        {"127.0.0.1", "70000", "pw", invalid, 48, "70000"},
        {"127.0.0.1", "0", "pw", invalid, 48, "0"},
        {"127.0.0.1", "27x", "pw", "", 0x1010, "27x"},
        {"127.0.0.1", "27960", "pw", "The default profile is being broadcast by vexmond-service (process 22)", 48,
         "<missing>", true},
    };
    for (const auto& c : cases) {
        Ready h;
        h.fill(c.ip, c.port, c.password, "Hi");
        fakes::FakeProfileLocks service(h.lockTable, 22);
        const auto theirs = service.take(c.heldElsewhere ? "broadcast" : "broadcast-other", "vexmond-service");
        h.frm->cmdStart_Click();
        ASSERT_EQ(h.boxes.shown.size(), 1u) << c.port;
        EXPECT_EQ(h.boxes.shown[0].style, c.style) << c.port;
        EXPECT_TRUE(c.text.empty() || h.lastBox().rfind(c.text, 0) == 0) << h.lastBox();
        EXPECT_FALSE(h.udpPeerA.open || h.tmrServerMessage.on || h.tmrStatus.on) << c.port;
        EXPECT_TRUE(h.udpPeerA.sent.empty());
        EXPECT_EQ(h.stored("_Vexmond", "Port"), c.saved);
        h.send("status");
        EXPECT_EQ(h.lastBox(), app::kNoServerYet) << c.port;
    }
}

TEST(Start, OpensTheSocketPollsOnceAndClosesASocketLeftOpen) {
    Ready h("Quake 3 Arena", "");
    h.frm->cmdStart_Click();
    EXPECT_EQ(h.lastBox(), "Please input a message" + B);
    h.txtMsg.value = "   ";  // a message of blanks passes
    h.boxes.shown.clear();
    h.frm->cmdStart_Click();
    EXPECT_EQ(h.udpPeerA.host, "127.0.0.1");
    EXPECT_EQ(h.udpPeerA.port, 27960);
    EXPECT_EQ(h.udpPeerA.sent, Strings{P + "rcon pw  status"});  // the field's password, untrimmed
    EXPECT_TRUE(h.tmrServerMessage.on && h.tmrStatus.on && !h.cmdStart.on && h.imgConnected.shown &&
                !h.imgNotConnected.shown);
    EXPECT_EQ(h.stored("_Vexmond", "Msg"), "   ");
    h.frm->cmdStart_Click();  // pressed while running: nothing
    EXPECT_EQ(h.udpPeerA.sent.size(), 1u);
    h.frm->cmdStop_Click();
    h.send("status");  // a command after Stop opens the socket again
    h.frm->cmdStart_Click();
    EXPECT_EQ(h.udpPeerA.closes, 2);
    EXPECT_TRUE(h.boxes.shown.empty());
    EXPECT_EQ(h.lockTable.count("broadcast"), 1u);  // the profile's broadcast is the window's until it stops
    h.frm->cmdStop_Click();
    EXPECT_TRUE(h.lockTable.empty());
}

TEST(Broadcast, EachGameGivesItsWordsAndForm) {
    const char* cases[][3] = {
        {"Quake 3 Arena", "rcon pw say \"Hi\"", "rcon pw status"},
        {"Return to Castle Wolfenstein", "rcon pw Hi", "rcon pw status"},
        {"Soldier of Fortune II", "rcon pw Hi", "rcon pw status"},
        {"Jedi Knight II", "rcon pw svsay \"Hi\"", "rcon pw status"},
        {"Elite Force", "rcon pw svsay \"Hi\"", "rcon pw status"},
        // Quake II's engine drops any verb but "rcon" as a bad packet.
        {"Quake II", "rcon pw Hi", "rcon pw status"},
        {"Soldier of Fortune", "rcon pw Hi", "rcon pw status"},
        // A name no profile knows, on a fresh start: the verb every server takes.
        {"quake 3 arena", "rcon pw Hi", "rcon pw status"},
    };
    for (const auto& c : cases) {
        Ready h(c[0], "Hi");
        h.txtPassword.value = "pw";
        h.txtSeverMessageTime.value = "1";
        h.frm->cmdStart_Click();
        h.ticks(1);
        h.send("  status ");  // always rcon
        EXPECT_EQ(h.udpPeerA.sent, (Strings{P + c[2], P + c[1], P + "rcon pw status"})) << c[0];
    }
}

TEST(Broadcast, SendsEachNonEmptyLineWithAPauseAfterItAndCountsOnAcrossStop) {
    Ready h;
    h.txtMsgDelay.value = "1.5";
    h.txtSeverMessageTime.value = "3";
    h.frm->cmdStart_Click();
    h.txtOutput.value = "xyz";
    h.ticks(2);
    h.frm->cmdStop_Click();
    h.frm->cmdStart_Click();
    h.udpPeerA.sent.clear();
    h.ticks(1);
    EXPECT_EQ(h.udpPeerA.sent, (Strings{P + "rcon pw say \"A\"", P + "rcon pw say \"B\""}));
    EXPECT_EQ(h.sleeper.pauses, (std::vector<std::uint32_t>{1500, 1500}));
    EXPECT_EQ(h.txtOutput.caret, 3);
    h.ticks(2);
    EXPECT_EQ(h.udpPeerA.sent.size(), 2u);
}

TEST(Broadcast, IntervalAndDelayAreReadAtEveryTick) {
    const struct {
        const char *interval, *delay;
        int ticksToBroadcast;
        std::uint32_t pause;
    } cases[] = {
        {"0", "0", 5, 2000},   {"", "", 5, 2000},        {"2.5", "2", 3, 2000},    {"  3x", "1.0005", 3, 1000},
        {"1", "-5", 1, 2000},  {"1", "99999", 1, 60000}, {"1", "1e999", 1, 60000}, {"1", "0.0004", 1, 2000},
        {"1", "0.0025", 1, 2}, {"-3", "5", 1, 5000},
    };
    for (const auto& c : cases) {
        Ready h("Return to Castle Wolfenstein", "Hi");
        h.frm->cmdStart_Click();
        h.txtSeverMessageTime.value = c.interval;
        h.txtMsgDelay.value = c.delay;
        h.udpPeerA.sent.clear();
        h.ticks(c.ticksToBroadcast - 1);
        EXPECT_TRUE(h.udpPeerA.sent.empty()) << c.interval;
        h.ticks(1);
        EXPECT_EQ(h.udpPeerA.sent, Strings{P + "rcon pw Hi"}) << c.interval;
        EXPECT_EQ(h.sleeper.pauses, std::vector<std::uint32_t>{c.pause}) << c.delay;
    }
}

TEST(Broadcast, MessageAndPasswordAreFixedAtStartButTheGameIsReadPerLine) {
    Ready h("Quake 3 Arena", "one\r\n");  // a trailing line end gives an empty last line, skipped
    h.txtSeverMessageTime.value = "1";
    h.frm->cmdStart_Click();
    h.txtMsg.value = "changed";
    h.txtPassword.value = "other";
    h.udpPeerA.sent.clear();
    h.frm->SSActiveToolBars1_ComboSelChange(fakes::FakeTool("ID_SelectGame", "Elite Force"));
    h.ticks(1);
    // A name no profile knows keeps the last words, in the plain form.
    h.frm->SSActiveToolBars1_ComboSelChange(fakes::FakeTool("ID_SelectGame", "Typed Game"));
    h.ticks(1);
    h.frm->tmrStatus_Timer();
    EXPECT_EQ(h.udpPeerA.sent, (Strings{P + "rcon pw svsay \"one\"", P + "rcon pw one", P + "rcon other status"}));
}

TEST(StatusPoll, SendsEveryIntervalTicksAndCountsOnWhileOff) {
    Ready h;
    h.txtStatus.value = "2";
    h.frm->cmdStart_Click();
    h.udpPeerA.sent.clear();
    for (int i = 0; i < 4; ++i) h.frm->tmrStatus_Timer();
    EXPECT_EQ(h.udpPeerA.sent, (Strings{P + "rcon pw  status", P + "rcon pw  status"}));
    h.txtStatus.value = "";
    for (int i = 0; i < 5; ++i) h.frm->tmrStatus_Timer();
    h.txtStatus.value = "3";
    h.frm->tmrStatus_Timer();
    EXPECT_EQ(h.udpPeerA.sent.size(), 3u);
}

TEST(ManualCommand, AfterStopGoesToTheLastStartsServerAndBeforeAnyStartSaysToPressStart) {
    Ready h;
    h.send("   ");
    h.send("kick 3");
    EXPECT_EQ(h.lastBox(), app::kNoServerYet);
    EXPECT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_FALSE(h.udpPeerA.open);

    h.frm->cmdStart_Click();
    h.frm->cmdStop_Click();
    h.udpPeerA.sent.clear();
    h.txtIP.edit = "elsewhere";
    h.frm->cmdSend_Click();
    EXPECT_EQ(h.udpPeerA.sent, Strings{P + "rcon pw  kick 3"});
    EXPECT_EQ(h.udpPeerA.host, "127.0.0.1");
    h.udpPeerA.incoming.push_back(P + "print\nkicked\n");
    h.frm->udpPeerA_DataArrival(1);
    EXPECT_EQ(h.txtOutput.value, "kicked\r\n");
    EXPECT_FALSE(h.tmrServerMessage.on || h.tmrStatus.on);
    EXPECT_EQ(h.txtSendCommand.value, "kick 3");
}

TEST(Replies, HeadersAreRemovedAndLineFeedsBecomeCrLf) {
    const std::string H = P + "print\n";
    const std::pair<std::string, std::string> cases[] = {
        {H + "Hello\n", "Hello\r\n"},
        {"no header\nline two\n", "no header\r\nline two\r\n"},
        {H + "a\r\nb\n", "a\r\r\nb\r\n"},
        {H + "first\n" + H + "second\n", "first\r\nsecond\r\n"},
        {P + "Print\nx", P + "Print\r\nx"},
        {H, ""},
        {std::string("nul\0\xFF\xFFok", 8), std::string("nul\0\xFF\xFFok", 8)},
    };
    for (const auto& [datagram, appended] : cases) {
        Ready h;
        h.frm->cmdStart_Click();
        h.txtOutput.value = "old";
        h.udpPeerA.incoming.push_back(datagram);
        h.frm->udpPeerA_DataArrival(static_cast<std::int32_t>(datagram.size()));
        EXPECT_EQ(h.txtOutput.value, "old" + appended);
        EXPECT_EQ(h.txtOutput.caret, static_cast<std::int64_t>(h.txtOutput.value.size()));
    }
}

// Every procedure that touches the socket, failing: the number's message (or
// the error log), one box shown while ticks and replies are held, then a full
// stop with the console kept.
TEST(Failures, EveryProcedureShowsTheMessageOfItsNumberOnceThenStops) {
    const std::pair<const char*, std::function<void(Ready&)>> procedures[] = {
        {"tmrServerMessage_Timer", [](Ready& h) { h.ticks(5); }},
        {"tmrStatus_Timer", [](Ready& h) { h.frm->tmrStatus_Timer(); }},
        {"cmdSend_Click", [](Ready& h) { h.send("status"); }},
        {"udpPeerA_DataArrival",
         [](Ready& h) {
             h.udpPeerA.incoming.push_back("x");
             h.frm->udpPeerA_DataArrival(1);
         }},
    };
    for (const auto& [procedure, run] : procedures)
        for (const std::int32_t number : {10054, 10014, 10055}) {
            Ready h;
            h.frm->cmdStart_Click();
            h.udpPeerA.failNext = number;
            h.boxes.during = [&] { EXPECT_TRUE(h.pauses.held()) << "ticks and replies run under the box"; };
            h.txtOutput.value = "kept";
            run(h);
            const std::string where = std::string(procedure) + " " + std::to_string(number);
            const bool replies = std::string(procedure) == "udpPeerA_DataArrival";
            ASSERT_EQ(h.boxes.shown.size(), 1u) << where;
            if (number == 10054) {
                EXPECT_EQ(h.lastBox(), "Could not connect to server, server may be down. Check your IP and Port" + B);
            } else if (number == 10014 && !replies) {
                EXPECT_EQ(h.lastBox(), "Invalid Argument, check to make sure the IP and Port is correct" + B);
            } else if (replies) {  // not in the reply handler's table: the socket's own words
                EXPECT_EQ(h.lastBox(), "socket says " + std::to_string(number)) << where;
            } else {  // not in the table at all: the error log
                EXPECT_EQ(h.boxes.shown[0].style, 0x1010) << where;
                EXPECT_NE(testsupport::readFile(h.dataFile("vexmond.log"))
                              .find("Error 10055 in vexmond::frmMain." + std::string(procedure)),
                          std::string::npos)
                    << where;
            }
            EXPECT_FALSE(h.tmrServerMessage.on || h.tmrStatus.on || h.udpPeerA.open) << where;
            EXPECT_TRUE(h.cmdStart.on && h.imgNotConnected.shown);
            EXPECT_EQ(h.txtOutput.value, "kept");
            EXPECT_TRUE(h.sleeper.pauses.empty()) << "the failing line ends the broadcast";
        }
}

// After a broadcast in the chat form the window says how many of its lines
// the server echoed, and a refused password until the next Start; the plain
// form claims nothing.
TEST(Heard, TheEchoesOfABroadcastAreCountedAndARefusedPasswordStaysUntilTheNextStart) {
    const std::string H = P + "print\n";
    const struct {
        const char* game;
        std::vector<std::string> replies;
        bool stopFirst;
        const char* notice;
        bool warning;
    } cases[] = {
        {"Quake 3 Arena",
         {H + "console: A\n", H + "console: 50. .t.\n"},
         false,
         "2 of 3 lines heard at 09:05; line 3 not heard",
         false},
        {"Elite Force",
         {H + "console: A\n" + H + "console: B\n", H + "console: 50. .t.\n"},
         false,
         "3 of 3 lines heard at 09:05",
         false},
        {"Quake 3 Arena", {H + "Bad rconpassword.\n"}, false, "Password refused: Bad rconpassword.", true},
        {"Quake 3 Arena", {H + "console: A\n"}, true, "", false},  // stopped: no echo can come
        {"Return to Castle Wolfenstein", {H + "console: A\n"}, false, "", false},
    };
    for (const auto& c : cases) {
        Ready h(c.game, "A\r\n\r\nB\r\n50% \xE9t\xE9");
        h.txtSeverMessageTime.value = "1";
        h.frm->cmdStart_Click();
        h.ticks(1);
        for (const std::string& reply : c.replies) {
            h.udpPeerA.incoming.push_back(reply);
            h.frm->udpPeerA_DataArrival(1);
        }
        if (c.stopFirst) h.frm->cmdStop_Click();
        EXPECT_EQ(h.tmrHeard.on, !c.stopFirst && std::string(c.game) != "Return to Castle Wolfenstein") << c.game;
        if (h.tmrHeard.on) {
            EXPECT_EQ(h.tmrHeard.period, 5000);
        }
        h.frm->tmrHeard_Timer();
        EXPECT_FALSE(h.tmrHeard.on);
        EXPECT_EQ(h.lblHeard.shown, c.notice) << c.game;
        EXPECT_EQ(h.lblHeard.warned, c.warning) << c.game;
        h.frm->cmdStop_Click();
        h.frm->cmdStart_Click();
        EXPECT_EQ(h.lblHeard.shown, "");
    }
}

// A player's action goes to the player of the row or not at all: his slot is
// checked by the last status before the question and after it; the table
// shows each status with its line; Message... leaves the command to finish.
TEST(Players, AnActionAsksThenGoesToThePlayerOfTheRowOrNotAtAll) {
    const std::string head =
        P +
        "print\nmap: oa_dm1\ncl score ping name            address                                 "
        "rate \n-- ----- ---- --------------- --------------------------------------- -----\n";
    const std::string alice =
        head + "  1     5   35 ^1Alice          ^7203.0.113.9                             25000\n\n";
    const std::string bob = head + "  1     0   40 Bob             ^7198.51.100.2                            25000\n\n";
    const struct {
        const char* choose;
        int answer;           // to the question, 0: none asked
        bool takenMeanwhile;  // Bob in slot 1 by a status that comes while the question stands
        Strings boxes;
        std::string sent;  // the last datagram
        std::string command;
    } cases[] = {
        {"&Kick", 6, false, {"Kick Alice (slot 1)?"}, P + "rcon pw  clientkick 1", ""},
        {"&Kick", 7, false, {"Kick Alice (slot 1)?"}, P + "rcon pw  status", ""},
        {"&Ban",
         6,
         true,
         {"Ban Alice (slot 1)?",
          "Slot 1 no longer holds Alice by the last status: nothing was sent. Look at the "
          "players again."},
         P + "rcon pw  status",
         ""},
        {"&Message...", 0, false, {}, P + "rcon pw  status", "tell 1 "},
    };
    for (const auto& c : cases) {
        Ready h;
        h.frm->cmdStart_Click();
        EXPECT_EQ(h.players.line, app::kNoStatusYet);
        h.udpPeerA.incoming.push_back(alice);
        h.frm->udpPeerA_DataArrival(0);
        EXPECT_EQ(h.players.line.rfind("1 player on oa_dm1 at ", 0), 0u) << h.players.line;
        if (c.answer) h.boxes.answers.push_back(c.answer);
        if (c.takenMeanwhile)
            h.boxes.during = [&] {
                h.boxes.during = nullptr;
                h.udpPeerA.incoming.push_back(bob);
                h.frm->udpPeerA_DataArrival(0);
            };
        h.players.menu(0, 0, c.choose);
        Strings shown;
        for (const auto& box : h.boxes.shown) shown.push_back(box.text);
        EXPECT_EQ(shown, c.boxes) << c.choose;
        EXPECT_EQ(h.udpPeerA.sent.back(), c.sent) << c.choose;
        EXPECT_EQ(h.txtSendCommand.value, c.command) << c.choose;
    }
}
