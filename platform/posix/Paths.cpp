#include "platform/posix/Paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform::posix {

namespace {

std::string homeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/tmp";
}

// The XDG base directory of the variable, or HOME + fallback; a relative
// value is invalid by the XDG rules and ignored.
std::string xdgDirectory(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') return value;
    return homeDirectory() + fallback;
}

}  // namespace

std::string configDirectory() { return xdgDirectory("XDG_CONFIG_HOME", "/.config") + "/vexmond"; }

std::string dataDirectory() { return xdgDirectory("XDG_DATA_HOME", "/.local/share") + "/vexmond"; }

bool makeDirectories(const std::string& path, unsigned mode) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makeDirectories(path.substr(0, slash), mode)) return false;
    if (mkdir(path.c_str(), static_cast<mode_t>(mode)) == 0) return true;
    return errno == EEXIST && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace platform::posix
