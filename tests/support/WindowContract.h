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
        w.pickGame("Wolfenstein: Enemy Territory");  // a game added to the box since the first five
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
        const std::string game = damaged ? "Return to Castle Wolfenstein" : "Wolfenstein: Enemy Territory";
        EXPECT_EQ(w.window.toolbar().tool(7)->text(), game);
        EXPECT_EQ(w.gameShown(), game);
        EXPECT_EQ(w.consoleColours(), !damaged);
        EXPECT_EQ(w.toolbarMoved(), !damaged);
    }
}

// Two servers' windows open at once, each of its own profile, beside the
// default one: neither changes the other's values, nor the default's.
TYPED_TEST_P(WindowContract, TwoProfilesOpenAtOnceKeepTheirFieldsHistoryGameAndToolbarApart) {
    TypeParam w;
    w.save("_Vexmond", "Port", "27960");  // the default profile's, where it has always been
    const struct {
        const char* profile;
        const char* port;
        const char* address;
        const char* game;
    } servers[] = {{"alpha", "1111", "10.0.0.1", "Quake 3 Arena"}, {"beta", "2222", "10.0.0.2", "Elite Force"}};
    {
        auto alpha = w.open("alpha");
        auto beta = w.open("beta");
        for (auto* window : {alpha.get(), beta.get()}) {
            const auto& s = servers[window == alpha.get() ? 0 : 1];
            const app::FormControls c = window->window.controls();
            EXPECT_EQ(c.form.caption(), std::string("Vexmond - ") + s.profile);
            EXPECT_EQ(c.txtPort.text(), "");
            c.txtPort.setText(s.port);
            c.txtIP.setText(s.address);
            std::int16_t enter = 13;
            window->form.txtIP_KeyDown(enter, 0);
            platform::ToolbarLayout layout = c.SSActiveToolBars1.layout();
            layout.game = s.game;
            layout.consoleColours = window == beta.get();
            c.SSActiveToolBars1.setLayout(layout);
        }
        alpha->form.cmdClose_Click();
        beta->form.cmdClose_Click();
    }
    EXPECT_EQ(w.window.controls().form.caption(), "Vexmond");
    for (const auto& s : servers) {
        const std::string section = std::string("Profiles\\") + s.profile + "\\";
        EXPECT_EQ(w.stored(section + "_Vexmond", "Port"), s.port);
        EXPECT_EQ(w.stored(section + "_Vexmond", "Game"), s.game);
        EXPECT_EQ(w.stored(section + "IPs", "Hist0"), s.address);
        EXPECT_EQ(w.stored(section + "IPs", "Hist1"), "");
        auto again = w.open(s.profile);
        const app::FormControls c = again->window.controls();
        EXPECT_EQ(c.txtPort.text(), s.port);
        EXPECT_EQ(c.SSActiveToolBars1.tool(7)->text(), s.game);
        EXPECT_EQ(c.SSActiveToolBars1.layout().consoleColours, std::string(s.profile) == "beta");
        EXPECT_EQ(c.txtIP.listCount(), 1);
    }
    EXPECT_EQ(w.stored("_Vexmond", "Port"), "27960");
    EXPECT_EQ(w.stored("_Vexmond", "Game"), "<missing>");
    EXPECT_EQ(w.stored("IPs", "Hist0"), "<missing>");
    EXPECT_FALSE(std::filesystem::exists(w.layoutFile())) << "a profile's layout is kept in its own section";
}

REGISTER_TYPED_TEST_SUITE_P(WindowContract, TypedFieldsAndTheGameBoxReachTheServerAndExitKeepsThem,
                            TheToolbarLayoutAndGameSurviveARestartButADamagedLayoutDoesNot,
                            TwoProfilesOpenAtOnceKeepTheirFieldsHistoryGameAndToolbarApart);
