#include <gtest/gtest.h>

#include "app/GameProfiles.h"
#include "tests/fakes/FormHarness.h"

using fakes::FormHarness;

namespace {

const std::string P(4, '\xFF');

// A window ready for Start with the password pw and the one-line message Hi.
void fill(FormHarness& h, const char* game) {
    h.frm->Form_Load();
    h.txtIP.edit = "127.0.0.1";
    h.txtPort.value = "27960";
    h.txtPassword.value = "pw";
    h.txtMsg.value = "Hi";
    h.txtSeverMessageTime.value = "1";
    h.toolbar.gameBox().caption = game;
}

}  // namespace

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
        fill(h, c.game);
        h.frm->cmdStart_Click();
        h.frm->tmrServerMessage_Timer();
        h.txtSendCommand.value = "  status ";
        h.frm->cmdSend_Click();
        EXPECT_EQ(h.udpPeerA.sent, (std::vector<std::string>{P + c.status, P + c.broadcast, P + "rcon pw status"}))
            << c.game;
    }
}

TEST(GameProfiles, CommandTextsKeepTheirBlanksAndQuotes) {
    EXPECT_EQ(app::broadcastCommand("Quake 3 Arena", "rcon", "pw", "say", "say \"hi\" ^1red"),
              "rcon pw say \"say \"hi\" ^1red\"");
    EXPECT_EQ(app::broadcastCommand("quake 3 arena", "rcon", "pw", "say", " Hi "),
              "rcon pw  Hi ");  // case-sensitive, untrimmed
    EXPECT_EQ(app::statusCommand("rcon", ""), "rcon  status");
    EXPECT_EQ(app::manualCommand("pw ", " kick all "), "rcon pw  kick all");
    EXPECT_EQ(app::manualCommand("pw", "\tstatus"), "rcon pw \tstatus");  // only blanks are trimmed
}

TEST(GameProfiles, UnknownNamesKeepThePreviousWords) {
    FormHarness h;
    fill(h, "Typed Game");
    h.frm->cmdStart_Click();  // a fresh start knows no words: an empty verb
    h.frm->SSActiveToolBars1_ComboSelChange(fakes::FakeTool("ID_SelectGame", "Jedi Knight II"));
    h.frm->SSActiveToolBars1_ComboSelChange(fakes::FakeTool("ID_SelectGame", "QUAKE II"));
    h.frm->tmrServerMessage_Timer();  // Jedi Knight II's words, but not a chat-form name: plain form
    EXPECT_EQ(h.udpPeerA.sent, (std::vector<std::string>{P + " pw status", P + "rcon pw Hi"}));
}

TEST(GameProfiles, AMissingGameBoxLeavesTheProfileAsItWas) {
    FormHarness h;
    fill(h, "Quake II");
    h.frm->SSActiveToolBars1_ComboSelChange(fakes::FakeTool("ID_SelectGame", "Quake II"));
    h.toolbar.tools.resize(6);
    EXPECT_THROW(h.frm->ApplyGameProfile(), support::AppError);
    h.udpPeerA.open = true;
    h.frm->tmrStatus_Timer();
    EXPECT_EQ(h.udpPeerA.sent, std::vector<std::string>{P + "rcon_password pw status"});
}
