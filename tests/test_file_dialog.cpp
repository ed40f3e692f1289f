#include <gtest/gtest.h>

#include "support/AppError.h"
#include "support/CFileOpenSaveDialog.h"
#include "tests/fakes/FakeServices.h"

using support::CFileOpenSaveDialog;

namespace {

const std::string N(1, '\0');

struct DialogTest : ::testing::Test {
    fakes::FakeFileDialogs dialogs;
    CFileOpenSaveDialog dialog{dialogs};
    void answer(const std::string& file, const std::string& title) { dialogs.answers.push_back({true, file, title}); }
};

}  // namespace

TEST_F(DialogTest, ParsesTheAnswerBuffers) {
    struct Case {
        std::int32_t flags;
        std::string file, title;
        std::string fileName, fileTitle, selectedPath;
        std::int16_t count;
        std::vector<std::string> next;  // GetNextFileName(1..)
    } cases[] = {
        {0, "/logs/out.txt", "out.txt", "/logs/out.txt", "out.txt", "/logs/", 1, {"/logs/out.txt"}},
        {0x200,
         "/logs" + N + "a.txt" + N + "b.txt" + N,
         "a.txt",
         "/logs/a.txt",
         "a.txt",
         "/logs",
         2,
         {"/logs/a.txt", "/logs/b.txt", "/logs/a.txt"}},
        {0x200, "/" + N + "a.txt" + N + "b.txt" + N, "a.txt", "/a.txt", "a.txt", "", 2, {"/a.txt", "/b.txt"}},
        {0x80204,
         "/home/admin/server.log",
         "server.log",
         "/home/admin/server.log",
         "server.log",
         "/home/admin/",
         1,
         {"/home/admin/server.log"}},
        {0x200, "plain.txt", "plain.txt", "plain.txt", "plain.txt", "", 1, {"plain.txt"}},
    };
    for (const auto& c : cases) {
        CFileOpenSaveDialog d(dialogs);
        d.setFlags(c.flags);
        answer(c.file, c.title);
        ASSERT_TRUE(d.Show(0));
        EXPECT_EQ(d.FileName(), c.fileName);
        EXPECT_EQ(d.FileTitle(), c.fileTitle);
        EXPECT_EQ(d.SelectedPath(), c.selectedPath) << c.fileName;
        EXPECT_EQ(d.FileCount(), c.count);
        for (std::size_t i = 0; i < c.next.size(); ++i)
            EXPECT_EQ(d.GetNextFileName(static_cast<std::int16_t>(i + 1)), c.next[i]) << c.fileName << " " << i + 1;
        EXPECT_EQ(d.GetNextFileName(), c.fileName);
    }
}

TEST_F(DialogTest, CancelAndUnknownKindsChangeNothingButTheHookFlag) {
    answer("/a/b.txt", "b.txt");
    ASSERT_TRUE(dialog.Show(0));
    dialog.setCenterDialog(true);
    dialogs.answers.push_back({false, "", ""});
    EXPECT_FALSE(dialog.Show(1));
    EXPECT_EQ(dialog.Flags(), 0x280020);
    EXPECT_FALSE(dialog.Show(2));
    EXPECT_EQ(dialogs.requests.size(), 2u);  // the third showed nothing
    EXPECT_EQ(dialog.FileName(), "/a/b.txt");
    EXPECT_EQ(dialog.SelectedPath(), "/a/");
    answer("bare.txt", "bare.txt");  // without a separator the selected path is kept
    ASSERT_TRUE(dialog.Show(1));
    EXPECT_EQ(dialog.SelectedPath(), "/a/");
}

TEST_F(DialogTest, Errors) {
    auto number = [](auto f) {
        try {
            f();
        } catch (const support::AppError& e) {
            EXPECT_EQ(e.source(), "vexmond.CFileOpenSaveDialog");
            return static_cast<std::uint32_t>(e.number());
        }
        return 0u;
    };
    EXPECT_EQ(number([&] { dialog.setHWndOwner(77); }), 0x80044435u);
    EXPECT_EQ(dialog.HWndOwner(), 0);
    dialog.setHWndOwner(-1);
    EXPECT_EQ(dialog.HWndOwner(), -1);
    EXPECT_EQ(number([&] { dialog.Init("F", 2, "/d", "n", "T", 77, 5); }), 0x80044435u);
    EXPECT_EQ(dialog.DialogTitle(), "T");  // stored before the owner check
    EXPECT_EQ(dialog.Flags(), 0x280000);
    dialog.setFileName(std::string(1025, 'x'));
    EXPECT_EQ(number([&] { dialog.Show(1); }), 0x80044436u);
    dialog.setFileName("");
    dialog.setFilter(std::string(32768, 'x'));
    EXPECT_EQ(number([&] { dialog.Show(1); }), 0x80044436u);
}

namespace {
struct Screen : platform::IDialogWindow {
    platform::Rect desk{0, 0, 1024, 768};
    platform::Rect dialog{5, 5, 5 + 1, 5 + 3};
    std::vector<std::array<std::int32_t, 5>> moves;
    std::int32_t parentOf(std::int32_t w) override { return w == 1 ? 2 : 0; }
    platform::Rect desktopRect() override { return desk; }
    platform::Rect windowRect(std::int32_t) override { return dialog; }
    void moveWindow(std::int32_t w, std::int32_t x, std::int32_t y, std::int32_t wd, std::int32_t h, bool) override {
        moves.push_back({w, x, y, wd, h});
    }
};
}  // namespace

TEST(DialogHooks, CentreTheDialogWithHalvesToEven) {
    Screen s;
    s.dialog = {0, 0, 1, 3};  // (1024-1)/2 = 511.5 -> 512, (768-3)/2 = 382.5 -> 382
    EXPECT_EQ(support::MFileOpenSaveDialog::ExplorerDialogHook(s, 1, platform::kWmInitDialog, 0, 0), 0);
    s.desk = {0, 0, 1022, 768};  // (1022-1)/2 = 510.5 -> 510
    support::MFileOpenSaveDialog::OldStyleDialogHook(s, 9, platform::kWmInitDialog, 0, 0);
    support::MFileOpenSaveDialog::OldStyleDialogHook(s, 9, 0x0F, 0, 0);  // other messages: nothing
    ASSERT_EQ(s.moves.size(), 2u);
    EXPECT_EQ(s.moves[0], (std::array<std::int32_t, 5>{2, 512, 382, 1, 3}));
    EXPECT_EQ(s.moves[1], (std::array<std::int32_t, 5>{9, 510, 382, 1, 3}));
}
