#pragma once

#include <cstdint>
#include <string>

#include "platform/FileSystem.h"

namespace support {

// One file named by a path: questions about it and whole-file operations.
// Every query goes to the file system when asked; nothing is cached.
class CFile {
public:
    static constexpr std::int32_t kErrNotInitialized = 17421;
    static constexpr std::int32_t kErrInvalidFileName = 17422;
    static constexpr std::int32_t kErrFileNotFound = 17423;
    static constexpr std::int32_t kErrCopyFailed = 17424;
    static constexpr std::int32_t kErrMoveFailed = 17425;
    static constexpr std::int32_t kErrDeleteFailed = 17426;
    static constexpr std::int32_t kErrComponentFailure = 17427;
    static constexpr std::size_t kChunk = 16384;

    explicit CFile(platform::IFileSystem& files) : m_files(files) {}

    void Init(const std::string& pathFileName);
    const std::string& PathFileName() const { return m_sPathFileName; }
    void setPathFileName(const std::string& value);

    std::uint32_t Attributes();
    std::string Contents();
    void setContents(const std::string& value);
    std::string FileName();
    std::string FileExt();
    std::string FilePath();
    bool ReadOnly();
    std::string ShortFileName();
    std::int32_t Size();
    void Copy(const std::string& newFileName);
    void Delete();
    bool Exists();
    bool IdenticalWith(const std::string& referenceFileName);
    void Move(const std::string& newFileName);

private:
    bool FileExists(const std::string& path);
    void requireInit() const;
    void requireExists();
    std::unique_ptr<platform::IReadFile> openExisting();
    void transfer(const std::string& newFileName,
                  bool (platform::IFileSystem::*operation)(const std::string&, const std::string&),
                  std::int32_t failure);
    std::string name() const;

    platform::IFileSystem& m_files;
    std::string m_sPathFileName;
};

}  // namespace support
