// The program against a real OpenArena dedicated server: real socket, real
// window and console; the test fires the message timer itself.
#include <gtest/gtest.h>

#include <QTest>

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>

#include "qt/GameToolbar.h"
#include "tests/support/LiveWindow.h"
#include "tests/support/OpenArenaServer.h"

namespace {

template <class Pred>
bool waitFor(Pred done) {
    return QTest::qWaitFor(done, 5000);
}

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class OpenArenaPeer : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string missing = testsupport::OpenArenaServer::missing(); !missing.empty())
            GTEST_SKIP() << missing;
        ASSERT_TRUE(server.start()) << server.log();
        live = std::make_unique<testsupport::LiveWindow>();
        auto c = live->window.controls();
        c.txtIP.setText("127.0.0.1");
        c.txtPort.setText(std::to_string(server.port()));
        c.txtPassword.setText("s3cret");
        c.txtMsg.setText("Hello from Vexmond\r\n\r\n^1Be nice");
    }
    void TearDown() override { server.stop(); }

    std::string console() { return live->console(); }

    testsupport::OpenArenaServer server{"s3cret"};
    std::unique_ptr<testsupport::LiveWindow> live;
};

}  // namespace

TEST_F(OpenArenaPeer, BroadcastsPollsAndSendsCommandsToARealServer) {
    live->window.toolbar().gameBox()->setCurrentText("Quake 3 Arena");
    live->form.cmdStart_Click();
    ASSERT_TRUE(live->boxes.shown.empty()) << live->boxes.shown[0].text;
    // Start's status request: the server's player list lands in the console.
    ASSERT_TRUE(waitFor([&] { return console().find("map: oa_dm1") != std::string::npos; })) << console();
    EXPECT_NE(console().find("cl score ping name"), std::string::npos);
    EXPECT_EQ(console().find('\xFF'), std::string::npos);  // the reply header is gone
    EXPECT_NE(console().find("\r\n"), std::string::npos);

    // The first broadcast tick: each non-empty line as a chat command.
    live->window.controls().txtSeverMessageTime.setText("1");
    live->window.controls().txtMsgDelay.setText("0.5");
    live->form.tmrServerMessage_Timer();
    EXPECT_EQ(live->sleeper.pauses, (std::vector<std::uint32_t>{500, 500}));
    ASSERT_TRUE(waitFor([&] { return server.log().find("Rcon from 127.0.0.1: say ^1Be nice") != std::string::npos; }))
        << server.log();
    EXPECT_NE(server.log().find("Rcon from 127.0.0.1: say Hello from Vexmond"), std::string::npos);
    ASSERT_TRUE(waitFor([&] { return console().find("Be nice") != std::string::npos; })) << console();

    // Return to Castle Wolfenstein takes the line itself as the command.
    live->window.toolbar().gameBox()->setCurrentText("Return to Castle Wolfenstein");
    emit live->window.toolbar().gameBox()->activated(3);
    live->form.tmrServerMessage_Timer();
    ASSERT_TRUE(waitFor([&] {
        return server.log().find("Rcon from 127.0.0.1: Hello from Vexmond") != std::string::npos;
    })) << server.log();
    ASSERT_TRUE(waitFor([&] { return console().find("unknown command: Hello") != std::string::npos; })) << console();

    // A manual command is answered; a wrong password is refused by the server.
    const std::size_t maps = count(console(), "map: oa_dm1");
    live->window.controls().txtSendCommand.setText(" status ");
    live->form.cmdSend_Click();
    ASSERT_TRUE(waitFor([&] { return count(console(), "map: oa_dm1") > maps; })) << console();
    live->window.controls().txtPassword.setText("wrong");
    live->form.cmdSend_Click();
    ASSERT_TRUE(waitFor([&] { return console().find("Bad rconpassword.") != std::string::npos; })) << console();

    live->form.cmdStop_Click();
    EXPECT_EQ(live->socket.state(), 0);

    // After Stop a command typed by hand still reaches the last Start's server, and its answer is shown.
    live->window.controls().txtPassword.setText("s3cret");
    live->window.controls().txtSendCommand.setText("status");
    const std::size_t before = count(console(), "map: oa_dm1");
    live->form.cmdSend_Click();
    ASSERT_TRUE(waitFor([&] { return count(console(), "map: oa_dm1") > before; })) << console();
    EXPECT_TRUE(live->window.controls().cmdStart.enabled());
    EXPECT_TRUE(live->boxes.shown.empty());
}

