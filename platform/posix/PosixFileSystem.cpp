#include "platform/posix/PosixFileSystem.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform/posix/Paths.h"

namespace platform::posix {

namespace {

bool writeAllAndClose(int fd, const std::string& data) {
    if (fd < 0) return false;
    std::size_t done = 0;
    bool ok = true;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return ::close(fd) == 0 && ok;
}

}  // namespace

std::string PosixFileSystem::programDirectory() {
    const std::string dir = dataDirectory();
    makeDirectories(dir, 0700);
    return dir;
}

bool PosixFileSystem::truncateFile(const std::string& path) {
    return writeAllAndClose(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600), {});
}

bool PosixFileSystem::appendToFile(const std::string& path, const std::string& data) {
    return writeAllAndClose(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600), data);
}

LocalDateTime SystemClock::now() const {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

void ThreadSleeper::sleep(std::uint32_t milliseconds) {
    timespec left{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

}  // namespace platform::posix
