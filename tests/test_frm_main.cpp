#include <gtest/gtest.h>

#include "settings/CAppSettings.h"
#include "settings/CSmartComboBox.h"
#include "tests/fakes/FormHarness.h"

using fakes::FormHarness;
namespace mb = platform::mb;

namespace {

const std::string B = "         ";

void storeFields(FormHarness& h, const std::vector<std::pair<std::string, std::string>>& values) {
    settings::CAppSettings store(h.registry);
    store.Init("Quorlan", "_Vexmond");
    for (const auto& [k, v] : values)
        store.SaveSetting(k == "IP" ? "IPs" : "_Vexmond", k == "IP" ? "Hist0" : k, support::Variant::String(v));
}

// The five stored fields in the order the window reads them.
std::vector<std::string> fields(const FormHarness& h) {
    return {h.txtPassword.value, h.txtPort.value, h.txtMsg.value, h.txtSeverMessageTime.value, h.txtMsgDelay.value};
}

using Fields = std::vector<std::string>;

}  // namespace

TEST(FormLoad, FirstRunWithAnEmptyStore) {
    FormHarness h;
    h.frm->Form_Load();
    EXPECT_EQ(h.form.title, "Vexmond");
    EXPECT_EQ(fields(h), (Fields{"", "", "", "5", "5"}));  // the delay's design 15 is replaced by the default
    EXPECT_EQ(h.txtStatus.value, "1");
    EXPECT_TRUE(h.txtIP.items.empty());
    EXPECT_EQ(h.toolbar.gameBox().text(), "Return to Castle Wolfenstein");
    EXPECT_FALSE(h.tmrServerMessage.on || h.tmrStatus.on || h.udpPeerA.open);
    EXPECT_TRUE(h.cmdStart.on && h.imgNotConnected.shown && !h.imgConnected.shown);
    EXPECT_TRUE(h.messageBox.shown.empty());
}

TEST(FormLoad, AReadOnlyStoreGivesItsFieldsAndStartStillBroadcasts) {
    FormHarness h;
    storeFields(h, {{"Password", "pw "},
                    {"Port", "27960"},
                    {"Msg", "A\r\nB"},
                    {"Msg_Timer", "2.5"},
                    {"Msg_Delay", ""},
                    {"IP", "10.0.0.1"}});
    h.registry.readOnly = true;
    h.frm->Form_Load();
    EXPECT_EQ(fields(h), (Fields{"pw ", "27960", "A\r\nB", "2.5", ""}));
    EXPECT_EQ(h.txtIP.items, std::vector<std::string>{"10.0.0.1"});

    // Start cannot save: the user is told once, and the broadcast runs all the same.
    h.txtPort.value = "27961";
    for (int start = 0; start < 2; ++start) {
        h.frm->cmdStart_Click();
        EXPECT_TRUE(h.tmrServerMessage.on && h.tmrStatus.on);
        EXPECT_EQ(h.udpPeerA.port, 27961);
        h.frm->cmdStop_Click();
    }
    ASSERT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_EQ(h.messageBox.shown[0].text.rfind("Vexmond could not save its settings:", 0), 0u);
    EXPECT_EQ(h.messageBox.shown[0].style, 48);
    EXPECT_EQ(h.stored("_Vexmond", "Port"), "27960");  // the store is not touched
}

TEST(FormLoad, TellsOnceWhatTheStoreHasToSay) {
    FormHarness h;
    h.registry.notice = "moved aside";
    h.frm->Form_Load();
    h.frm->Form_Load();
    ASSERT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_EQ(h.messageBox.shown[0].text, "moved aside");
    EXPECT_EQ(h.messageBox.shown[0].style, 48);
}

TEST(FormClose, WhileIdleStoresTheFiveFieldsWithoutAQuestion) {
    FormHarness h;
    h.frm->Form_Load();
    h.txtPort.value = "27960";
    h.txtPassword.value = "secret";
    h.txtMsg.value = "Hello\r\nWorld";
    h.txtSeverMessageTime.value = "3";
    h.txtMsgDelay.value = "";
    h.txtIP.edit = "127.0.0.1";
    std::int16_t enter = 13;
    h.frm->txtIP_KeyDown(enter, 0);
    h.frm->cmdClose_Click();
    EXPECT_TRUE(h.messageBox.shown.empty());
    EXPECT_EQ(h.stored("_Vexmond", "Port"), "27960");
    EXPECT_EQ(h.stored("_Vexmond", "Password"), "secret");
    EXPECT_EQ(h.stored("_Vexmond", "Msg"), "Hello\r\nWorld");
    EXPECT_EQ(h.stored("_Vexmond", "Msg_Timer"), "3");
    EXPECT_EQ(h.stored("_Vexmond", "Msg_Delay"), "");
    EXPECT_EQ(h.stored("IPs", "Hist0"), "127.0.0.1");
    EXPECT_EQ(h.stored("IPs", "Hist9"), "");
    EXPECT_EQ(h.form.destroyed, 1);
    // The values are in the order the window writes them.
    const auto* key = h.registry.hive(platform::kHKeyLocalMachine).find("Software\\Quorlan\\_Vexmond\\_Vexmond");
    std::vector<std::string> order;
    for (const auto& v : key->values) order.push_back(v.name);
    EXPECT_EQ(order, (std::vector<std::string>{"Port", "Password", "Msg", "Msg_Timer", "Msg_Delay"}));
}

