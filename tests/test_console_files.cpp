// The console's files: the fake, and this platform's backend in a directory of the test's own.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include <filesystem>

#include "tests/fakes/FakeConsoleFiles.h"
#include "tests/support/ConsoleFilesContract.h"
#include "tests/support/NativeFiles.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::kSeparator;

struct FakeSide {
    std::shared_ptr<fakes::FakeDisk> disk = std::make_shared<fakes::FakeDisk>();
    fakes::FakeConsoleFiles files{disk}, other{disk}, closedDirectory;
    FakeSide() { closedDirectory.disk()->writable = false; }

    std::ptrdiff_t filesOf(const std::string& prefix) const {
        return std::ranges::count_if(disk->files, [&](auto& f) { return f.first.starts_with(prefix); });
    }
    bool allPrivate() const { return true; }
    void leaveAbandoned(const std::string& name) { disk->files[name] = {"left", false}; }
    platform::IConsoleFiles& unwritable() { return closedDirectory; }
    bool limitFilesTo(std::int64_t bytes) {
        disk->room = bytes - static_cast<std::int64_t>(disk->files.begin()->second.bytes.size());
        return true;
    }
    void unlimitFiles() { disk->room = std::numeric_limits<std::int64_t>::max(); }
    std::string savePath(const std::string& name) const { return "/home/admin/" + name; }
    std::string saved(const std::string& path) const { return disk->saved.at(path); }
};

struct NativeSide {
    testsupport::TempDir tmp;
    const std::string directory = tmp / "cache";
    testsupport::NativeConsoleFiles files{directory}, other{directory}, closed{tmp / "file" + kSeparator};

    std::ptrdiff_t filesOf(const std::string& prefix) const {
        return std::ranges::count_if(std::filesystem::directory_iterator(directory),
                                     [&](auto& f) { return f.path().filename().string().starts_with(prefix); });
    }
    void leaveAbandoned(const std::string& name) const { testsupport::writeFile(directory + kSeparator + name, "x"); }
    platform::IConsoleFiles& unwritable() {
        testsupport::writeFile(tmp / "file", "a file where the directory would be");
        return closed;
    }
    std::string savePath(const std::string& name) const { return tmp / name; }
    std::string saved(const std::string& path) const { return testsupport::readFile(path); }
#ifdef _WIN32
    bool allPrivate() const { return true; }  // below the user's own profile
    bool limitFilesTo(std::int64_t) { return false; }
    void unlimitFiles() {}
#else
    bool allPrivate() const {
        namespace fs = std::filesystem;
        return fs::status(directory).permissions() == fs::perms::owner_all &&
               std::ranges::all_of(fs::directory_iterator(directory), [](auto& f) {
                   return f.status().permissions() == (fs::perms::owner_read | fs::perms::owner_write);
               });
    }
    // Files may grow to that many bytes: a write past it is refused as a full disk refuses it.
    bool limitFilesTo(std::int64_t bytes) {
        ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_limit);
        const rlimit limit{static_cast<rlim_t>(bytes), m_limit.rlim_max};
        return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    void unlimitFiles() {
        ::setrlimit(RLIMIT_FSIZE, &m_limit);
        ::signal(SIGXFSZ, SIG_DFL);
    }
    rlimit m_limit{};
#endif
};

}  // namespace

using ConsoleFilesSides = ::testing::Types<FakeSide, NativeSide>;
INSTANTIATE_TYPED_TEST_SUITE_P(Files, ConsoleFilesContract, ConsoleFilesSides);
