#include "platform/posix/PosixFileSystem.h"

#include <fcntl.h>
#include <glob.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <stdexcept>

#include "platform/posix/Paths.h"
#include "platform/posix/UniqueFd.h"

namespace platform::posix {

namespace {

bool writeAllAndClose(int fd, const std::string& data) {
    if (fd < 0) return false;
    const bool written = writeAll(fd, data);
    return ::close(fd) == 0 && written;
}

// Opens a file for writing, creating it if need be. A file without its
// owner's write bit is read-only and refused, for root too (whom the kernel
// would let write), as deleteFile and the hive refuse it.
int openWritable(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | flags, 0600);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !(st.st_mode & S_IWUSR)) {
        ::close(fd);
        errno = EACCES;
        return -1;
    }
    return fd;
}

}  // namespace

std::string PosixFileSystem::programDirectory() {
    const std::string dir = dataDirectory();
    makeDirectories(dir, 0700);
    return dir;
}

bool PosixFileSystem::truncateFile(const std::string& path) {
    const int fd = openWritable(path, 0);
    if (fd >= 0 && ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return false;
    }
    return writeAllAndClose(fd, {});
}

bool PosixFileSystem::appendToFile(const std::string& path, const std::string& data) {
    return writeAllAndClose(openWritable(path, O_APPEND), data);
}

bool PosixFileSystem::replaceFile(const std::string& path, const std::string& data) {
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = writeAll(fd, data) && ::fsync(fd) == 0;
    if (::close(fd) == 0 && written && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
    ::unlink(temporary.c_str());
    return false;
}

namespace {

class PosixReadFile : public IReadFile {
public:
    explicit PosixReadFile(UniqueFd fd) : m_fd(std::move(fd)) {}
    std::int64_t size() const override {
        struct stat st {};
        if (::fstat(m_fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) throw std::runtime_error("not a regular file");
        return st.st_size;
    }
    std::string read(std::size_t n) override {
        std::string out(n, '\0');
        std::size_t done = 0;
        while (done < n) {
            const ssize_t got = ::read(m_fd.get(), out.data() + done, n - done);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) throw std::runtime_error("read failed");
            if (got == 0) break;
            done += static_cast<std::size_t>(got);
        }
        out.resize(done);
        return out;
    }

private:
    UniqueFd m_fd;
};

// The attribute bits a file search reports for an entry.
std::uint32_t attributesOf(const std::string& path, const struct stat& st) {
    std::uint32_t a = 0;
    if (S_ISDIR(st.st_mode)) a |= kAttrDirectory;
    if (!(st.st_mode & S_IWUSR)) a |= kAttrReadOnly;
    const std::size_t slash = path.find_last_of('/');
    if (path.compare(slash == std::string::npos ? 0 : slash + 1, 1, ".") == 0) a |= kAttrHidden;
    if (!S_ISDIR(st.st_mode)) a |= kAttrArchive;
    return a;
}

}  // namespace

bool PosixFileSystem::findFirst(const std::string& path, std::uint32_t* attributes) {
    std::string found = path;
    if (path.find_first_of("*?") != std::string::npos) {
        // Only "*" and "?" are wildcards, as in a file search: "[" and "\\" are name characters.
        std::string pattern;
        for (char c : path) {
            if (c == '[' || c == ']' || c == '\\') pattern += '\\';
            pattern += c;
        }
        glob_t matches{};
        const int rc = ::glob(pattern.c_str(), GLOB_NOSORT | GLOB_PERIOD, nullptr, &matches);
        if (rc == 0 && matches.gl_pathc > 0) found = matches.gl_pathv[0];
        ::globfree(&matches);
        if (rc != 0) return false;
    }
    struct stat st {};
    if (::stat(found.c_str(), &st) != 0) return false;
    if (attributes) *attributes = attributesOf(found, st);
    return true;
}

std::unique_ptr<IReadFile> PosixFileSystem::openForReading(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return nullptr;
    return std::make_unique<PosixReadFile>(std::move(fd));
}

bool PosixFileSystem::copyFile(const std::string& from, const std::string& to) {
    auto in = openForReading(from);
    if (!in) return false;
    try {
        const std::int64_t size = in->size();
        std::string data = in->read(static_cast<std::size_t>(size));
        return truncateFile(to) && appendToFile(to, data);
    } catch (const std::exception&) {
        return false;
    }
}

bool PosixFileSystem::moveFile(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EINVAL || errno == ENOSYS) {
        // A file system without a no-replace rename: a hard link refuses an existing target too.
        if (::link(from.c_str(), to.c_str()) != 0) return false;
        return ::unlink(from.c_str()) == 0;
    }
    if (errno != EXDEV) return false;
    // Across file systems: copy into a new file only, then remove the original.
    auto in = openForReading(from);
    if (!in) return false;
    try {
        const std::string data = in->read(static_cast<std::size_t>(in->size()));
        if (!writeAllAndClose(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600), data)) {
            if (errno != EEXIST) ::unlink(to.c_str());
            return false;
        }
    } catch (const std::exception&) {
        return false;
    }
    return ::unlink(from.c_str()) == 0;
}

bool PosixFileSystem::deleteFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !(st.st_mode & S_IWUSR)) return false;  // read-only
    return ::unlink(path.c_str()) == 0;
}

std::int64_t PosixFileSystem::fileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return st.st_size;
}

LocalDateTime SystemClock::now() const {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                         local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace platform::posix
