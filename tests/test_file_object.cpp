// CFile over real files in a temporary directory.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/posix/PosixFileSystem.h"
#include "support/AppError.h"
#include "support/CFile.h"
#include "tests/support/Errors.h"
#include "tests/support/TempDir.h"

using support::CFile;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

std::uint32_t errorOf(const std::function<void()>& f) {
    std::string source;
    const std::uint32_t number = testsupport::errorNumber(f, &source);
    if (number) {
        EXPECT_EQ(source, "vexmond.CFile");
    }
    return number;
}

struct FileTest : ::testing::Test {
    testsupport::TempDir tmp;
    platform::posix::PosixFileSystem files;
    CFile at(const std::string& name) {
        CFile f(files);
        f.Init(tmp / name);
        return f;
    }
};

}  // namespace

TEST_F(FileTest, NameParts) {
    struct Case {
        const char* path;
        const char* name;
        const char* ext;
        const char* dir;
    } cases[] = {
        {"/logs/out.txt", "out.txt", "txt", "/logs"},
        {"out.txt", "out.txt", "txt", ""},
        {"/a.txt", "a.txt", "txt", ""},
        {"/logs.d/readme", "readme", "d/readme", "/logs.d"},
        {"/logs/", "", "", "/logs"},
        {"plain", "plain", "", ""},
    };
    for (const auto& c : cases) {
        CFile f(files);
        f.Init(c.path);
        EXPECT_EQ(f.FileName(), c.name) << c.path;
        EXPECT_EQ(f.FileExt(), c.ext) << c.path;
        EXPECT_EQ(f.FilePath(), c.dir) << c.path;
    }
}

TEST_F(FileTest, ContentsExistsAndAttributes) {
    CFile f = at("notes.txt");
    EXPECT_FALSE(f.Exists());
    EXPECT_EQ(errorOf([&] { f.Contents(); }), 0x8004440Fu);
    EXPECT_EQ(errorOf([&] { f.Attributes(); }), 0x8004440Fu);
    f.setContents("abc");
    EXPECT_EQ(readFile(tmp / "notes.txt"), "abc\r\n");
    EXPECT_EQ(f.Contents(), "\r\nabc");
    writeFile(tmp / "notes.txt", "a\nb\r\n\r\nc");
    EXPECT_EQ(f.Contents(), "\r\na\r\nb\r\n\r\nc");
    EXPECT_EQ(f.Size(), 8);

    EXPECT_FALSE(f.ReadOnly());
    chmod((tmp / "notes.txt").c_str(), 0444);
    EXPECT_TRUE(f.ReadOnly());

    struct Probe {
        std::string path;
        bool exists;
    } probes[] = {{tmp.path(), true},
                  {tmp / "*.txt", true},
                  {tmp / "no?es.txt", true},
                  {tmp / "*.log", false},
                  {tmp / "missing", false}};
    for (const auto& p : probes) {
        CFile probe(files);
        probe.Init(p.path);
        EXPECT_EQ(probe.Exists(), p.exists) << p.path;
    }
    CFile dir(files);
    dir.Init(tmp.path());
    EXPECT_TRUE(dir.Attributes() & platform::kAttrDirectory);
    EXPECT_EQ(errorOf([&] { dir.Size(); }), 0x80044413u);  // a directory has no size
    writeFile(tmp / "[x].txt", "1");
    EXPECT_TRUE(at("[x].txt").Exists());  // "[" is part of the name, not a pattern
}

TEST_F(FileTest, CopyMoveAndDelete) {
    writeFile(tmp / "a.txt", "new");
    writeFile(tmp / "b.txt", "old and longer");
    CFile a = at("a.txt");
    a.Copy(tmp / "b.txt");
    EXPECT_EQ(readFile(tmp / "b.txt"), "new");
    EXPECT_EQ(errorOf([&] { a.Copy(""); }), 0x8004440Eu);
    CFile missing = at("missing.txt");
    EXPECT_EQ(errorOf([&] { missing.Copy(tmp / "c.txt"); }), 0x8004440Fu);
    EXPECT_FALSE(at("c.txt").Exists());
    EXPECT_EQ(errorOf([&] { a.Copy(tmp / "no-dir/x.txt"); }), 0x80044410u);

    a.Move(tmp / "moved.txt");
    EXPECT_EQ(a.PathFileName(), tmp / "a.txt");  // the object keeps the old path
    EXPECT_FALSE(a.Exists());
    EXPECT_EQ(readFile(tmp / "moved.txt"), "new");

    CFile moved = at("moved.txt");
    moved.Delete();
    EXPECT_FALSE(moved.Exists());
    EXPECT_EQ(errorOf([&] { moved.Delete(); }), 0x8004440Fu);
}

TEST_F(FileTest, MoveRefusesAnExistingTargetAndDeleteARead_onlyFile) {
    constexpr std::uint32_t kMoveFailed = 0x80044411u, kDeleteFailed = 0x80044412u;
    testsupport::TempDir shm("/dev/shm");  // another file system, where there is one
    struct stat here {
    }, there{};
    const bool otherDevice = ::stat(tmp.path().c_str(), &here) == 0 && ::stat(shm.path().c_str(), &there) == 0 &&
                             here.st_dev != there.st_dev;
    for (const std::string& target : {tmp / "taken.txt", shm / "taken.txt"}) {
        if (target.rfind(shm.path(), 0) == 0 && !otherDevice) continue;
        writeFile(tmp / "a.txt", "mine");
        writeFile(target, "theirs");
        CFile a = at("a.txt");
        EXPECT_EQ(errorOf([&] { a.Move(target); }), kMoveFailed) << target;
        EXPECT_EQ(readFile(target), "theirs");
        EXPECT_EQ(readFile(tmp / "a.txt"), "mine");
        std::remove(target.c_str());
        a.Move(target);  // a free target is fine, across file systems too
        EXPECT_EQ(readFile(target), "mine");
        EXPECT_FALSE(a.Exists());
    }

    writeFile(tmp / "kept.txt", "kept");
    ASSERT_EQ(::chmod((tmp / "kept.txt").c_str(), 0444), 0);
    CFile kept = at("kept.txt");
    EXPECT_EQ(errorOf([&] { kept.Delete(); }), kDeleteFailed);
    EXPECT_TRUE(kept.Exists());
}

TEST_F(FileTest, IdenticalWithComparesInChunks) {
    struct Case {
        std::size_t size;
        bool flipLast;
        std::size_t otherSize;
        bool identical;
    } cases[] = {{0, false, 0, true},         {16384, false, 16384, true}, {16385, false, 16385, true},
                 {16385, true, 16385, false}, {40000, true, 40000, false}, {10, false, 11, false}};
    for (const auto& c : cases) {
        std::string data(c.size, 'x');
        for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i % 251);
        std::string other = data;
        other.resize(c.otherSize, 'y');
        if (c.flipLast) other.back() ^= 1;
        writeFile(tmp / "one", data);
        writeFile(tmp / "two", other);
        EXPECT_EQ(at("one").IdenticalWith(tmp / "two"), c.identical) << c.size;
    }
    EXPECT_TRUE(at("one").IdenticalWith(tmp / "one"));
    EXPECT_EQ(errorOf([&] { at("one").IdenticalWith(tmp / "missing"); }), 0x8004440Fu);
    EXPECT_EQ(errorOf([&] { at("one").IdenticalWith(""); }), 0x8004440Eu);
}
