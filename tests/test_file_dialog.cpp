#include <gtest/gtest.h>

#include "support/CFileOpenSaveDialog.h"
#include "tests/fakes/FakeServices.h"
#include "tests/support/Errors.h"

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
    // A single file, several files after their directory (0x200), several in the root, no directory at all.
    struct Case {
        std::int32_t flags;
        std::string file;
        const char* selectedPath;
        std::vector<std::string> names;  // FileName, then GetNextFileName(1..)
    } cases[] = {
        {0x80204, "/home/admin/server.log", "/home/admin/", {"/home/admin/server.log", "/home/admin/server.log"}},
        {0x200, "/logs" + N + "a.txt" + N + "b.txt" + N, "/logs", {"/logs/a.txt", "/logs/a.txt", "/logs/b.txt"}},
        {0x200, "/" + N + "a.txt" + N + "b.txt" + N, "", {"/a.txt", "/a.txt", "/b.txt"}},
        {0x200, "plain.txt", "", {"plain.txt", "plain.txt"}},
    };
    for (const auto& c : cases) {
        CFileOpenSaveDialog d(dialogs);
        d.setFlags(c.flags);
        answer(c.file, "a.txt");
        ASSERT_TRUE(d.Show(0));
        EXPECT_EQ(d.FileName(), c.names[0]);
        EXPECT_EQ(d.FileTitle(), "a.txt");
        EXPECT_EQ(d.SelectedPath(), c.selectedPath) << c.names[0];
        EXPECT_EQ(d.FileCount(), static_cast<std::int16_t>(c.names.size() - 1));
        for (std::size_t i = 1; i < c.names.size(); ++i)
            EXPECT_EQ(d.GetNextFileName(static_cast<std::int16_t>(i)), c.names[i]) << c.names[0] << " " << i;
        EXPECT_EQ(d.GetNextFileName(), c.names[0]);
    }
}

TEST_F(DialogTest, AnOwnerThatIsNoWindowAndOverlongBuffersAreRefused) {
    std::string source;
    EXPECT_EQ(testsupport::errorNumber([&] { dialog.Init("F", 2, "/d", "n", "T", 77, 5); }, &source), 0x80044435u);
    EXPECT_EQ(source, "vexmond.CFileOpenSaveDialog");
    EXPECT_EQ(dialog.DialogTitle(), "T");  // stored before the owner check
    EXPECT_EQ(dialog.HWndOwner(), 0);
    dialog.setFileName(std::string(1025, 'x'));
    EXPECT_EQ(testsupport::errorNumber([&] { dialog.Show(1); }), 0x80044436u);
    dialog.setFileName("");
    dialog.setFilter(std::string(32768, 'x'));
    EXPECT_EQ(testsupport::errorNumber([&] { dialog.Show(1); }), 0x80044436u);
    EXPECT_TRUE(dialogs.requests.empty());
}

namespace {
struct Screen : platform::IDialogWindow {
    platform::Rect desk{0, 0, 1024, 768};
    platform::Rect dialog{5, 5, 5 + 1, 5 + 3};
    std::vector<std::array<std::int32_t, 5>> moves;
    platform::WindowHandle parentOf(platform::WindowHandle w) override { return w == 1 ? 2 : 0; }
    platform::Rect desktopRect() override { return desk; }
    platform::Rect windowRect(platform::WindowHandle) override { return dialog; }
    void moveWindow(platform::WindowHandle w, std::int32_t x, std::int32_t y, std::int32_t wd, std::int32_t h,
                    bool) override {
        moves.push_back({static_cast<std::int32_t>(w), x, y, wd, h});
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
