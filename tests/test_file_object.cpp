// CFile over real files in a temporary directory: what the window asks of it
// (whether a file exists), how it reads and writes a whole text and names
// the parts of its path, and that moving a file never destroys another.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "support/CFile.h"
#include "tests/support/Errors.h"
#include "tests/support/NativeFiles.h"
#include "tests/support/TempDir.h"

using testsupport::readFile;
using testsupport::writeFile;

namespace {

support::CFile fileAt(platform::IFileSystem& files, const std::string& path) {
    support::CFile f(files);
    f.Init(path);
    return f;
}

}  // namespace

TEST(File, ExistsTakesPatternsButNotBrackets) {
    testsupport::TempDir tmp;
    testsupport::NativeFileSystem files;
    writeFile(tmp / "notes.txt", "a");
    writeFile(tmp / "[x].txt", "1");
    const std::pair<std::string, bool> probes[] = {
        {tmp.path(), true},     {tmp / "*.txt", true},    {tmp / "no?es.txt", true},
        {tmp / "*.log", false}, {tmp / "missing", false}, {tmp / "[x].txt", true},
    };
    for (const auto& [path, exists] : probes) EXPECT_EQ(fileAt(files, path).Exists(), exists) << path;
}

TEST(File, MoveRefusesATakenTargetHereAndAcrossFileSystems) {
    testsupport::TempDir tmp, shm("/dev/shm");  // another file system, where there is one
    testsupport::NativeFileSystem files;
    std::vector<std::string> targets{tmp / "taken.txt"};
    if (!shm.path().empty()) targets.push_back(shm / "taken.txt");
    for (const std::string& target : targets) {
        writeFile(tmp / "a.txt", "mine");
        writeFile(target, "theirs");
        support::CFile a = fileAt(files, tmp / "a.txt");
        EXPECT_EQ(testsupport::errorNumber([&] { a.Move(target); }), 0x80044411u) << target;
        EXPECT_EQ(readFile(target), "theirs");
        std::remove(target.c_str());
        a.Move(target);
        EXPECT_EQ(readFile(target), "mine");
        EXPECT_FALSE(a.Exists());  // the object keeps the old path
    }
}

TEST(File, ContentsPutsCrLfBeforeEachLineAndThePathEndsBeforeTheName) {
    testsupport::TempDir tmp;
    testsupport::NativeFileSystem files;
    const std::pair<std::string, std::string> texts[] = {
        {"", ""},
        {"abc\r\n", "\r\nabc"},
        {"a\nb\r\nc", "\r\na\r\nb\r\nc"},
        {"a\r\n\r\n", "\r\na\r\n"},
        {"a\rb", "\r\na\r\nb"},
    };
    support::CFile f = fileAt(files, tmp / "notes.txt");
    for (const auto& [bytes, contents] : texts) {
        writeFile(tmp / "notes.txt", bytes);
        EXPECT_EQ(f.Contents(), contents) << bytes;
    }
    f.setContents("x\r\ny");
    EXPECT_EQ(readFile(tmp / "notes.txt"), "x\r\ny\r\n");
    EXPECT_EQ(f.FilePath(), tmp.path());  // no separator at its end
    EXPECT_EQ(f.FileName(), "notes.txt");
    EXPECT_EQ(f.FileExt(), "txt");
}
