#include <gtest/gtest.h>

#include "app/GameProfiles.h"
#include "tests/fakes/FormHarness.h"

using fakes::FormHarness;

TEST(GameProfiles, EachGameGivesItsWordsAndBroadcastForm) {
    struct Case {
        const char* game;
        const char* broadcast;  // of the line Hi with password pw
        const char* status;     // with the password field "pw"
    } cases[] = {
        {"Quake 3 Arena", "rcon pw say \"Hi\"", "rcon pw status"},
        {"Return to Castle Wolfenstein", "rcon pw Hi", "rcon pw status"},
        {"Soldier of Fortune II", "rcon pw Hi", "rcon pw status"},
        {"Jedi Knight II", "rcon pw svsay \"Hi\"", "rcon pw status"},
        {"Elite Force", "rcon pw svsay \"Hi\"", "rcon pw status"},
        {"Quake II", "rcon_password pw Hi", "rcon_password pw status"},
        {"Soldier of Fortune", "rcon_password pw Hi", "rcon_password pw status"},
    };
    for (const auto& c : cases) {
        FormHarness h;
        h.txtPassword.value = " pw ";
        h.frm->Form_Load();
        h.txtPassword.value = "pw";
        h.toolbar.gameBox().caption = c.game;
        h.frm->ApplyGameProfile();
        EXPECT_EQ(h.frm->state().g_sGameName, c.game);
        EXPECT_EQ(h.frm->statusRequest(), c.status) << c.game;
        // Broadcasts use the password captured at Start, which is not part of the profile.
        const auto& s = h.frm->state();
        EXPECT_EQ(app::broadcastCommand(s.g_sGameName, s.g_sRconWord, "pw", s.g_sSayWord, "Hi"), c.broadcast);
        h.txtSendCommand.value = "  status ";
        EXPECT_EQ(h.frm->manualCommand(), "rcon pw status") << c.game;
    }
}

TEST(GameProfiles, CommandTextsKeepTheirBlanksAndQuotes) {
    EXPECT_EQ(app::broadcastCommand("Quake 3 Arena", "rcon", "pw", "say", "say \"hi\" ^1red"), "rcon pw say \"say \"hi\" ^1red\"");
    EXPECT_EQ(app::broadcastCommand("quake 3 arena", "rcon", "pw", "say", " Hi "), "rcon pw  Hi ");  // case-sensitive, untrimmed
    EXPECT_EQ(app::statusCommand("rcon", ""), "rcon  status");
    EXPECT_EQ(app::manualCommand("pw ", " kick all "), "rcon pw  kick all");
    EXPECT_EQ(app::manualCommand("pw", "\tstatus"), "rcon pw \tstatus");  // only blanks are trimmed
}

TEST(GameProfiles, UnknownNamesKeepThePreviousWords) {
    FormHarness h;
    h.frm->Form_Load();
    h.toolbar.gameBox().caption = "Typed Game";
    h.frm->ApplyGameProfile();
    EXPECT_EQ(h.frm->state().g_sGameName, "Typed Game");
    EXPECT_EQ(h.frm->statusRequest(), "  status");  // fresh start: empty verb, empty password

    h.frm->SSActiveToolBars1_ComboSelChange(fakes::FakeTool("ID_SelectGame", "Jedi Knight II"));
    h.frm->SSActiveToolBars1_ComboSelChange(fakes::FakeTool("ID_SelectGame", "QUAKE II"));
    EXPECT_EQ(h.frm->state().g_sGameName, "QUAKE II");
    EXPECT_EQ(h.frm->state().g_sRconWord, "rcon");
    EXPECT_EQ(h.frm->state().g_sSayWord, "svsay");
    EXPECT_EQ(h.frm->broadcastLine("Hi"), "rcon  Hi");  // not a chat-form game: plain form
}

TEST(GameProfiles, AMissingGameBoxLeavesTheProfileAsItWas) {
    FormHarness h;
    h.frm->Form_Load();
    h.frm->SSActiveToolBars1_ComboSelChange(fakes::FakeTool("ID_SelectGame", "Quake II"));
    h.toolbar.tools.resize(6);
    EXPECT_THROW(h.frm->ApplyGameProfile(), support::AppError);
    EXPECT_EQ(h.frm->state().g_sGameName, "Quake II");
    EXPECT_EQ(h.frm->state().g_sRconWord, "rcon_password");
}
