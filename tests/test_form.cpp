// The window's procedures outside the broadcast: start-up, closing, the
// toolbar, the address history and the console, over a real settings store.
#include <gtest/gtest.h>

#include "tests/fakes/FormHarness.h"

using fakes::FormHarness;
namespace mb = platform::mb;

namespace {

const std::string B = "         ";
using Strings = std::vector<std::string>;

[[maybe_unused]] Strings fields(const FormHarness& h) {
    return {h.txtPassword.value, h.txtPort.value, h.txtMsg.value, h.txtSeverMessageTime.value, h.txtMsgDelay.value};
}

}  // namespace

#ifndef _WIN32  // a store that cannot be written (wine grants every right) or read (the registry always reads)
TEST(FormLoad, AReadOnlyStoreGivesItsFieldsAndStartTellsOnceThatItCannotSave) {
    FormHarness h;
    h.frm->Form_Load();
    EXPECT_EQ(fields(h), (Strings{"", "", "", "5", "5"}));  // the delay's design 15 becomes the default
    auto s = h.settings();
    for (auto [k, v] : {std::pair{"Password", "pw "}, {"Port", "27960"}, {"Msg", "A\r\nB"}, {"Msg_Timer", "2.5"}})
        s.SaveSetting("_Vexmond", k, support::Variant::String(v));
    s.SaveSetting("_Vexmond", "Msg_Delay", support::Variant::String(""));
    s.SaveSetting("IPs", "Hist0", support::Variant::String("10.0.0.1"));
    h.store.setReadOnly(true);

    h.recreate();
    h.frm->Form_Load();
    EXPECT_EQ(fields(h), (Strings{"pw ", "27960", "A\r\nB", "2.5", ""}));
    EXPECT_EQ(h.txtIP.items, Strings{"10.0.0.1"});
    h.txtPort.value = "27961";
    for (int start = 0; start < 2; ++start) {
        h.frm->cmdStart_Click();
        EXPECT_TRUE(h.tmrServerMessage.on && h.tmrStatus.on);
        EXPECT_EQ(h.udpPeerA.port, 27961);
        h.frm->cmdStop_Click();
    }
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].text.rfind("Vexmond could not save its settings:", 0), 0u);
    EXPECT_EQ(h.stored("_Vexmond", "Port"), "27960");
}

TEST(FormLoad, AnUnreadableStoreIsReportedOnce) {
    FormHarness h;
    platform::posix::makeDirectories(h.store.hives().directory(), 0700);
    testsupport::writeFile(h.store.hives().directory() + "/system.reg", "<not a hive/>");
    h.frm->Form_Load();
    h.frm->Form_Load();
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_NE(h.boxes.shown[0].text.find("system.reg.unreadable-"), std::string::npos);
    EXPECT_EQ(h.boxes.shown[0].style, 48);
}
#endif

// The values an earlier version kept, where it kept them, are the default
// profile's; a named profile starts empty and leaves them as they were.
TEST(FormLoad, TheStoreOfEarlierVersionsIsTheDefaultProfileAndANamedOneLeavesItAlone) {
    FormHarness h;
    settings::CAppSettings earlier(h.store.registry());
    earlier.Init("Quorlan", "_Vexmond");
    for (auto [k, v] :
         {std::pair{"Password", "pw"}, {"Port", "27960"}, {"Msg", "A\r\nB"}, {"Msg_Timer", "2"}, {"Msg_Delay", "9"}})
        earlier.SaveSetting("_Vexmond", k, support::Variant::String(v));
    earlier.SaveSetting("IPs", "Hist0", support::Variant::String("10.0.0.1"));
#ifndef _WIN32
    const std::string before = testsupport::readFile(h.store.hives().directory() + "/system.reg");
#endif
    h.recreate("server two");
    h.frm->Form_Load();
    EXPECT_EQ(fields(h), (Strings{"", "", "", "5", "5"}));
    EXPECT_TRUE(h.txtIP.items.empty());
    EXPECT_EQ(h.form.title, "Vexmond - server two");
    h.txtPort.value = "27961";
    h.frm->cmdClose_Click();
#ifndef _WIN32
    const std::string after = testsupport::readFile(h.store.hives().directory() + "/system.reg");
    EXPECT_EQ(after.substr(0, before.size()), before) << "the default profile's lines are kept as they were";
#endif
    h.recreate();
    h.frm->Form_Load();
    EXPECT_EQ(fields(h), (Strings{"pw", "27960", "A\r\nB", "2", "9"}));
    EXPECT_EQ(h.txtIP.items, Strings{"10.0.0.1"});
    EXPECT_EQ(h.form.title, "Vexmond");
}

