#pragma once

#include <string>

namespace platform {

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
};

}  // namespace platform
