// CFile over real files in a temporary directory.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/posix/PosixFileSystem.h"
#include "support/CFile.h"
#include "tests/support/Errors.h"
#include "tests/support/TempDir.h"

using support::CFile;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

constexpr std::uint32_t kNoFile = 0x8004440F, kNoTarget = 0x8004440E;

struct FileTest : ::testing::Test {
    testsupport::TempDir tmp;
    platform::posix::PosixFileSystem files;
    CFile at(const std::string& path) {
        CFile f(files);
        f.Init(path.starts_with("/") ? path : tmp / path);
        return f;
    }
    std::uint32_t errorOf(const std::function<void()>& call) {
        std::string source;
        const std::uint32_t number = testsupport::errorNumber(call, &source);
        EXPECT_TRUE(number == 0 || source == "vexmond.CFile") << source;
        return number;
    }
};

}  // namespace

TEST_F(FileTest, NamePartsAndWhatExists) {
    const char* parts[][4] = {
        {"/logs/out.txt", "out.txt", "txt", "/logs"},
        {"/a.txt", "a.txt", "txt", ""},
        {"/logs.d/readme", "readme", "d/readme", "/logs.d"},
        {"/logs/", "", "", "/logs"},
    };
    for (const auto& p : parts) {
        CFile f = at(p[0]);
        EXPECT_EQ(std::vector<std::string>({f.FileName(), f.FileExt(), f.FilePath()}),
                  std::vector<std::string>({p[1], p[2], p[3]}))
            << p[0];
    }
    writeFile(tmp / "notes.txt", "a\nb\r\n\r\nc");
    writeFile(tmp / "[x].txt", "1");
    const std::pair<std::string, bool> probes[] = {
        {tmp.path(), true},     {tmp / "*.txt", true},    {tmp / "no?es.txt", true},
        {tmp / "*.log", false}, {tmp / "missing", false}, {tmp / "[x].txt", true},  // "[" is no pattern
    };
    for (const auto& [path, exists] : probes) EXPECT_EQ(at(path).Exists(), exists) << path;
    EXPECT_EQ(at("notes.txt").Contents(), "\r\na\r\nb\r\n\r\nc");
    EXPECT_EQ(errorOf([&] { at("missing").Contents(); }), kNoFile);
    EXPECT_EQ(errorOf([&] { at(tmp.path()).Size(); }), 0x80044413u);  // a directory has no size
}

TEST_F(FileTest, CopyMoveAndDeleteNeverDestroyAnotherFile) {
    testsupport::TempDir shm("/dev/shm");  // another file system, where there is one
    struct stat here {
    }, there{};
    const bool otherDevice = ::stat(tmp.path().c_str(), &here) == 0 && ::stat(shm.path().c_str(), &there) == 0 &&
                             here.st_dev != there.st_dev;
    for (const std::string& target : {tmp / "taken.txt", shm / "taken.txt"}) {
        if (target.starts_with(shm.path()) && !otherDevice) continue;
        writeFile(tmp / "a.txt", "mine");
        writeFile(target, "theirs");
        CFile a = at("a.txt");
        EXPECT_EQ(errorOf([&] { a.Move(target); }), 0x80044411u) << target;
        EXPECT_EQ(readFile(target), "theirs");
        std::remove(target.c_str());
        a.Move(target);  // a free target is fine, across file systems too
        EXPECT_EQ(readFile(target), "mine");
        EXPECT_FALSE(a.Exists());  // the object keeps the old path
    }
    writeFile(tmp / "a.txt", "new");
    CFile a = at("a.txt");
    EXPECT_EQ(errorOf([&] { a.Copy(""); }), kNoTarget);
    EXPECT_EQ(errorOf([&] { at("missing.txt").Copy(tmp / "c.txt"); }), kNoFile);
    EXPECT_EQ(errorOf([&] { a.Copy(tmp / "no-dir/x.txt"); }), 0x80044410u);
    a.Copy(tmp / "taken.txt");  // a copy replaces its target, as asked
    EXPECT_EQ(readFile(tmp / "taken.txt"), "new");
    ASSERT_EQ(::chmod((tmp / "a.txt").c_str(), 0444), 0);
    EXPECT_TRUE(a.ReadOnly());
    EXPECT_EQ(errorOf([&] { a.Delete(); }), 0x80044412u);
    EXPECT_TRUE(a.Exists());
    at("taken.txt").Delete();
    EXPECT_EQ(errorOf([&] { at("taken.txt").Delete(); }), kNoFile);
}

TEST_F(FileTest, IdenticalWithComparesInChunks) {
    const struct {
        std::size_t size, otherSize;
        bool flipLast, identical;
    } cases[] = {{0, 0, false, true}, {16385, 16385, false, true}, {16385, 16385, true, false}, {10, 11, false, false}};
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
    EXPECT_EQ(errorOf([&] { at("one").IdenticalWith(tmp / "missing"); }), kNoFile);
}
