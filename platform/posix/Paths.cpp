#include "platform/posix/Paths.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform::posix {

namespace {

bool g_system = false;

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

std::string configDirectory() {
    return g_system ? kSystemDirectory : xdgDirectory("XDG_CONFIG_HOME", "/.config") + "/vexmond";
}

std::string dataDirectory() {
    return g_system ? kSystemDirectory : xdgDirectory("XDG_DATA_HOME", "/.local/share") + "/vexmond";
}

std::string useSystemDirectory(bool becomeAccount) {
    g_system = true;
    if (::geteuid() != 0) return {};
    const passwd* account = ::getpwnam(kSystemAccount);
    if (!account)
        return std::string("there is no account ") + kSystemAccount +
               " on this system (installing the package vexmond-service makes it)";
    const uid_t uid = account->pw_uid;
    const gid_t gid = account->pw_gid;
    if (!makeDirectories(kSystemDirectory, 0700) || ::chown(kSystemDirectory, uid, gid) != 0)
        return std::string("the directory ") + kSystemDirectory + " cannot be made for " + kSystemAccount + ": " +
               std::strerror(errno);
    if (becomeAccount && (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0))
        return std::string("cannot run as ") + kSystemAccount + ": " + std::strerror(errno);
    return {};
}

void giveToDirectoryOwner(int fd, const std::string& directory) {
    struct stat dir {};
    if (::geteuid() == 0 && ::stat(directory.c_str(), &dir) == 0 && dir.st_uid != 0)
        static_cast<void>(::fchown(fd, dir.st_uid, dir.st_gid));
}

std::string cacheDirectory() { return xdgDirectory("XDG_CACHE_HOME", "/.cache") + "/vexmond"; }

bool makeDirectories(const std::string& path, unsigned mode) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makeDirectories(path.substr(0, slash), mode)) return false;
    if (mkdir(path.c_str(), static_cast<mode_t>(mode)) == 0) return true;
    return errno == EEXIST && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace platform::posix
