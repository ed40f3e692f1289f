#pragma once

#include <string>

#include "platform/ConsoleFiles.h"

namespace platform::win {

// The console's files in a directory of the user's own (%LOCALAPPDATA%\Vexmond):
// each history file held with a lock on its handle, shared with no one who
// would delete it, and deleted when its last handle closes, so that Windows
// removes it even when the program is ended from the task manager.
class WinConsoleFiles : public IConsoleFiles {
public:
    explicit WinConsoleFiles(std::string directory) : m_directory(std::move(directory)) {}
    std::unique_ptr<IHistoryFile> create(const std::string& prefix) override;
    int removeAbandoned(const std::string& prefix) override;
    void save(const std::string& path, const std::function<std::string()>& nextPart) override;

private:
    std::string m_directory;
};

}  // namespace platform::win
