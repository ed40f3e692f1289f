#pragma once

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Sleeper.h"

namespace platform::posix {

class PosixFileSystem : public IFileSystem {
public:
    std::string programDirectory() override;
    bool truncateFile(const std::string& path) override;
    bool appendToFile(const std::string& path, const std::string& data) override;
};

class SystemClock : public IClock {
public:
    LocalDateTime now() const override;
};

// Sleeps the whole thread, resuming after signals until the time is up.
class ThreadSleeper : public ISleeper {
public:
    void sleep(std::uint32_t milliseconds) override;
};

}  // namespace platform::posix
