#pragma once

#include <string>

namespace platform::posix {

// $XDG_CONFIG_HOME/vexmond (default ~/.config/vexmond): the registry hives
// and the profiles' locks.
std::string configDirectory();
// $XDG_DATA_HOME/vexmond (default ~/.local/share/vexmond): the program's own
// directory, where the error log and the toolbar layout live.
std::string dataDirectory();
// $XDG_CACHE_HOME/vexmond (default ~/.cache/vexmond): the console's history
// files, which nothing needs once the program has gone.
std::string cacheDirectory();

// The system service's account, and its state directory: the service's
// store and own directory alike.
inline constexpr const char* kSystemAccount = "vexmond";
inline constexpr const char* kSystemDirectory = "/var/lib/vexmond";

// From now on both directories above are kSystemDirectory. Run by root, the
// directory is made for the account (0700) and, with `becomeAccount`, the
// process goes on as the account. Why that could not be done, or empty.
std::string useSystemDirectory(bool becomeAccount);

// A file that root makes in a directory of another owner is given to that
// owner, as though the owner had made it (root configuring a user's or the
// system account's store).
void giveToDirectoryOwner(int fd, const std::string& directory);

// Creates the directory and any missing parents with the given mode; true
// when it exists afterwards.
bool makeDirectories(const std::string& path, unsigned mode);

}  // namespace platform::posix
