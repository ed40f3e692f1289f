#pragma once

#include <string>

#include "platform/ConsoleFiles.h"

namespace platform::posix {

// The console's files in a directory of the user's own (made mode 0700 when
// first needed): each history file mode 0600, held with flock(2), which the
// kernel lets go when its process ends however it ends.
class PosixConsoleFiles : public IConsoleFiles {
public:
    explicit PosixConsoleFiles(std::string directory) : m_directory(std::move(directory)) {}
    std::unique_ptr<IHistoryFile> create(const std::string& prefix) override;
    int removeAbandoned(const std::string& prefix) override;
    void save(const std::string& path, const std::function<std::string()>& nextPart) override;

private:
    std::string m_directory;
};

}  // namespace platform::posix