// What the players see and what the server took, against the real server: the
// preview shows a line as the server echoes it; the lines it echoed are
// counted, one it dropped (its rcon budget spent by another client at the
// same address) is named, and a wrong password is a warning beside the
// indicator until the next Start.
TEST_F(OpenArenaPeer, ThePreviewShowsWhatTheServerPassesOnAndTheEchoesTellWhichLinesItTook) {
    live->window.toolbar().gameBox()->setCurrentText("Quake 3 Arena");
    auto c = live->window.controls();
    c.txtMsg.setText("^1Sale 50% off \xE9t\xE9\r\nsecond line\r\nthird line");
    c.txtSeverMessageTime.setText("1");
    const std::string preview = live->find<QPlainTextEdit>("txtMsgPreview")->toPlainText().toStdString();
    live->form.cmdStart_Click();
    ASSERT_TRUE(waitFor([&] { return console().find("map: oa_dm1") != std::string::npos; })) << console();

    live->form.tmrServerMessage_Timer();
    ASSERT_TRUE(waitFor([&] { return console().find("console: third line") != std::string::npos; })) << console();
    EXPECT_EQ(preview.substr(0, preview.find('\n')), "Sale 50. off .t.");
    EXPECT_NE(console().find("console: ^1Sale 50. off .t.\r\n"), std::string::npos);  // as it came
    live->form.tmrHeard_Timer();
    EXPECT_EQ(c.lblHeard.text().substr(0, 19), "3 of 3 lines heard ") << c.lblHeard.text();

    // Another client at this address spends the budget the server gives it
    // while the first line's pause lasts; the third line waits for a new one.
    testsupport::UdpPeer other;
    int pause = 0;
    live->sleeper.during = [&] {
        if (++pause == 1)
            for (int i = 0; i < 12; ++i) other.sendTo(server.port(), std::string(4, '\xFF') + "rcon s3cret status");
        if (pause == 2) QTest::qWait(2200);
    };
    live->form.tmrServerMessage_Timer();
    live->sleeper.during = nullptr;
    QTest::qWait(500);
    live->form.tmrHeard_Timer();
    EXPECT_EQ(c.lblHeard.text().substr(0, 19), "2 of 3 lines heard ") << c.lblHeard.text();
    EXPECT_NE(c.lblHeard.text().find("; line 2 not heard"), std::string::npos) << c.lblHeard.text();

    QTest::qWait(1100);
    c.txtPassword.setText("wrong");
    live->form.cmdStop_Click();
    live->form.cmdStart_Click();
    live->form.tmrServerMessage_Timer();
    ASSERT_TRUE(waitFor([&] { return c.lblHeard.warning(); })) << console();
    EXPECT_EQ(c.lblHeard.text(), "Password refused: Bad rconpassword.");
    live->form.tmrHeard_Timer();
    EXPECT_TRUE(c.lblHeard.warning()) << "the warning stays until the next Start";
    c.txtPassword.setText("s3cret");
    live->form.cmdStop_Click();
    live->form.cmdStart_Click();
    EXPECT_EQ(c.lblHeard.text(), "");
    EXPECT_TRUE(live->boxes.shown.empty());
}

// The broadcast's rules against the real server with bots only: Min_Players
// skips the tick, the table shows the bots, {map} and {players} are filled
// in, one line each time goes in turn (across Stop and Start), and twelve
// lines with a pause of 0.1 s all reach the server, paced as it takes them
// (the pauses waited for real).
TEST_F(OpenArenaPeer, TheBroadcastsRulesWithBotsOnlyAndTwelveLinesPacedAsTheServerTakesThem) {
    live->window.toolbar().gameBox()->setCurrentText("Quake 3 Arena");
    auto c = live->window.controls();
    live->sleeper.between = 0;
    live->sleeper.during = [&] { QTest::qWait(static_cast<int>(live->sleeper.pauses.back())); };
    c.txtMsg.setText("Now on {map} with {players} players");
    c.txtSeverMessageTime.setText("1");
    c.txtMsgDelay.setText("0.1");
    c.txtMinPlayers.setText("1");
    live->form.cmdStart_Click();
    for (const char* bot : {"Sarge", "Grunt"}) {
        c.txtSendCommand.setText(std::string("addbot ") + bot + " 1");
        live->form.cmdSend_Click();
    }
    c.txtSendCommand.setText("status");
    ASSERT_TRUE(waitFor([&] {
        live->form.cmdSend_Click();
        QTest::qWait(1200);
        return c.players.rows().size() >= 2;
    })) << console();
    EXPECT_EQ(c.players.summary().substr(0, 28), "0 players (2 bots) on oa_dm1") << c.players.summary();

    live->form.tmrServerMessage_Timer();
    EXPECT_EQ(c.lblHeard.text().substr(0, 19), "Broadcast skipped a") << c.lblHeard.text();
    EXPECT_NE(c.lblHeard.text().find(": 0 players on (at least 1 asked)"), std::string::npos) << c.lblHeard.text();
    c.txtMinPlayers.setText("0");
    live->form.tmrServerMessage_Timer();
    ASSERT_TRUE(waitFor([&] {
        return server.log().find("Rcon from 127.0.0.1: say Now on oa_dm1 with 0 players") != std::string::npos;
    })) << server.log();

    c.txtMsg.setText("one\r\n\r\ntwo\r\nthree");  // the empty line is no turn
    c.chkMsgRotate.setText("1");
    live->form.cmdStop_Click();
    live->form.cmdStart_Click();
    for (int tick = 0; tick < 2; ++tick) live->form.tmrServerMessage_Timer();
    live->form.cmdStop_Click();  // the turn goes on after Stop and Start
    live->form.cmdStart_Click();
    live->form.tmrServerMessage_Timer();
    ASSERT_TRUE(waitFor([&] { return server.log().find("say three") != std::string::npos; })) << server.log();
    const std::string log = server.log();
    EXPECT_LT(log.find("say one"), log.find("say two"));
    EXPECT_LT(log.find("say two"), log.find("say three"));

    std::string twelve;
    for (int line = 1; line <= 12; ++line) twelve += "line " + std::to_string(line) + "\r\n";
    c.txtMsg.setText(twelve);
    c.chkMsgRotate.setText("0");
    live->form.cmdStop_Click();
    live->form.cmdStart_Click();
    live->form.tmrServerMessage_Timer();
    QTest::qWait(1000);
    live->form.tmrHeard_Timer();
    EXPECT_EQ(c.lblHeard.text().substr(0, 21), "12 of 12 lines heard ") << c.lblHeard.text();
    EXPECT_TRUE(live->boxes.shown.empty());
}
