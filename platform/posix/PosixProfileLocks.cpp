#include "platform/posix/PosixProfileLocks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/posix/Paths.h"
#include "platform/posix/UniqueFd.h"

namespace platform::posix {

namespace {

class Held : public IHeldLock {
public:
    explicit Held(UniqueFd fd) : m_fd(std::move(fd)) {}
    ~Held() override { static_cast<void>(::ftruncate(m_fd.get(), 0)); }

private:
    UniqueFd m_fd;
};

std::string problem(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

PosixProfileLocks::PosixProfileLocks(std::string directory) : m_directory(std::move(directory)) {}

LockAttempt PosixProfileLocks::take(const std::string& name, const std::string& holder) {
    LockAttempt attempt;
    if (!isLockName(name)) {
        attempt.problem = "'" + name + "' cannot name a lock";
        return attempt;
    }
    if (!makeDirectories(m_directory, 0700)) {
        attempt.problem = problem("cannot make the directory", m_directory);
        return attempt;
    }
    const std::string path = m_directory + "/" + name + ".lock";
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        attempt.problem = problem("cannot open the lock file", path);
        return attempt;
    }
    giveToDirectoryOwner(fd.get(), m_directory);
    int locked = 0;
    while ((locked = ::flock(fd.get(), LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {}
    if (locked == 0) {
        const std::string text = lockFileText(static_cast<std::uint32_t>(::getpid()), holder);
        if (::ftruncate(fd.get(), 0) == 0 && ::pwrite(fd.get(), text.data(), text.size(), 0) >= 0)
            attempt.held = std::make_unique<Held>(std::move(fd));
        else
            attempt.problem = problem("cannot write the lock file", path);
        return attempt;
    }
    if (errno != EWOULDBLOCK) {
        attempt.problem = problem("cannot lock", path);
        return attempt;
    }
    // The holder writes its line just after it takes the lock: a moment's wait
    // for it.
    for (int tries = 0; tries < 50 && attempt.holderProcess == 0; ++tries) {
        char text[512];
        const ssize_t n = ::pread(fd.get(), text, sizeof text, 0);
        readLockFileText(std::string_view(text, n > 0 ? static_cast<std::size_t>(n) : 0), attempt);
        if (attempt.holderProcess == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return attempt;
}

}  // namespace platform::posix
