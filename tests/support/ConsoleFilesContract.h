#pragma once

// What the console asks of its files, of the fake and each platform's backend; a
// side leaves a file as a killed program does, with no lock on it. (At global
// scope: a typed suite is instantiated where its name is seen unqualified.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ConsoleFiles.h"

template <class Side>
struct ConsoleFilesContract : ::testing::Test {
    Side side;
    static std::function<std::string()> parts(std::vector<std::string> all) {
        return [all, next = std::size_t{0}]() mutable { return next < all.size() ? all[next++] : std::string(); };
    }
};
TYPED_TEST_SUITE_P(ConsoleFilesContract);

TYPED_TEST_P(ConsoleFilesContract, HistoryFilesAreTheUsersKeepExactBytesAndOnlyThoseNoOneHoldsAreRemoved) {
    auto& s = this->side;
    auto live = s.other.create("replies-eu."), own = s.files.create("replies-eu.");
    EXPECT_TRUE(s.allPrivate());
    for (const auto& [at, bytes] : {std::pair{0, std::string("a\0b\r\n\xFF", 6)}, {6, "tail"}, {2, "B"}})
        own->write(at, bytes);  // the last over what is there
    EXPECT_EQ(own->read(0, 10), std::string("a\0B\r\n\xFFtail", 10));
    EXPECT_THROW(own->read(8, 3), std::exception);
    EXPECT_THROW(own->write(11, "gap"), std::exception);
    for (const std::string& name : {platform::historyFileName("replies-eu.", 99999, 1),
                                    platform::historyFileName("replies.", 99999, 1), std::string("replies-eu.notes")})
        s.leaveAbandoned(name);
    EXPECT_EQ(s.files.removeAbandoned("replies-eu."), 1);
    EXPECT_EQ(s.filesOf("replies-eu."), 3);  // the other program's, our own, and what is no history file
    EXPECT_EQ(s.filesOf("replies."), 1);
    live.reset();
    own.reset();
    EXPECT_EQ(s.filesOf("replies-eu."), 1);
}

TYPED_TEST_P(ConsoleFilesContract, AFullDiskOrADirectoryThatCannotBeWrittenIsRefused) {
    auto& s = this->side;
    EXPECT_THROW(s.unwritable().create("replies."), std::runtime_error);
    auto file = s.files.create("replies.");
    file->write(0, std::string(1000, 'a'));
    if (!s.limitFilesTo(1500)) GTEST_SKIP() << "this system has no way to fill the disk for a test";
    EXPECT_THROW(file->write(1000, std::string(1000, 'b')), std::runtime_error);
    s.unlimitFiles();
    file->write(1000, std::string(1000, 'c'));  // over what the refused write left
    EXPECT_EQ(file->read(0, 2000), std::string(1000, 'a') + std::string(1000, 'c'));
}

TYPED_TEST_P(ConsoleFilesContract, SaveWritesThePartsInOrderOverAnyFileAndRefusesAMissingDirectory) {
    auto& s = this->side;
    const std::string path = s.savePath("replies.log");
    s.files.save(path, this->parts({"an older and much longer file that is replaced"}));
    s.files.save(path, this->parts({"one\r\n", std::string("\0two\xE9", 5)}));
    EXPECT_EQ(s.saved(path), std::string("one\r\n\0two\xE9", 10));
    EXPECT_THROW(s.files.save(s.savePath("missing/x.log"), this->parts({"x"})), std::runtime_error);
}

REGISTER_TYPED_TEST_SUITE_P(ConsoleFilesContract, HistoryFilesAreTheUsersKeepExactBytesAndOnlyThoseNoOneHoldsAreRemoved,
                            AFullDiskOrADirectoryThatCannotBeWrittenIsRefused,
                            SaveWritesThePartsInOrderOverAnyFileAndRefusesAMissingDirectory);
