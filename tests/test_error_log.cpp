// The error log: where entries go, what an entry and its box say, and that a
// log that cannot be written never hides the message.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/modErrorLog.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeServices.h"
#include "tests/support/NativeFiles.h"
#include "tests/support/TempDir.h"

namespace {

const std::string kHeader = std::string(78, '-') + "\r\n---12/07/2026 09:05:03---\r\n";

struct LogTest : ::testing::Test {
    testsupport::TempDir tmp;
    testsupport::ScopedEnv dataHome{testsupport::kDataHomeVariable, tmp / "data"};
    testsupport::NativeFileSystem files;
    fakes::FakeClock clock;
    fakes::FakeMessageBox boxes;
    support::modErrorLog log{files, clock, boxes};
};

}  // namespace

TEST_F(LogTest, LogErrorMergesTheCaughtErrorWritesThenShowsOrRaises) {
    const base::AppError caught(5, "T", "E");
    const struct {
        std::string description, source;
        std::int32_t number;
        std::string expectDescription, expectSource;
        std::int32_t expectNumber;
    } cases[] = {
        {"", "", 0, "E", "T", 5},
        {"C", "S", 0, "C(E)", "S (T)", 5},
        {"C", "S", 9, "C(E)", "S (T)", 9},
    };
    std::string entries;  // the log is created in the program's own directory, and appended to
    for (const auto& c : cases) {
        boxes.shown.clear();
        log.LogError(c.description, c.source, c.number, true, false, true, &caught, "");
        const std::string n = std::to_string(c.expectNumber);
        entries += kHeader + "Error " + n + " in " + c.expectSource + ":\r\n" + c.expectDescription + "\r\n";
        EXPECT_EQ(testsupport::readFile(tmp / "data" + testsupport::kSeparator + testsupport::kDataDirectoryName +
                                        testsupport::kSeparator + "vexmond.log"),
                  entries);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, "Following error occurred in this application:\r\n\r\n" + c.expectDescription +
                                           "\r\nNumber: " + n + "\r\nSource: " + c.expectSource);
        EXPECT_EQ(boxes.shown[0].style, 0x1010);
        EXPECT_EQ(boxes.shown[0].title, "vexmond Error");
    }
    try {
        log.LogError("C", "S", 0, false, true, false, &caught, "");
        ADD_FAILURE() << "not raised";
    } catch (const base::AppError& e) {
        EXPECT_EQ(e.source(), "S (T)");
        EXPECT_EQ(e.description(), "C(E)");
    }
    EXPECT_TRUE(log.WriteLogEntry("elsewhere", tmp / "other.log", false, true, false));
    EXPECT_TRUE(log.WriteLogEntry("again", "", false, false, true));  // to the last file, cut to nothing first
    EXPECT_EQ(testsupport::readFile(tmp / "other.log"), "again\r\n");

    // A read-only log stays as it is, also for root (the tests run as root).
    const std::string readOnly = tmp / "read-only.log";
    testsupport::writeFile(readOnly, "kept\r\n");
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    EXPECT_FALSE(log.WriteLogEntry("x", readOnly, true, true, false));
    EXPECT_FALSE(log.WriteLogEntry("x", readOnly, true, false, true));
    boxes.shown.clear();
    log.LogError("", "S", 0, true, false, true, &caught, "");  // into the last file, which cannot be written
    EXPECT_EQ(boxes.shown.size(), 1u);                         // the entry is lost, the message is not
    EXPECT_EQ(testsupport::readFile(readOnly), "kept\r\n");
}
