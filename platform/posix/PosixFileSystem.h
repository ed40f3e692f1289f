#pragma once

#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace platform::posix {

class PosixFileSystem : public IFileSystem {
public:
    std::string programDirectory() override;
    bool truncateFile(const std::string& path) override;
    bool appendToFile(const std::string& path, const std::string& data) override;
    bool replaceFile(const std::string& path, const std::string& data) override;
    bool findFirst(const std::string& path, std::uint32_t* attributes) override;
    std::unique_ptr<IReadFile> openForReading(const std::string& path) override;
    bool copyFile(const std::string& from, const std::string& to) override;
    bool moveFile(const std::string& from, const std::string& to) override;
    bool deleteFile(const std::string& path) override;
    std::int64_t fileSize(const std::string& path) override;
    // POSIX has no 8.3 names: the path itself.
    std::string shortPathName(const std::string& path) override { return path; }
};

class SystemClock : public IClock {
public:
    LocalDateTime now() const override;
};

}  // namespace platform::posix
