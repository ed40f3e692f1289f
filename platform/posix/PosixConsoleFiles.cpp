#include "platform/posix/PosixConsoleFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "platform/posix/Paths.h"
#include "platform/posix/UniqueFd.h"

namespace platform::posix {

namespace {

[[noreturn]] void failWith(int error, const std::string& what = {}) {
    throw std::runtime_error(what.empty() ? std::strerror(error) : what + ": " + std::strerror(error));
}

class PosixHistoryFile : public IHistoryFile {
public:
    PosixHistoryFile(UniqueFd fd, std::string path) : m_fd(std::move(fd)), m_path(std::move(path)) {}
    // Removed while still held, so that no other start finds it free first.
    ~PosixHistoryFile() override { ::unlink(m_path.c_str()); }

    void write(std::int64_t offset, std::string_view bytes) override {
        struct stat st {};
        if (::fstat(m_fd.get(), &st) != 0) failWith(errno);
        if (offset < 0 || offset > st.st_size) throw std::invalid_argument("a write past the end of the history file");
        while (!bytes.empty()) {
            const ssize_t n = ::pwrite(m_fd.get(), bytes.data(), bytes.size(), offset);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) failWith(n < 0 ? errno : ENOSPC);
            bytes.remove_prefix(static_cast<std::size_t>(n));
            offset += n;
        }
    }

    std::string read(std::int64_t offset, std::size_t count) const override {
        std::string out(count, '\0');
        std::size_t done = 0;
        while (done < count) {
            const ssize_t n =
                ::pread(m_fd.get(), out.data() + done, count - done, offset + static_cast<std::int64_t>(done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) failWith(errno);
            if (n == 0) throw std::out_of_range("the history file holds fewer bytes than asked for");
            done += static_cast<std::size_t>(n);
        }
        return out;
    }

private:
    UniqueFd m_fd;
    std::string m_path;
};

std::atomic<unsigned> g_created{0};

}  // namespace

std::unique_ptr<IHistoryFile> PosixConsoleFiles::create(const std::string& prefix) {
    if (!makeDirectories(m_directory, 0700)) failWith(errno, m_directory);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path =
            m_directory + "/" + historyFileName(prefix, static_cast<unsigned long>(::getpid()), ++g_created);
        UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (fd.get() < 0) {
            if (errno == EEXIST) continue;
            failWith(errno, m_directory);
        }
        // A start that cleans up may have taken the new file for an
        // abandoned one between its creation and the lock: then it is
        // gone, or about to be, and another name is tried.
        struct stat held {
        }, named{};
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 || ::fstat(fd.get(), &held) != 0 ||
            ::stat(path.c_str(), &named) != 0 || held.st_ino != named.st_ino || held.st_dev != named.st_dev)
            continue;
        ::fchmod(fd.get(), 0600);  // whatever the umask
        return std::make_unique<PosixHistoryFile>(std::move(fd), path);
    }
    failWith(EEXIST, m_directory);
}

int PosixConsoleFiles::removeAbandoned(const std::string& prefix) {
    DIR* dir = ::opendir(m_directory.c_str());
    if (!dir) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!isHistoryFileName(name, prefix)) continue;
        const std::string path = m_directory + "/" + std::string(name);
        const UniqueFd fd(::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        if (fd.get() >= 0 && ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0 && ::unlink(path.c_str()) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

void PosixConsoleFiles::save(const std::string& path, const std::function<std::string()>& nextPart) {
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0) failWith(errno);
    for (std::string part = nextPart(); !part.empty(); part = nextPart())
        if (!writeAll(fd.get(), part)) failWith(errno);
    if (::close(fd.release()) != 0) failWith(errno);
}

}  // namespace platform::posix
