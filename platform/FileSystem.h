#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// File attribute bits, as the file search reports them.
inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;
inline constexpr std::uint32_t kAttrNormal = 0x80;

// A file open for reading raw bytes.
class IReadFile {
public:
    virtual ~IReadFile() = default;
    virtual std::int64_t size() const = 0;
    // Reads exactly n bytes (fewer only at the end); throws on failure.
    virtual std::string read(std::size_t n) = 0;
};

// Whole-file operations on 8-bit paths and contents. Each opens and closes
// the file; failures come back as false.
class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // The program's own directory (where its log and layout file live),
    // created when missing. Without a trailing separator.
    virtual std::string programDirectory() = 0;
    virtual char separator() const { return '/'; }
    // Creates the file empty, or cuts it to length 0.
    virtual bool truncateFile(const std::string& path) = 0;
    // Appends to the file, creating it when missing.
    virtual bool appendToFile(const std::string& path, const std::string& data) = 0;
    // Writes the file whole: beside it first, then moved over it, so that a
    // failure (or a crash) leaves the old file.
    virtual bool replaceFile(const std::string& path, const std::string& data) = 0;

    // The first entry that matches the path (a file, a directory, or with
    // "*" and "?" any match of the pattern): its attribute bits.
    virtual bool findFirst(const std::string& path, std::uint32_t* attributes) = 0;
    // Opens for reading; nullptr when the file cannot be opened.
    virtual std::unique_ptr<IReadFile> openForReading(const std::string& path) = 0;
    virtual bool copyFile(const std::string& from, const std::string& to) = 0;  // replaces the target
    // Refuses a target that exists, as the platform's move does.
    virtual bool moveFile(const std::string& from, const std::string& to) = 0;
    // Refuses a read-only file, as the platform's delete does.
    virtual bool deleteFile(const std::string& path) = 0;
    // The size in bytes, also of a file that may not be read; -1 when unknown.
    virtual std::int64_t fileSize(const std::string& path) = 0;
    // The short (8.3) form of a path; empty when there is none.
    virtual std::string shortPathName(const std::string& path) = 0;
};

}  // namespace platform