TEST(FormClose, WhileRunningAsksFirst) {
    FormHarness h;
    h.frm->Form_Load();
    h.setRunning();
    h.txtPort.value = "1";

    h.messageBox.answers = {mb::kAnswerNo};
    h.frm->cmdClose_Click();
    ASSERT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_EQ(h.messageBox.shown[0].text, "Vexmond is currently running, do you still wish to exit?" + B);
    EXPECT_EQ(h.messageBox.shown[0].style, 4 + 32 + 256);
    EXPECT_EQ(h.messageBox.shown[0].title, "Vexmond");
    EXPECT_TRUE(h.tmrServerMessage.on && h.tmrStatus.on && h.udpPeerA.open);
    EXPECT_EQ(h.stored("_Vexmond", "Port"), "<missing>");
    EXPECT_EQ(h.form.destroyed, 0);

    h.messageBox.answers = {mb::kAnswerYes};
    h.frm->cmdClose_Click();
    EXPECT_FALSE(h.tmrServerMessage.on || h.tmrStatus.on || h.udpPeerA.open);
    EXPECT_TRUE(h.cmdStart.on && h.imgNotConnected.shown && !h.imgConnected.shown);
    EXPECT_EQ(h.stored("_Vexmond", "Port"), "1");
    EXPECT_EQ(h.form.destroyed, 1);
}

TEST(FormClose, AStoreThatCannotSaveIsReportedAndTheUserMayStillClose) {
    FormHarness h;
    h.frm->Form_Load();
    h.registry.readOnly = true;
    h.messageBox.answers = {mb::kAnswerNo};
    h.frm->cmdClose_Click();
    ASSERT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_NE(h.messageBox.shown[0].text.find("Failed saving the application setting"), std::string::npos);
    EXPECT_EQ(h.messageBox.shown[0].style, 4 + 48 + 256);
    EXPECT_EQ(h.form.destroyed, 0);

    h.messageBox.answers = {mb::kAnswerYes};
    h.frm->cmdClose_Click();
    EXPECT_EQ(h.form.destroyed, 1);
}

TEST(FormToolbar, DispatchesByCaseSensitiveToolId) {
    struct Case {
        const char* id;
        std::size_t boxes;
        const char* title;
        int destroyed;
    } cases[] = {
        {"ID_About", 1, "Vexmond v2.1 Build Date: 06-23-2002", 0},
        {"ID_Information", 1, "Vexmond", 0},
        {"ID_Exit", 0, nullptr, 1},
        {"id_about", 0, nullptr, 0},
        {"ID_File", 0, nullptr, 0},
        {"ID_Game", 0, nullptr, 0},
        {"ID_Help", 0, nullptr, 0},
        {"ID_SelectGame", 0, nullptr, 0},
        {"ID_Games", 0, nullptr, 0},
        {"", 0, nullptr, 0},
    };
    for (const auto& c : cases) {
        FormHarness h;
        h.frm->Form_Load();
        h.frm->SSActiveToolBars1_ToolClick(fakes::FakeTool(c.id, "x"));
        ASSERT_EQ(h.messageBox.shown.size(), c.boxes) << c.id;
        if (c.title) {
            EXPECT_EQ(h.messageBox.shown[0].title, c.title);
            EXPECT_EQ(h.messageBox.shown[0].style, 64);
        }
        EXPECT_EQ(h.form.destroyed, c.destroyed) << c.id;
    }
}

TEST(FormToolbar, ExitWhileRunningAsksLikeTheCloseButton) {
    FormHarness h;
    h.frm->Form_Load();
    h.setRunning();
    h.messageBox.answers = {mb::kAnswerNo};
    h.frm->SSActiveToolBars1_ToolClick(fakes::FakeTool("ID_Exit", "E&xit"));
    EXPECT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_TRUE(h.tmrServerMessage.on);
    EXPECT_EQ(h.form.destroyed, 0);
}

