#include <gtest/gtest.h>

#include "tests/fakes/FormHarness.h"

using fakes::FormHarness;
namespace mb = platform::mb;

TEST(Console, ClearAsksOnlyWhenThereIsText) {
    FormHarness h;
    h.frm->cmdClear_Click();
    EXPECT_TRUE(h.messageBox.shown.empty());

    h.frm->AppendToConsole("abc\r\n");
    EXPECT_EQ(h.txtOutput.caret, 5);
    h.messageBox.answers = {mb::kAnswerNo};
    h.frm->cmdClear_Click();
    ASSERT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_EQ(h.messageBox.shown[0].text, "Clear log?");
    EXPECT_EQ(h.messageBox.shown[0].style, 36);
    EXPECT_EQ(h.messageBox.shown[0].title, "Vexmond");
    EXPECT_EQ(h.txtOutput.value, "abc\r\n");
    EXPECT_EQ(h.txtOutput.caret, 5);

    h.messageBox.answers = {mb::kAnswerYes};
    h.frm->cmdClear_Click();
    EXPECT_EQ(h.txtOutput.value, "");
}

TEST(Console, SaveWritesTheTextWhereTheUserChose) {
    FormHarness h;
    h.frm->cmdSave_Click();
    EXPECT_TRUE(h.fileDialogs.requests.empty());  // an empty console shows no dialog

    h.frm->AppendToConsole("player one\r\n");
    h.frm->AppendToConsole("caf\xE9 ^4blue\r\n");
    h.fileDialogs.answers.push_back({false, "", ""});
    h.frm->cmdSave_Click();
    EXPECT_TRUE(h.txtOutput.savedFiles.empty());
    EXPECT_TRUE(h.messageBox.shown.empty());
    const auto& r = h.fileDialogs.requests.at(0);
    EXPECT_EQ(h.fileDialogs.kinds[0], "save");
    EXPECT_EQ(r.lpstrTitle, "Save log");
    EXPECT_EQ(r.lpstrFilter, std::string("All Files (*.*)\0*.*\0\0", 21));
    EXPECT_EQ(r.Flags, 0x80224);  // 0x80204 and the hook of the centred dialog
    EXPECT_EQ(r.hwndOwner, 4242);
    EXPECT_TRUE(r.lpstrInitialDir.empty() && r.lpstrDefExt.empty());

    h.fileDialogs.answers.push_back({true, "/home/admin/server.log", "server.log"});
    h.frm->cmdSave_Click();
    EXPECT_EQ(h.txtOutput.savedFiles["/home/admin/server.log"], "player one\r\ncaf\xE9 ^4blue\r\n");
    ASSERT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_EQ(h.messageBox.shown[0].text, "File has been saved");
    EXPECT_EQ(h.messageBox.shown[0].style, 64);
}

TEST(Console, AFailedSaveSaysSoAndKeepsTheText) {
    FormHarness h;
    h.frm->AppendToConsole("keep me");
    h.txtOutput.failSave = true;
    h.fileDialogs.answers.push_back({true, "/readonly/x.log", "x.log"});
    h.frm->cmdSave_Click();
    ASSERT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_EQ(h.messageBox.shown[0].text, "The log could not be saved to /readonly/x.log:\r\n\r\nPermission denied");
    EXPECT_EQ(h.messageBox.shown[0].style, 48);
    EXPECT_EQ(h.txtOutput.value, "keep me");
}
