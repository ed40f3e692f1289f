#pragma once

#include <string>

namespace platform::posix {

// $XDG_CONFIG_HOME/vexmond (default ~/.config/vexmond): the registry hives.
std::string configDirectory();
// $XDG_DATA_HOME/vexmond (default ~/.local/share/vexmond): the program's own
// directory, where the error log and the toolbar layout live.
std::string dataDirectory();

// Creates the directory and any missing parents with the given mode; true
// when it exists afterwards.
bool makeDirectories(const std::string& path, unsigned mode);

}  // namespace platform::posix
