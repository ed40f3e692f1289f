#pragma once

#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace platform::win {

// Whole-file operations on the ANSI file calls: a read-only file refuses
// writing and deleting, a move refuses an existing target, as the logic
// expects of the platform.
class WinFileSystem : public IFileSystem {
public:
    // %LOCALAPPDATA%\Vexmond: the installed program's own directory is not
    // writable by its users.
    std::string programDirectory() override;
    char separator() const override { return '\\'; }
    bool truncateFile(const std::string& path) override;
    bool appendToFile(const std::string& path, const std::string& data) override;
    bool replaceFile(const std::string& path, const std::string& data) override;
    bool findFirst(const std::string& path, std::uint32_t* attributes) override;
    std::unique_ptr<IReadFile> openForReading(const std::string& path) override;
    bool copyFile(const std::string& from, const std::string& to) override;
    bool moveFile(const std::string& from, const std::string& to) override;
    bool deleteFile(const std::string& path) override;
    std::int64_t fileSize(const std::string& path) override;
    std::string shortPathName(const std::string& path) override;
};

// The local time, and the user's date and time separators.
class WinClock : public IClock {
public:
    LocalDateTime now() const override;
    char dateSeparator() const override;
    char timeSeparator() const override;
};

}  // namespace platform::win