TEST(FormHelp, AboutAndInformationTexts) {
    FormHarness h;
    h.frm->ShowAbout();
    h.frm->ShowInformation();
    ASSERT_EQ(h.messageBox.shown.size(), 2u);
    EXPECT_EQ(h.messageBox.shown[0].text,
              "Vexmond is developed by vexmond@quorlan.example" + B + "\r\n" +
                  "This program should work with any Quake 3 Arena\xAE powered server" + B + "\r\n\r\n" +
                  "Specify an IP, Port and Rcon Password for your server. Type the message you" + B + "\r\n" +
                  "wish to send and set the time interval for how often the messages will be sent." + B + "\r\n\r\n" +
                  "A Get Status command can be used to list all player IP's, this is handy if you " + B + "\r\n" +
                  "need to ban players using their IP." + B);
    EXPECT_EQ(h.messageBox.shown[1].text,
              "You can use colours in your text messages;" + B + "\r\n\r\n" +
                  "^1 = red ^2 = green ^3 = yellow ^4 = blue ^5 = turquoise ^6 = purple ^7 = white" + B + "\r\n\r\n" +
                  "To send a text message in red and blue you would write it as: ^1This is in Red ^4This is Blue" + B +
                  "\r\n\r\n" +
                  "You can include multiple messages each on their own line, press enter to add a new line." + B +
                  "\r\n" + "NOTE:\r\n" +
                  "If you use a colon in a text message, for example, 'http://www.quorlan.example'" + B + "\r\n" +
                  "everything to the right of the colon will be lost. The output would be 'http:'" + B);
}

TEST(FormHistory, EnterAddsTheAddressAndKeepsAtMostTen) {
    FormHarness h;
    h.frm->Form_Load();
    for (int i = 0; i < 12; ++i) {
        h.txtIP.edit = "10.0.0." + std::to_string(i);
        std::int16_t key = 13;
        h.frm->txtIP_KeyDown(key, 0);
        EXPECT_EQ(key, 13);  // the key is passed on unchanged
    }
    ASSERT_EQ(h.txtIP.items.size(), 10u);
    EXPECT_EQ(h.txtIP.items.front(), "10.0.0.11");
    EXPECT_EQ(h.txtIP.items.back(), "10.0.0.2");
    h.txtIP.edit = "other";
    std::int16_t tab = 9;
    h.frm->txtIP_KeyDown(tab, 0);
    EXPECT_EQ(h.txtIP.items.front(), "10.0.0.11");
}

TEST(FormUnload, StartedByThePlatformKeepsTheHistoryButNotTheFields) {
    FormHarness h;
    h.frm->Form_Load();
    h.setRunning();
    h.txtPort.value = "27960";
    h.txtIP.items = {"a.example", "b.example"};
    h.frm->Unload();
    h.frm->Unload();  // a second request (SIGTERM after the close) does nothing more
    EXPECT_EQ(h.form.destroyed, 1);
    EXPECT_EQ(h.stored("IPs", "Hist0"), "a.example");
    EXPECT_EQ(h.stored("IPs", "Hist1"), "b.example");
    EXPECT_EQ(h.stored("_Vexmond", "Port"), "<missing>");
    EXPECT_FALSE(h.udpPeerA.open);
    EXPECT_FALSE(h.tmrServerMessage.on);
    EXPECT_TRUE(h.tmrStatus.on);             // left to end with the window
    EXPECT_TRUE(h.txtIP.listeners.empty());  // the history let go of the field

    h.recreate();
    h.txtIP.items.clear();
    h.frm->Form_Load();
    EXPECT_EQ(h.txtIP.items, (std::vector<std::string>{"a.example", "b.example"}));
}

TEST(FormRunning, StopAttemptsEveryStepAndIsHarmlessWhenIdle) {
    FormHarness h;
    h.frm->Form_Load();
    h.setRunning();
    EXPECT_FALSE(h.cmdStart.on);
    EXPECT_TRUE(h.imgConnected.shown && !h.imgNotConnected.shown);
    h.udpPeerA.failClose = true;
    h.frm->cmdStop_Click();
    EXPECT_FALSE(h.tmrServerMessage.on || h.tmrStatus.on);
    EXPECT_TRUE(h.cmdStart.on && h.imgNotConnected.shown && !h.imgConnected.shown);
    h.udpPeerA.failClose = false;
    h.udpPeerA.open = false;
    const int closes = h.udpPeerA.closes;
    h.frm->cmdStop_Click();
    EXPECT_EQ(h.udpPeerA.closes, closes);  // a closed socket is not closed again
    EXPECT_TRUE(h.cmdStart.on && h.imgNotConnected.shown);
}
