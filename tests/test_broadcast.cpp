// Start, the broadcast, the status poll, commands typed by hand, replies and
// the socket's failures, as datagrams on the fake socket.
#include <gtest/gtest.h>

#include "tests/fakes/FormHarness.h"

using fakes::FormHarness;
using Strings = std::vector<std::string>;

namespace {

const std::string P(4, '\xFF');
const std::string B = "         ";

// A window after start-up with every field filled in, ready for Start.
struct Ready : FormHarness {
    explicit Ready(const std::string& game = "Quake 3 Arena") {
        frm->Form_Load();
        txtIP.edit = " 127.0.0.1 ";
        txtPort.value = "27960 ";
        txtPassword.value = "pw ";
        txtMsg.value = "A\r\n\r\nB";
        toolbar.gameBox().caption = game;
    }
    void start() { frm->cmdStart_Click(); }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) frm->tmrServerMessage_Timer();
    }
};

}  // namespace

TEST(Start, ChecksTheFieldsInOrderThenOpensTheSocketAndPollsOnce) {
    const struct {
        const char *ip, *port, *password, *message, *expected;
    } cases[] = {
        {"  ", "", "", "", "Please input a server IP"},
        {"1.2.3.4", " ", "", "", "Please input a server port"},
        {"1.2.3.4", "1", "   ", "", "Please input a remote password"},
        {"1.2.3.4", "1", "pw", "", "Please input a message"},
    };
    for (const auto& c : cases) {
        Ready h;
        h.txtIP.edit = c.ip;
        h.txtPort.value = c.port;
        h.txtPassword.value = c.password;
        h.txtMsg.value = c.message;
        h.start();
        ASSERT_EQ(h.messageBox.shown.size(), 1u);
        EXPECT_EQ(h.messageBox.shown[0].text, c.expected + B);
        EXPECT_TRUE(h.udpPeerA.sent.empty() && !h.udpPeerA.open && !h.tmrServerMessage.on);
        EXPECT_EQ(h.stored("_Vexmond", "Port"), "<missing>");
    }
    Ready h;
    h.txtMsg.value = "   ";  // a message of blanks passes
    h.start();
    EXPECT_EQ(h.udpPeerA.host, "127.0.0.1");
    EXPECT_EQ(h.udpPeerA.port, 27960);
    EXPECT_EQ(h.udpPeerA.sent, Strings{P + "rcon pw  status"});  // the field's password, untrimmed
    EXPECT_TRUE(h.tmrServerMessage.on && h.tmrStatus.on && !h.cmdStart.on && h.imgConnected.shown);
    EXPECT_EQ(h.stored("_Vexmond", "Msg"), "   ");
    h.start();  // a socket left open is closed first
    EXPECT_EQ(h.udpPeerA.closes, 1);
    EXPECT_TRUE(h.messageBox.shown.empty());
}

TEST(Broadcast, EachGameGivesItsWordsAndForm) {
    const struct {
        const char *game, *broadcast, *status;
    } cases[] = {
        {"Quake 3 Arena", "rcon pw say \"Hi\"", "rcon pw status"},
        {"Return to Castle Wolfenstein", "rcon pw Hi", "rcon pw status"},
        {"Soldier of Fortune II", "rcon pw Hi", "rcon pw status"},
        {"Jedi Knight II", "rcon pw svsay \"Hi\"", "rcon pw status"},
        {"Elite Force", "rcon pw svsay \"Hi\"", "rcon pw status"},
        {"Quake II", "rcon_password pw Hi", "rcon_password pw status"},
        {"Soldier of Fortune", "rcon_password pw Hi", "rcon_password pw status"},
        {"quake 3 arena", " pw Hi", " pw status"},  // unknown: no words at all on a fresh start
    };
    for (const auto& c : cases) {
        Ready h(c.game);
        h.txtPassword.value = "pw";
        h.txtMsg.value = "Hi";
        h.txtSeverMessageTime.value = "1";
        h.start();
        h.ticks(1);
        h.txtSendCommand.value = "  status ";
        h.frm->cmdSend_Click();  // always rcon
        EXPECT_EQ(h.udpPeerA.sent, (Strings{P + c.status, P + c.broadcast, P + "rcon pw status"})) << c.game;
    }
}

TEST(Broadcast, SendsEachNonEmptyLineWithAPauseAfterItAndCountsOnAcrossStop) {
    Ready h;
    h.txtMsgDelay.value = "1.5";
    h.txtSeverMessageTime.value = "3";
    h.start();
    h.udpPeerA.sent.clear();
    h.txtOutput.value = "xyz";
    h.ticks(2);
    h.frm->cmdStop_Click();
    h.start();
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
        Ready h("Return to Castle Wolfenstein");
        h.txtMsg.value = "Hi";
        h.start();
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
    Ready h;
    h.txtSeverMessageTime.value = "1";
    h.txtMsg.value = "one\r\n";  // a trailing line end gives an empty last line, skipped
    h.start();
    h.txtMsg.value = "changed";
    h.txtPassword.value = "other";
    h.udpPeerA.sent.clear();
    h.frm->SSActiveToolBars1_ComboSelChange(fakes::FakeTool("ID_SelectGame", "Elite Force"));
    h.ticks(1);
    // A name no profile knows keeps the last words, in the plain form.
    h.frm->SSActiveToolBars1_ComboSelChange(fakes::FakeTool("ID_SelectGame", "Typed Game"));
    h.ticks(1);
    EXPECT_EQ(h.udpPeerA.sent, (Strings{P + "rcon pw svsay \"one\"", P + "rcon pw one"}));
    h.frm->tmrStatus_Timer();
    EXPECT_EQ(h.udpPeerA.sent.back(), P + "rcon other status");
}

