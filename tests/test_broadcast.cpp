#include <gtest/gtest.h>

#include "tests/fakes/FormHarness.h"

using fakes::FormHarness;
namespace mb = platform::mb;

namespace {

const std::string P(4, '\xFF');
const std::string B = "         ";

// A window after start-up with every field filled in, ready for Start.
struct Ready : FormHarness {
    Ready(const std::string& game = "Quake 3 Arena") {
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

TEST(Start, OpensTheSocketSendsOneStatusRequestAndRuns) {
    Ready h;
    h.udpPeerA.open = true;  // a socket left open is closed first
    h.start();
    EXPECT_EQ(h.udpPeerA.closes, 1);
    EXPECT_EQ(h.udpPeerA.host, "127.0.0.1");
    EXPECT_EQ(h.udpPeerA.port, 27960);
    EXPECT_TRUE(h.udpPeerA.open);
    EXPECT_EQ(h.udpPeerA.sent, std::vector<std::string>{P + "rcon pw  status"});  // the field's password, untrimmed
    EXPECT_EQ(h.tmrServerMessage.period, 65535);
    EXPECT_EQ(h.tmrStatus.period, 63000);
    EXPECT_TRUE(h.tmrServerMessage.on && h.tmrStatus.on);
    EXPECT_FALSE(h.cmdStart.on);
    EXPECT_TRUE(h.imgConnected.shown && !h.imgNotConnected.shown);
    EXPECT_EQ(h.stored("_Vexmond", "Msg"), "A\r\n\r\nB");
    EXPECT_TRUE(h.messageBox.shown.empty());
}

TEST(Start, ChecksTheFieldsInOrder) {
    struct Case {
        const char* ip;
        const char* port;
        const char* password;
        const char* message;
        const char* expected;
    } cases[] = {
        {"  ", "", "", "", "Please input a server IP"},
        {"1.2.3.4", " ", "", "", "Please input a server port"},
        {"1.2.3.4", "1", "   ", "", "Please input a remote password"},
        {"1.2.3.4", "1", "pw", "", "Please input a message"},
    };
    for (const auto& c : cases) {
        Ready h("Quake II");
        h.txtIP.edit = c.ip;
        h.txtPort.value = c.port;
        h.txtPassword.value = c.password;
        h.txtMsg.value = c.message;
        h.start();
        ASSERT_EQ(h.messageBox.shown.size(), 1u);
        EXPECT_EQ(h.messageBox.shown[0].text, std::string(c.expected) + B);
        EXPECT_EQ(h.messageBox.shown[0].style, 48);
        EXPECT_TRUE(h.udpPeerA.sent.empty() && !h.udpPeerA.open && !h.tmrServerMessage.on);
        EXPECT_EQ(h.stored("_Vexmond", "Port"), "<missing>");
        h.udpPeerA.open = true;  // the profile stays applied: the status poll uses its word
        h.txtPassword.value = "pw";
        h.frm->tmrStatus_Timer();
        EXPECT_EQ(h.udpPeerA.sent, std::vector<std::string>{P + "rcon_password pw status"});
    }
    Ready blanks;
    blanks.txtMsg.value = "   ";  // a message of blanks passes
    blanks.start();
    EXPECT_TRUE(blanks.tmrServerMessage.on);
}

TEST(Broadcast, SendsEachNonEmptyLineWithAPauseAfterIt) {
    Ready h;
    h.txtMsgDelay.value = "1.5";
    h.txtSeverMessageTime.value = "3";
    h.start();
    h.udpPeerA.sent.clear();
    h.txtOutput.value = "xyz";
    h.ticks(2);
    EXPECT_TRUE(h.udpPeerA.sent.empty());
    h.ticks(1);
    EXPECT_EQ(h.udpPeerA.sent, (std::vector<std::string>{P + "rcon pw say \"A\"", P + "rcon pw say \"B\""}));
    EXPECT_EQ(h.sleeper.pauses, (std::vector<std::uint32_t>{1500, 1500}));
    EXPECT_EQ(h.txtOutput.caret, 3);
    h.ticks(2);  // the count starts again after a broadcast
    EXPECT_EQ(h.udpPeerA.sent.size(), 2u);
}

TEST(Broadcast, FieldsAreReadAtEveryTick) {
    struct Case {
        const char* interval;
        const char* delay;
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
        EXPECT_EQ(h.udpPeerA.sent, std::vector<std::string>{P + "rcon pw Hi"}) << c.interval;
        EXPECT_EQ(h.sleeper.pauses, std::vector<std::uint32_t>{c.pause}) << c.delay;
    }
}

TEST(Broadcast, TheMessageAndPasswordAreFixedAtStartButTheGameIsReadPerLine) {
    Ready h;
    h.txtSeverMessageTime.value = "1";
    h.txtMsg.value = "one\r\n";  // a trailing line end gives an empty last line, skipped
    h.start();
    h.txtMsg.value = "changed";
    h.txtPassword.value = "other";
    h.udpPeerA.sent.clear();
    h.sleeper.during = [&] { h.toolbar.gameBox().caption = "ignored until Start"; };
    h.frm->SSActiveToolBars1_ComboSelChange(fakes::FakeTool("ID_SelectGame", "Elite Force"));
    h.ticks(1);
    EXPECT_EQ(h.udpPeerA.sent, std::vector<std::string>{P + "rcon pw svsay \"one\""});
    EXPECT_EQ(h.sleeper.pauses.size(), 1u);
    h.frm->tmrStatus_Timer();
    EXPECT_EQ(h.udpPeerA.sent.back(), P + "rcon other status");
}

TEST(Broadcast, CountersSurviveStopAndStart) {
    Ready h;
    h.txtSeverMessageTime.value = "3";
    h.start();
    h.ticks(2);
    h.frm->cmdStop_Click();
    h.start();
    h.udpPeerA.sent.clear();
    h.ticks(1);
    EXPECT_EQ(h.udpPeerA.sent.size(), 2u);
}

TEST(StatusPoll, SendsEveryIntervalTicksAndNotAtZero) {
    Ready h;
    h.txtStatus.value = "2";
    h.start();
    h.udpPeerA.sent.clear();
    h.txtOutput.value = "ab";
    for (int i = 0; i < 4; ++i) h.frm->tmrStatus_Timer();
    EXPECT_EQ(h.udpPeerA.sent, (std::vector<std::string>{P + "rcon pw  status", P + "rcon pw  status"}));
    EXPECT_EQ(h.txtOutput.caret, 2);

    h.txtStatus.value = "";
    for (int i = 0; i < 5; ++i) h.frm->tmrStatus_Timer();
    EXPECT_EQ(h.udpPeerA.sent.size(), 2u);  // the count goes on while off
    h.txtStatus.value = "3";
    h.frm->tmrStatus_Timer();  // so the first tick after switching on sends
    EXPECT_EQ(h.udpPeerA.sent.size(), 3u);
}

TEST(ManualCommand, SendsTheTrimmedCommandAlwaysAsRcon) {
    Ready h("Quake II");
    h.start();
    h.udpPeerA.sent.clear();
    h.txtSendCommand.value = "   ";
    h.frm->cmdSend_Click();
    EXPECT_TRUE(h.udpPeerA.sent.empty());
    h.txtSendCommand.value = " status ";
    h.frm->cmdSend_Click();
    EXPECT_EQ(h.udpPeerA.sent, std::vector<std::string>{P + "rcon pw  status"});
    EXPECT_EQ(h.txtSendCommand.value, " status ");  // not cleared
    EXPECT_TRUE(h.messageBox.shown.empty());
}

TEST(ManualCommand, AfterStopGoesToTheLastStartsServerAndBeforeAnyStartSaysToPressStart) {
    Ready h;
    h.txtSendCommand.value = "kick 3";
    h.frm->cmdSend_Click();  // no Start yet: no server to send to
    ASSERT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_EQ(h.messageBox.shown[0].text, app::kNoServerYet);
    EXPECT_EQ(h.messageBox.shown[0].style, 48);
    EXPECT_TRUE(h.udpPeerA.sent.empty());
    EXPECT_FALSE(h.udpPeerA.open);

    h.start();
    h.frm->cmdStop_Click();
    h.udpPeerA.sent.clear();
    h.txtIP.edit = "elsewhere";  // the field may change; the socket keeps the last Start's server
    h.frm->cmdSend_Click();
    EXPECT_EQ(h.udpPeerA.sent, std::vector<std::string>{P + "rcon pw  kick 3"});
    EXPECT_EQ(h.udpPeerA.host, "127.0.0.1");
    EXPECT_TRUE(h.udpPeerA.open);  // open, so that the reply is received and shown
    h.udpPeerA.incoming.push_back(P + "print\nkicked\n");
    h.frm->udpPeerA_DataArrival(1);
    EXPECT_EQ(h.txtOutput.value, "kicked\r\n");
    EXPECT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_FALSE(h.tmrServerMessage.on || h.tmrStatus.on);  // still stopped
    EXPECT_TRUE(h.cmdStart.on);
}

TEST(Replies, HeadersAreRemovedAndLineFeedsBecomeCrLf) {
    const std::string H = P + "print\n";
    struct Case {
        std::string datagram;
        std::string appended;
    } cases[] = {
        {H + "Hello\n", "Hello\r\n"},
        {"no header\nline two\n", "no header\r\nline two\r\n"},
        {H + "a\r\nb\n", "a\r\r\nb\r\n"},
        {H + "first\n" + H + "second\n", "first\r\nsecond\r\n"},
        {P + "Print\nx", P + "Print\r\nx"},
        {H, ""},
        {std::string("nul\0\xFF\xFFok", 8), std::string("nul\0\xFF\xFFok", 8)},
    };
    for (const auto& c : cases) {
        FormHarness h;
        h.frm->Form_Load();
        h.txtOutput.value = "old";
        h.udpPeerA.incoming.push_back(c.datagram);
        h.frm->udpPeerA_DataArrival(static_cast<std::int32_t>(c.datagram.size()));
        EXPECT_EQ(h.txtOutput.value, "old" + c.appended);
        EXPECT_EQ(h.txtOutput.caret, static_cast<std::int64_t>(h.txtOutput.value.size()));
    }
}

TEST(Failures, EveryKnownNumberShowsItsMessageThenStops) {
    const std::pair<std::int32_t, const char*> table[] = {
        {7, "Out of memory"},
        {10014, "Invalid Argument, check to make sure the IP and Port is correct"},
        {10040, "Message sent to to large, please edit your message to a lesser length"},
        {10043, "Port not supported"},
        {10048, "Could not connect to server, address in use"},
        {10049, "Could not connect to server, address not available"},
        {10053, "Connection has aborted"},
        {10054, "Could not connect to server, server may be down. Check your IP and Port"},
        {10056, "You are already connected to the server"},
        {10058, "Connection has been lost, socket has shutdown"},
        {10060, "Connection timed out"},
        {10061, "Connection has been refused"},
        {11001, "Host not found, unable to connect to server"},
        {40026, "Wrong Protocol"},
        {10055, nullptr},  // not in the table: the error log
    };
    for (const bool replyHandler : {false, true}) {
        for (const auto& [number, message] : table) {
            Ready h;
            h.start();
            ASSERT_TRUE(h.tmrServerMessage.on);
            h.udpPeerA.failure = number;
            h.messageBox.during = [&] {
                EXPECT_EQ(h.sleeper.holding, 1) << "ticks and replies held while the box is up";
            };
            h.txtOutput.value = "kept";
            if (replyHandler) {
                h.frm->udpPeerA_DataArrival(1);
            } else {
                h.txtSeverMessageTime.value = "1";
                h.ticks(1);
            }
            ASSERT_EQ(h.messageBox.shown.size(), 1u) << number;
            const auto& box = h.messageBox.shown[0];
            const bool tableRow = message && !(replyHandler && number == 10014);
            if (tableRow) {
                EXPECT_EQ(box.text, std::string(message) + B);
                EXPECT_EQ(box.style, 48);
                EXPECT_EQ(box.title, "Vexmond");
            } else if (replyHandler) {
                EXPECT_EQ(box.text, "socket says " + std::to_string(number));
                EXPECT_EQ(box.style, 48);
            } else {
                EXPECT_EQ(box.style, 0x1010);
                EXPECT_NE(h.fileSystem.files["/opt/vexmond/vexmond.log"].find(
                              "Error 10055 in vexmond::frmMain.tmrServerMessage_Timer(Sub) (vexmond.Winsock):"),
                          std::string::npos);
            }
            EXPECT_FALSE(h.tmrServerMessage.on || h.tmrStatus.on) << number;
            EXPECT_TRUE(h.cmdStart.on && h.imgNotConnected.shown);
            EXPECT_EQ(h.txtOutput.value, "kept");
            EXPECT_TRUE(h.sleeper.pauses.empty());  // the failing line ends the broadcast
        }
    }
}

TEST(Failures, ABadPortGoesThroughTheFailureProcedure) {
    Ready h;
    h.txtPort.value = "27x";
    h.start();
    ASSERT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_EQ(h.messageBox.shown[0].style, 0x1010);  // a type mismatch is not a socket error: logged
    EXPECT_NE(h.fileSystem.files["/opt/vexmond/vexmond.log"].find("Error 13 in vexmond::frmMain.cmdStart_Click(Sub)"),
              std::string::npos);
    EXPECT_FALSE(h.tmrServerMessage.on);
    EXPECT_EQ(h.stored("_Vexmond", "Port"), "27x");  // saved before the socket step
}