TEST(FormClose, SavesTheFiveFieldsAndAsksOnlyWhenRunningOrWhenTheStoreFails) {
    const struct Case {
        const char* what;
        bool running, readOnly;
        std::deque<int> answers;
        int questionStyle;  // 0: no question
        bool closed;
    } cases[] = {
        {"idle", false, false, {}, 0, true},
        {"running, No", true, false, {mb::kAnswerNo}, 4 + 32 + 256, false},
        {"running, Yes", true, false, {mb::kAnswerYes}, 4 + 32 + 256, true},
#ifndef _WIN32  // a store that cannot be written: wine grants every right
        {"store fails, No", false, true, {mb::kAnswerNo}, 4 + 48 + 256, false},
        {"store fails, Yes", false, true, {mb::kAnswerYes}, 4 + 48 + 256, true},
#endif
    };
    for (const auto& c : cases) {
        FormHarness h;
        h.frm->Form_Load();
        if (c.running) h.setRunning();
        h.store.setReadOnly(c.readOnly);
        h.txtPort.value = "27960";
        h.txtMsg.value = "Hello\r\nWorld";
        h.txtMsgDelay.value = "";
        h.boxes.answers = c.answers;
        h.frm->cmdClose_Click();
        ASSERT_EQ(h.boxes.shown.size(), c.questionStyle ? 1u : 0u) << c.what;
        if (c.questionStyle) {
            EXPECT_EQ(h.boxes.shown[0].style, c.questionStyle) << c.what;
        }
        EXPECT_EQ(h.form.destroyed, c.closed ? 1 : 0) << c.what;
        EXPECT_EQ(h.tmrServerMessage.on, c.running && !c.closed) << c.what;
        h.store.setReadOnly(false);
        EXPECT_EQ(h.stored("_Vexmond", "Port"), c.closed && !c.readOnly ? "27960" : "<missing>") << c.what;
    }
}

TEST(FormToolbar, DispatchesByCaseSensitiveToolIdAndExitAsksLikeClose) {
    const struct {
        const char* id;
        const char* boxTitle;
        int destroyed;
    } cases[] = {
        {"ID_About", "Vexmond v2.1 Build Date: 06-23-2002", 0},
        {"ID_Information", "Vexmond", 0},
        {"ID_Exit", nullptr, 1},
        {"id_about", nullptr, 0},
        {"ID_SelectGame", nullptr, 0},
        {"", nullptr, 0},
    };
    for (const auto& c : cases) {
        FormHarness h;
        h.frm->Form_Load();
        h.frm->SSActiveToolBars1_ToolClick(fakes::FakeTool(c.id, "x"));
        ASSERT_EQ(h.boxes.shown.size(), c.boxTitle ? 1u : 0u) << c.id;
        if (c.boxTitle) {
            EXPECT_EQ(h.boxes.shown[0].title, c.boxTitle);
        }
        EXPECT_EQ(h.form.destroyed, c.destroyed) << c.id;
    }
    FormHarness h;
    h.frm->Form_Load();
    h.setRunning();
    h.boxes.answers = {mb::kAnswerNo};
    h.frm->SSActiveToolBars1_ToolClick(fakes::FakeTool("ID_Exit", "E&xit"));
    EXPECT_TRUE(h.tmrServerMessage.on);
    EXPECT_EQ(h.form.destroyed, 0);
}

