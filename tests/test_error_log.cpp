#include <gtest/gtest.h>

#include "support/modErrorLog.h"
#include "tests/fakes/FakeControls.h"
#include "tests/fakes/FakeServices.h"

namespace {

struct LogTest : ::testing::Test {
    fakes::FakeFileSystem files;
    fakes::FakeClock clock;
    fakes::FakeMessageBox boxes;
    support::modErrorLog log{files, clock, boxes};
    const std::string kHeader = std::string(78, '-') + "\r\n---12/07/2026 09:05:03---\r\n";
};

}  // namespace

TEST_F(LogTest, EntriesGoToTheDefaultFileThenToTheLastOne) {
    EXPECT_TRUE(log.WriteLogEntry("first", "", true, true, false));
    EXPECT_EQ(log.lastFileName(), "/opt/vexmond/vexmond.log");
    EXPECT_TRUE(log.WriteLogEntry("plain", "", false, false, false));
    EXPECT_EQ(files.files["/opt/vexmond/vexmond.log"], kHeader + "first\r\nplain\r\n");

    EXPECT_TRUE(log.WriteLogEntry("elsewhere", "/tmp/other.log", false, true, false));
    EXPECT_TRUE(log.WriteLogEntry("again", "", false, false, true));  // a new file: cut to nothing first
    EXPECT_EQ(files.files["/tmp/other.log"], "again\r\n");

    files.directory = "/";  // a directory that already ends in the separator
    support::modErrorLog fresh{files, clock, boxes};
    EXPECT_EQ(fresh.defaultLogFile(), "/vexmond.log");
}

TEST_F(LogTest, LogErrorMergesTheCaughtErrorWritesThenShows) {
    const support::AppError caught(5, "T", "E");
    struct Case {
        std::string description, source;
        std::int32_t number;
        std::string expectDescription, expectSource;
        std::int32_t expectNumber;
    } cases[] = {
        {"", "", 0, "E", "T", 5},
        {"C", "S", 0, "C(E)", "S (T)", 5},
        {"C", "S", 9, "C(E)", "S (T)", 9},
    };
    for (const auto& c : cases) {
        files.files.clear();
        boxes.shown.clear();
        log.LogError(c.description, c.source, c.number, true, false, true, &caught, "");
        EXPECT_EQ(files.files["/opt/vexmond/vexmond.log"], kHeader + "Error " + std::to_string(c.expectNumber) +
                                                               " in " + c.expectSource + ":\r\n" + c.expectDescription +
                                                               "\r\n");
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, "Following error occurred in this application:\r\n\r\n" + c.expectDescription +
                                           "\r\nNumber: " + std::to_string(c.expectNumber) +
                                           "\r\nSource: " + c.expectSource);
        EXPECT_EQ(boxes.shown[0].style, 0x1010);
        EXPECT_EQ(boxes.shown[0].title, "vexmond Error");
    }
}

TEST_F(LogTest, FlagsChooseFileMessageAndRaise) {
    const support::AppError caught(10055, "vexmond.Winsock", "No buffer space");
    log.LogError("", "vexmond::frmMain.cmdSend_Click(Sub)", 0, false, false, true, &caught, "");
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_NE(files.files["/opt/vexmond/vexmond.log"].find("Error 10055 in vexmond::frmMain.cmdSend_Click(Sub) "
                                                           "(vexmond.Winsock):\r\nNo buffer space\r\n"),
              std::string::npos);
    try {
        log.LogError("C", "S", 0, false, true, false, &caught, "");
        ADD_FAILURE() << "not raised";
    } catch (const support::AppError& e) {
        EXPECT_EQ(e.number(), 10055);
        EXPECT_EQ(e.source(), "S (vexmond.Winsock)");
        EXPECT_EQ(e.description(), "C(No buffer space)");
    }
}

TEST_F(LogTest, AnUnwritableLogLosesTheEntryQuietlyButStillShowsTheMessage) {
    files.readOnly.insert("/opt/vexmond/vexmond.log");
    EXPECT_FALSE(log.WriteLogEntry("x", "", true, true, false));
    EXPECT_EQ(log.lastFileName(), "/opt/vexmond/vexmond.log");
    const support::AppError caught(1, "T", "E");
    log.LogError("", "S", 0, true, false, true, &caught, "");
    EXPECT_EQ(files.files.count("/opt/vexmond/vexmond.log"), 0u);
    EXPECT_EQ(boxes.shown.size(), 1u);
}

#include "platform/posix/PosixFileSystem.h"
#include "tests/support/TempDir.h"

TEST(ErrorLogOnDisk, TheDefaultLogIsCreatedInTheProgramsOwnDirectory) {
    testsupport::TempDir tmp;
    testsupport::ScopedEnv data("XDG_DATA_HOME", tmp / "data");
    platform::posix::PosixFileSystem files;
    fakes::FakeClock clock;
    fakes::FakeMessageBox boxes;
    support::modErrorLog log(files, clock, boxes);
    const support::AppError caught(10055, "vexmond.Winsock", "No buffer space");
    log.LogError("", "vexmond::frmMain.cmdSend_Click(Sub)", 0, false, false, true, &caught, "");
    log.LogError("", "vexmond::frmMain.cmdSend_Click(Sub)", 0, false, false, true, &caught, "");
    const std::string entry = std::string(78, '-') + "\r\n---12/07/2026 09:05:03---\r\nError 10055 in " +
                              "vexmond::frmMain.cmdSend_Click(Sub) (vexmond.Winsock):\r\nNo buffer space\r\n";
    EXPECT_EQ(log.lastFileName(), tmp / "data/vexmond/vexmond.log");
    EXPECT_EQ(testsupport::readFile(tmp / "data/vexmond/vexmond.log"), entry + entry);

    // A log that cannot be written loses the entry without a word.
    EXPECT_FALSE(log.WriteLogEntry("x", tmp / "no-such-dir/x.log", true, true, false));
    EXPECT_FALSE(log.WriteLogEntry("x", "", true, true, true));  // the last name stays the failing one
}
