#pragma once

// What a user does with the window and what comes of it, the same for each
// front-end: run against the Qt window and against the Win32 window. The
// type parameter is the toolkit's live window, which knows how a user types,
// clicks, picks a game and moves the toolbar there. (At global scope: a typed
// suite is instantiated where its name is seen unqualified.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/UdpPeer.h"

template <class Window>
struct WindowContract : ::testing::Test {};
TYPED_TEST_SUITE_P(WindowContract);

TYPED_TEST_P(WindowContract, TypedFieldsAndTheGameBoxReachTheServerAndExitKeepsThem) {
    TypeParam w;
    testsupport::UdpPeer server;
    const app::FormControls c = w.window.controls();
    EXPECT_FALSE(w.titleBarCloses());  // Form_Load takes the window's own close away
    w.type("txtPort", u"27a9-60123");
    EXPECT_EQ(c.txtPort.text(), "279601");  // digits only, six at most
    c.txtPort.setText(std::to_string(server.port()));
    w.type("txtPassword", u"s3cret");
    w.type("txtMsg", u"Hello\r^1W\u00f6rld \u263a");  // the smiley has no byte in ISO-8859-1
    c.txtSeverMessageTime.setText("1");
    c.txtMsgDelay.setText("2.5");
    w.type("txtIP", u"127.0.0.1\r");
    EXPECT_EQ(c.txtIP.listCount(), 1);
    w.pickGame("Quake 3 Arena");

    w.click("cmdStart");
    const std::string P(4, '\xFF');
    EXPECT_EQ(server.receive(), P + "rcon s3cret status");
    EXPECT_EQ(c.tmrServerMessage.interval(), 65535);  // the window's timers tick at the periods the logic set
    EXPECT_EQ(c.tmrStatus.interval(), 63000);
    w.form.tmrServerMessage_Timer();
    EXPECT_EQ(server.receive(), P + "rcon s3cret say \"Hello\"");
    EXPECT_EQ(server.receive(), P + "rcon s3cret say \"^1W\xF6rld ?\"");
    w.type("txtSendCommand", u"say \u263a \u00e9t\u00e9\r");  // Enter sends, as Send does
    EXPECT_EQ(server.receive(), P + "rcon s3cret say ? \xE9t\xE9");
    server.reply(P + "print\nplayer list\n");
    EXPECT_TRUE(w.waitFor([&] { return c.txtOutput.text() == "player list\r\n"; })) << c.txtOutput.text();
    w.click("cmdStop");
    EXPECT_TRUE(c.cmdStart.enabled());

    w.exitFromTheMenu();
    EXPECT_TRUE(w.closed());
    const std::pair<const char*, std::string> fields[] = {
        {"Port", std::to_string(server.port())},
        {"Password", "s3cret"},
        {"Msg", "Hello\r\n^1W\xF6rld ?"},
        {"Msg_Timer", "1"},
        {"Msg_Delay", "2.5"},
    };
    for (const auto& [name, value] : fields) EXPECT_EQ(w.stored("_Vexmond", name), value) << name;
    EXPECT_EQ(w.stored("IPs", "Hist0"), "127.0.0.1");
}

TYPED_TEST_P(WindowContract, TheToolbarLayoutAndGameSurviveARestartButADamagedLayoutDoesNot) {
    std::string layout;
    {
        TypeParam w;
        w.pickGame("Quake 3 Arena");
        w.toggleConsoleColours();
        w.moveToolbar();
        w.click("cmdClose");
        layout = testsupport::readFile(w.layoutFile());
    }
    for (const bool damaged : {false, true}) {
        TypeParam w(TypeParam::Real::nothing, false);
        std::filesystem::create_directories(std::filesystem::path(w.layoutFile()).parent_path());
        testsupport::writeFile(w.layoutFile(), damaged ? "not a layout" : layout);
        w.load();
        const std::string game = damaged ? "Return to Castle Wolfenstein" : "Quake 3 Arena";
        EXPECT_EQ(w.window.toolbar().tool(7)->text(), game);
        EXPECT_EQ(w.gameShown(), game);
        EXPECT_EQ(w.consoleColours(), !damaged);
        EXPECT_EQ(w.toolbarMoved(), !damaged);
    }
}

REGISTER_TYPED_TEST_SUITE_P(WindowContract, TypedFieldsAndTheGameBoxReachTheServerAndExitKeepsThem,
                            TheToolbarLayoutAndGameSurviveARestartButADamagedLayoutDoesNot);