TEST(FormHistory, EnterKeepsTenAddressesAndAnUnloadKeepsTheHistoryButNotTheFields) {
    FormHarness h;
    h.frm->Form_Load();
    for (int i = 0; i < 12; ++i) {
        h.txtIP.edit = "10.0.0." + std::to_string(i);
        std::int16_t key = 13;
        h.frm->txtIP_KeyDown(key, 0);
        EXPECT_EQ(key, 13);
    }
    h.txtIP.edit = "other";
    std::int16_t tab = 9;
    h.frm->txtIP_KeyDown(tab, 0);
    ASSERT_EQ(h.txtIP.items.size(), 10u);
    EXPECT_EQ(h.txtIP.items.front(), "10.0.0.11");
    EXPECT_EQ(h.txtIP.items.back(), "10.0.0.2");

    h.setRunning();
    h.txtPort.value = "27960";
    h.frm->Unload();
    h.frm->Unload();  // a second request (SIGTERM after the close) does nothing more
    EXPECT_EQ(h.form.destroyed, 1);
    EXPECT_EQ(h.stored("_Vexmond", "Port"), "<missing>");
    EXPECT_FALSE(h.udpPeerA.open || h.tmrServerMessage.on);
    EXPECT_TRUE(h.txtIP.listeners.empty());
    h.recreate();
    h.txtIP.items.clear();
    h.frm->Form_Load();
    EXPECT_EQ(h.txtIP.items.size(), 10u);
    EXPECT_EQ(h.txtIP.items.front(), "10.0.0.11");
}

TEST(FormRunning, StopAttemptsEveryStepAndIsHarmlessWhenIdle) {
    FormHarness h;
    h.frm->Form_Load();
    h.setRunning();
    h.udpPeerA.failClose = true;
    h.frm->cmdStop_Click();
    EXPECT_FALSE(h.tmrServerMessage.on || h.tmrStatus.on);
    EXPECT_TRUE(h.cmdStart.on && h.imgNotConnected.shown && !h.imgConnected.shown);
    h.udpPeerA.failClose = false;
    h.udpPeerA.open = false;
    const int closes = h.udpPeerA.closes;
    h.frm->cmdStop_Click();
    EXPECT_EQ(h.udpPeerA.closes, closes);
}

TEST(Console, ClearAsksOnlyWhenThereIsTextAndSaveGoesWhereTheUserChose) {
    FormHarness h;
    h.frm->cmdClear_Click();
    h.frm->cmdSave_Click();
    EXPECT_TRUE(h.boxes.shown.empty() && h.dialogs.requests.empty());

    h.frm->AppendToConsole("player one\r\n");
    h.frm->AppendToConsole("caf\xE9 ^4blue\r\n");
    h.boxes.answers = {mb::kAnswerNo};
    h.frm->cmdClear_Click();
    EXPECT_EQ(h.boxes.shown.at(0).style, 36);
    EXPECT_EQ(h.txtOutput.caret, 25);

    h.dialogs.answers = {{false, "", ""}, {true, "/home/admin/server.log", "server.log"}};
    h.frm->cmdSave_Click();
    h.frm->cmdSave_Click();
    EXPECT_EQ(h.history.disk()->saved["/home/admin/server.log"], "player one\r\ncaf\xE9 ^4blue\r\n");
    EXPECT_EQ(h.boxes.shown.at(1).text, "File has been saved");
    EXPECT_EQ(h.dialogs.requests.at(0).hwndOwner, 4242);  // over the window

    h.dialogs.answers = {{true, "/gone/x.log", "x.log"}};
    h.frm->cmdSave_Click();
    EXPECT_EQ(h.boxes.shown.at(2).text, "The log could not be saved to /gone/x.log:\r\n\r\nNo such file or directory");
    h.boxes.answers = {mb::kAnswerYes};
    h.frm->cmdClear_Click();
    EXPECT_EQ(h.txtOutput.value, "");
}
