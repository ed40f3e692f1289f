#include <gtest/gtest.h>

#include "tests/fakes/FormHarness.h"

using fakes::FormHarness;

TEST(WindowPlacement, StartUpLoadsAnExistingLayoutCentresAndGuardsClose) {
    FormHarness h;
    h.frm->Form_Load();
    EXPECT_TRUE(h.toolbar.loaded.empty());  // first run: no layout file
    EXPECT_FALSE(h.form.closeEnabled);
    h.toolbar.gameBox().caption = "Quake 3 Arena";
    h.frm->Unload();
    const std::string written = testsupport::readFile(h.dataFile("ATBconfig.atb"));
    for (const char* damaged : {"layout", ""}) {
        testsupport::writeFile(h.dataFile("ATBconfig.atb"), damaged);
        h.recreate();
        h.frm->Form_Load();
        EXPECT_TRUE(h.toolbar.loaded.empty()) << damaged;
    }
    testsupport::writeFile(h.dataFile("ATBconfig.atb"), written);
    h.recreate();
    h.frm->Form_Load();
    ASSERT_EQ(h.toolbar.loaded.size(), 1u);
    EXPECT_EQ(h.toolbar.loaded[0].game, "Quake 3 Arena");
    for (std::string dir : {"/srv", "/srv/"}) EXPECT_EQ(app::AddBackslash(dir), "/srv/");
}

// The layout file as both windows write it, and as every earlier version did.
TEST(ToolbarLayout, TheFileKeepsGameRowPlaceAndColoursAndReadsWhatEarlierVersionsWrote) {
    const platform::ToolbarLayout moved{"Caf\xE9 Arena", {"ID_SelectGame", "ID_Game"}, "left", true, {}};
    const platform::ToolbarLayout again = app::layoutOfText(app::layoutText(moved));
    EXPECT_EQ(again.game, moved.game);
    EXPECT_EQ(again.row, moved.row);
    EXPECT_EQ(again.place, "left");
    EXPECT_TRUE(again.consoleColours && again.earlierState.empty());
    EXPECT_NE(app::layoutText(moved).find("game=Q2Fmw6kgQXJlbmE=\n"), std::string::npos);  // UTF-8

    const struct {
        const char* text;
        const char* game;
        std::vector<std::string> row;
        std::string earlierState;
    } files[] = {
        // The Win32 window's first files: its row's command ids.
        {"Vexmond toolbar layout 1\r\ngame=UXVha2UgMyBBcmVuYQ==\r\nstate=MCwxMDYs\r\ncolours=1 \r\n",
         "Quake 3 Arena",
         {},
         "0,106,"},
        // The Qt window's: its saved state.
        {"Vexmond toolbar layout 1\ngame=RWxpdGUgRm9yY2U=\nstate=AAAA/w==\ncolours=0\n",
         "Elite Force",
         {},
         std::string("\0\0\0\xFF", 4)},
        {"Vexmond toolbar layout 2\ngame=\nrow=\nplace=top\ncolours=0", "", {}, ""},
    };
    for (const auto& f : files) {
        const platform::ToolbarLayout read = app::layoutOfText(f.text);
        EXPECT_EQ(read.game, f.game);
        EXPECT_EQ(read.row, f.row) << f.text;
        EXPECT_EQ(read.earlierState, f.earlierState) << f.text;
    }
    for (const char* damaged : {"", "not a layout", "Vexmond toolbar layout 3\n"})
        EXPECT_THROW(app::layoutOfText(damaged), std::runtime_error) << damaged;
}

TEST(LocalAddress, TheFirstAddressUnlessTheHostNameIsLoopbackOnly) {
    using Bytes = std::vector<std::uint8_t>;
    struct Case {
        std::vector<Bytes> resolved;
        Bytes routed;
        const char* field;
    } cases[] = {
        {{{192, 168, 0, 10}, {10, 0, 0, 1}}, {10, 1, 2, 3}, "192.168.0.10"},
        {{{127, 0, 1, 1}}, {192, 168, 1, 20}, "192.168.1.20"},  // Debian's /etc/hosts
        {{{127, 0, 1, 1}, {127, 0, 0, 1}}, {10, 1, 2, 3}, "10.1.2.3"},
        {{{127, 0, 1, 1}}, {}, "127.0.1.1"},                               // no other interface: kept
        {{{127, 0, 0, 1}, {192, 168, 0, 9}}, {10, 1, 2, 3}, "127.0.0.1"},  // a real address among them: kept
        {{{172, 16, 0, 4}}, {10, 1, 2, 3}, "172.16.0.4"},
    };
    for (const auto& c : cases) {
        FormHarness h;
        h.frm->Form_Load();
        h.sockets.addresses = c.resolved;
        h.sockets.routed = c.routed;
        h.frm->cmdIP_Click();
        EXPECT_EQ(h.txtIP.edit, c.field);
        EXPECT_TRUE(h.boxes.shown.empty());
        EXPECT_EQ(h.sockets.resolved, "gameserver");  // trimmed
        EXPECT_EQ(h.sockets.cleanups, 1);
        EXPECT_EQ(h.cursor.history, (std::vector<std::int32_t>{11, 0}));  // the hourglass, then the pointer
        EXPECT_TRUE(h.txtIP.items.empty());                               // the history does not change
    }
}

TEST(LocalAddress, EveryFailureShowsItsMessageAndEmptiesTheField) {
    struct Case {
        std::function<void(fakes::FakeSocketsLibrary&)> arrange;
        const char* message;
        int cleanups;
        const char* field;
    } cases[] = {
        {[](auto& s) { s.startupResult = 10091; }, "The 32-bit Windows Socket is not responding.", 0, ""},
        {[](auto& s) { s.data.iMaxSockets = 0; }, "This application requires a minimum of 1 supported sockets.", 1, ""},
        {[](auto& s) { s.data.wVersion = 0x0001; }, "Sockets version 1.0 is not supported by 32-bit Windows Sockets.",
         1, ""},
        {[](auto& s) { s.hostNameFails = true; },
         "Windows Sockets error 10093 has occurred. Unable to successfully get Host Name.", 1, ""},
        {[](auto& s) { s.addresses.clear(); },
         "Windows Sockets are not responding. Unable to successfully get Host Name.", 1, ""},
        {[](auto& s) { s.cleanupResult = 10093; }, "Socket error occurred in Cleanup.", 1, "192.168.0.10"},
    };
    for (const auto& c : cases) {
        FormHarness h;
        h.frm->Form_Load();
        h.txtIP.edit = "old";
        c.arrange(h.sockets);
        h.frm->cmdIP_Click();
        ASSERT_EQ(h.boxes.shown.size(), 1u) << c.message;
        EXPECT_EQ(h.boxes.shown[0].text, c.message);
        EXPECT_EQ(h.boxes.shown[0].style, 0);
        EXPECT_EQ(h.boxes.shown[0].title, "Vexmond");
        EXPECT_EQ(h.sockets.cleanups, c.cleanups) << c.message;
        EXPECT_EQ(h.txtIP.edit, c.field);
    }
}
