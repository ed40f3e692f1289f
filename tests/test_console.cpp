// The console's rule over the fake view and files: the newest whole lines in
// the view, the rest on disk for Save, and nothing lost where the disk refuses.
#include <gtest/gtest.h>

#include "tests/fakes/FormHarness.h"

using app::ConsoleHistory;

namespace {

struct Console : fakes::FormHarness {
    std::string all;  // every byte that came
    // Replies of whole lines, 1000 bytes each with their CR LF, up to the bytes asked for.
    void append(std::int64_t bytes, char fill) {
        std::string more;
        while (static_cast<std::int64_t>(more.size()) < bytes) more += std::string(998, fill) + "\r\n";
        for (std::size_t at = 0; at < more.size(); at += 100000) frm->AppendToConsole(more.substr(at, 100000));
        all += more;
    }
    std::string saved() {
        dialogs.answers = {{true, "/home/admin/all.log", "all.log"}};
        frm->cmdSave_Click();
        return history.disk()->saved.at("/home/admin/all.log");
    }
};

}  // namespace

TEST(Console, TheViewHoldsTheNewestWholeLinesAndADiskThatRefusesIsToldOnceAndLosesNothing) {
    Console h;
    h.append(ConsoleHistory::kViewBytes - 1000, 'a');
    EXPECT_TRUE(h.txtOutput.headLine.empty() && h.history.disk()->files.empty());
    // Past the limit, what goes is up to the first line that starts in the newest 3 MB.
    h.history.disk()->room = 1200000;
    h.append(2000, 'b');
    EXPECT_TRUE(h.txtOutput.value == h.all.substr(1051000));
    EXPECT_EQ(h.txtOutput.headLine, "1.0 MB of earlier replies are kept for Save");
    h.append(ConsoleHistory::kViewBytes - ConsoleHistory::kViewKept + 2000, 'c');  // the disk is full
    EXPECT_EQ(h.txtOutput.headLine,
              "1.0 MB of earlier replies are kept for Save; newer replies could not be kept on "
              "disk (No space left on device): they stay here, in memory");
    h.append(2 * ConsoleHistory::kViewBytes, 'd');
    EXPECT_TRUE(h.txtOutput.value == h.all.substr(1051000));
    h.history.disk()->room = INT64_MAX;
    h.append(ConsoleHistory::kViewBytes - ConsoleHistory::kViewKept, 'e');
    EXPECT_TRUE(h.txtOutput.length() <= ConsoleHistory::kViewBytes &&
                h.txtOutput.headLine.find("could") == std::string::npos);
    EXPECT_TRUE(h.saved() == h.all);

    h.boxes.answers = {platform::mb::kAnswerYes};
    h.frm->cmdClear_Click();
    h.all.clear();
    EXPECT_TRUE(h.txtOutput.value.empty() && h.txtOutput.headLine.empty() && h.history.disk()->files.empty());
    h.history.disk()->writable = false;
    h.append(ConsoleHistory::kViewBytes + 1, 'f');
    EXPECT_EQ(h.txtOutput.headLine,
              "Earlier replies could not be kept on disk (Permission denied): they stay here, in memory");
    h.history.disk()->writable = true;
    const std::string line(ConsoleHistory::kViewKept + 10, 'g');  // longer than the view keeps: cut where it falls
    h.frm->AppendToConsole(line), h.all += line;
    EXPECT_TRUE(h.txtOutput.value == line.substr(10));
    EXPECT_TRUE(h.saved() == h.all);
    EXPECT_EQ(h.boxes.shown.size(), 3u);  // the two saves' and Clear's: a refusal is said in the view alone
}

TEST(Console, AStartRemovesTheFilesKilledWindowsOfItsProfileLeftAndAnUnloadItsOwn) {
    Console h;
    const app::Profile eu("EU \xC9t\xE9");
    EXPECT_EQ(ConsoleHistory::filePrefix(eu), "replies-eu%20%e9t%e9.");  // one in any case, as in the store
    auto live = fakes::FakeConsoleFiles(h.history.disk()).create(ConsoleHistory::filePrefix(eu));
    for (const app::Profile& killed : {app::Profile("eu \xE9t\xE9"), app::Profile()})
        h.history.disk()->files[platform::historyFileName(ConsoleHistory::filePrefix(killed), 9, 1)] = {"old", false};
    h.recreate("EU \xC9t\xE9");
    h.frm->Form_Load();
    EXPECT_EQ(h.history.disk()->files.size(), 2u);  // the live window's, and the other profile's
    h.append(ConsoleHistory::kViewBytes + 1, 'a');
    EXPECT_EQ(h.history.disk()->files.size(), 3u);
    h.frm->Unload();
    EXPECT_EQ(h.history.disk()->files.size(), 2u);
}