TEST(StatusPoll, SendsEveryIntervalTicksAndCountsOnWhileOff) {
    Ready h;
    h.txtStatus.value = "2";
    h.start();
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
    h.txtSendCommand.value = "   ";
    h.frm->cmdSend_Click();
    h.txtSendCommand.value = "kick 3";
    h.frm->cmdSend_Click();
    ASSERT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_EQ(h.messageBox.shown[0].text, app::kNoServerYet);
    EXPECT_FALSE(h.udpPeerA.open);

    h.start();
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
        h.start();
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
    const std::pair<std::int32_t, const char*> numbers[] = {
        {10054, "Could not connect to server, server may be down. Check your IP and Port"},
        {10014, "Invalid Argument, check to make sure the IP and Port is correct"},  // not for replies
        {10055, nullptr},  // not in the table: the error log
    };
    const struct {
        const char* procedure;
        bool replies;
        std::function<void(Ready&)> run;
    } procedures[] = {
        {"tmrServerMessage_Timer", false, [](Ready& h) { h.ticks(5); }},
        {"tmrStatus_Timer", false, [](Ready& h) { h.frm->tmrStatus_Timer(); }},
        {"cmdSend_Click", false,
         [](Ready& h) {
             h.txtSendCommand.value = "status";
             h.frm->cmdSend_Click();
         }},
        {"udpPeerA_DataArrival", true, [](Ready& h) { h.frm->udpPeerA_DataArrival(1); }},
    };
    for (const auto& p : procedures)
        for (const auto& [number, message] : numbers) {
            Ready h;
            h.start();
            h.udpPeerA.failNext = number;
            h.messageBox.during = [&] { EXPECT_EQ(h.sleeper.holding, 1) << "ticks and replies run under the box"; };
            h.txtOutput.value = "kept";
            p.run(h);
            const std::string where = std::string(p.procedure) + " " + std::to_string(number);
            ASSERT_EQ(h.messageBox.shown.size(), 1u) << where;
            const auto& box = h.messageBox.shown[0];
            if (message && !(p.replies && number == 10014)) {
                EXPECT_EQ(box.text, message + B) << where;
                EXPECT_EQ(box.style, 48);
            } else if (p.replies) {
                EXPECT_EQ(box.text, "socket says " + std::to_string(number)) << where;
            } else {
                EXPECT_EQ(box.style, 0x1010) << where;
                EXPECT_NE(testsupport::readFile(h.dataFile("vexmond.log")).find("Error 10055 in vexmond::frmMain." +
                                                                              std::string(p.procedure)),
                          std::string::npos)
                    << where;
            }
            EXPECT_FALSE(h.tmrServerMessage.on || h.tmrStatus.on || h.udpPeerA.open) << where;
            EXPECT_TRUE(h.cmdStart.on && h.imgNotConnected.shown);
            EXPECT_EQ(h.txtOutput.value, "kept");
            EXPECT_TRUE(h.sleeper.pauses.empty()) << "the failing line ends the broadcast";
        }
}

TEST(Failures, StartFailingAtTheSocketSavesTheFieldsAndStaysStopped) {
    const struct {
        const char *ip, *port, *text;
        int style;
    } cases[] = {
        {"no.such.host.invalid", "27960", "Host not found, unable to connect to server         ", 48},
        {"127.0.0.1", "70000", "Invalid Argument, check to make sure the IP and Port is correct         ", 48},
        {"127.0.0.1", "0", "Invalid Argument, check to make sure the IP and Port is correct         ", 48},
        {"127.0.0.1", "27x", nullptr, 0x1010},  // a type mismatch is not a socket error: logged
    };
    for (const auto& c : cases) {
        Ready h;
        h.txtIP.edit = c.ip;
        h.txtPort.value = c.port;
        h.start();
        ASSERT_EQ(h.messageBox.shown.size(), 1u) << c.port;
        EXPECT_EQ(h.messageBox.shown[0].style, c.style) << c.port;
        if (c.text) {
            EXPECT_EQ(h.messageBox.shown[0].text, c.text);
        }
        EXPECT_FALSE(h.udpPeerA.open || h.tmrServerMessage.on || h.tmrStatus.on) << c.port;
        EXPECT_TRUE(h.udpPeerA.sent.empty());
        EXPECT_EQ(h.stored("_Vexmond", "Port"), c.port);  // saved before the socket step
        h.txtSendCommand.value = "status";
        h.frm->cmdSend_Click();  // no Start has reached the server
        EXPECT_EQ(h.messageBox.shown.back().text, app::kNoServerYet) << c.port;
    }
}
