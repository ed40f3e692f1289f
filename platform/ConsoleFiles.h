#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// A private file of the program's own that keeps the console's earlier text.
// While it is open the program holds a system lock on it: a later start tells
// it by that lock from the file of a program that was killed, whatever its
// age. Closing it (destroying the object) removes it.
class IHistoryFile {
public:
    virtual ~IHistoryFile() = default;
    // Writes the bytes whole at the offset, which is at most the file's size,
    // so that what a failed write left past the bytes kept is written over;
    // throws with the system's reason (a full disk) when they were not all written.
    virtual void write(std::int64_t offset, std::string_view bytes) = 0;
    // Exactly count bytes from the offset; throws when the file holds fewer.
    virtual std::string read(std::int64_t offset, std::size_t count) const = 0;
};

// A history file's name: the caller's prefix, then the process that made it
// and a count of its own, which keep the files of several windows apart.
inline std::string historyFileName(const std::string& prefix, unsigned long process, unsigned count) {
    return prefix + std::to_string(process) + "-" + std::to_string(count);
}
inline bool isHistoryFileName(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix)) return false;
    const std::string_view rest = name.substr(prefix.size());
    const std::size_t dash = rest.find('-');
    return dash != 0 && dash != std::string_view::npos && dash + 1 < rest.size() &&
           rest.find_first_not_of("0123456789-") == std::string_view::npos && rest.find('-', dash + 1) == rest.npos;
}

// The directory of those files (the user's cache directory on Linux, the
// program's own directory on Windows), and the files Save writes.
class IConsoleFiles {
public:
    virtual ~IConsoleFiles() = default;
    // A new file of the prefix, readable and writable by the user alone and
    // held until it is closed; throws with the system's reason.
    virtual std::unique_ptr<IHistoryFile> create(const std::string& prefix) = 0;
    // Removes the files of the prefix that no program holds (those of a
    // program that was killed) and returns how many it removed.
    virtual int removeAbandoned(const std::string& prefix) = 0;
    // Writes the parts that nextPart gives, until it gives an empty one, into
    // the file at the path, replacing it; throws with the system's reason.
    virtual void save(const std::string& path, const std::function<std::string()>& nextPart) = 0;
};

}  // namespace platform
