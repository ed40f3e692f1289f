#include "platform/posix/HiveRegistry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <utility>

#include "platform/posix/Paths.h"
#include "platform/posix/UniqueFd.h"

namespace platform::posix {

namespace {

constexpr std::uint32_t kWriteRights = 0x003E;  // set value, create subkey, enumerate, notify, link
constexpr long kErrorKeyDeleted = 1018;

const char* rootName(RegKey root) {
    switch (root) {
    case kHKeyCurrentUser: return "HKEY_CURRENT_USER";
    case kHKeyLocalMachine: return "HKEY_LOCAL_MACHINE";
    default: return nullptr;
    }
}

long statusOf(int err) {
    switch (err) {
    case EACCES:
    case EPERM:
    case EROFS: return kErrorAccessDenied;
    case ENOENT: return kErrorFileNotFound;
    default: return kErrorWriteFault;
    }
}

// Names may hold any byte but the ones that would break a line of the hive.
bool validName(const std::string& s) {
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) return false;
    }
    return true;
}

// The file a path names once symbolic links are followed (a dangling link
// names the file it would create); the path itself when it is no link.
std::string linkTarget(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 16; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n <= 0) return current;
        link.resize(static_cast<std::size_t>(n));
        if (link[0] != '/') {
            const std::size_t slash = current.rfind('/');
            link = (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) + link;
        }
        current = link;
    }
    return current;
}

}  // namespace

HiveRegistry::HiveRegistry(std::string directory) : m_sDirectory(std::move(directory)) {}

std::string HiveRegistry::hiveFile(RegKey root) const {
    switch (root) {
    case kHKeyCurrentUser: return m_sDirectory + "/user.reg";
    case kHKeyLocalMachine: return m_sDirectory + "/system.reg";
    default: return {};
    }
}

long HiveRegistry::readHive(RegKey root, Hive* hive) const {
    const char* name = rootName(root);
    if (!name) return kErrorInvalidHandle;
    UniqueFd fd(::open(hiveFile(root).c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT) {
            *hive = Hive{};
            return kErrorSuccess;
        }
        return statusOf(errno);
    }
    std::string text;
    char buf[65536];
    while (true) {
        const ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return statusOf(errno);
        }
        if (n == 0) break;
        text.append(buf, static_cast<std::size_t>(n));
    }
    *hive = parseHive(text, name);
    if (hive->notAHive) noticeUnreadable(root);
    return kErrorSuccess;
}

// A file in the hive's place that is not a hive at all is read as an empty
// hive and, before the first save, moved aside to a dated copy beside it.
std::string HiveRegistry::asideFile(RegKey root) const {
    auto& name = m_asideNames[root];
    if (name.empty()) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
        name = hiveFile(root) + ".unreadable-" + stamp;
    }
    return name;
}

void HiveRegistry::noticeUnreadable(RegKey root) const {
    if (!m_noticed.insert(root).second) return;
    m_notice = "The settings file " + hiveFile(root) +
               " is not a settings file Vexmond can read, so Vexmond starts from its defaults. Before it saves "
               "settings it moves the file aside to " +
               asideFile(root) + "; nothing in it is lost.";
}

std::string HiveRegistry::takeNotice() { return std::exchange(m_notice, {}); }

long HiveRegistry::writable(RegKey root) const {
    if (!rootName(root)) return kErrorInvalidHandle;
    const std::string file = hiveFile(root);
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0) {
        if (!(st.st_mode & S_IWUSR) || ::access(file.c_str(), W_OK) != 0) return kErrorAccessDenied;
    }
    if (::stat(m_sDirectory.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode) || !(st.st_mode & S_IWUSR) || ::access(m_sDirectory.c_str(), W_OK | X_OK) != 0)
            return kErrorAccessDenied;
    }
    return kErrorSuccess;
}

long HiveRegistry::modifyHive(RegKey root, const std::function<long(Hive&)>& change) {
    if (long st = writable(root); st != kErrorSuccess) return st;
    if (!makeDirectories(m_sDirectory, 0700)) return kErrorAccessDenied;
    const std::string file = hiveFile(root);

    UniqueFd lock(::open((file + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.get() < 0) return statusOf(errno);
    while (::flock(lock.get(), LOCK_EX) != 0)
        if (errno != EINTR) return statusOf(errno);

    Hive hive;
    if (long st = readHive(root, &hive); st != kErrorSuccess) return st;
    const std::string before = writeHive(hive, rootName(root));
    if (long st = change(hive); st != kErrorSuccess) return st;
    const std::string after = writeHive(hive, rootName(root));
    if (after == before && !hive.notAHive) return kErrorSuccess;

    // A hive kept elsewhere behind a symbolic link (dotfiles) is written
    // where the link points, so the link stays a link.
    const std::string target = linkTarget(file);
    if (hive.notAHive) {
        const std::string aside = asideFile(root);
        if (::link(target.c_str(), aside.c_str()) != 0 || ::unlink(target.c_str()) != 0) return statusOf(errno);
        m_asideNames.erase(root);
    }
    const std::string temp = target + ".tmp";
    UniqueFd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (out.get() < 0) return statusOf(errno);
    if (::fchmod(out.get(), 0600) != 0 || !writeAll(out.get(), after) || ::fsync(out.get()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return statusOf(err);
    }
    if (::close(out.release()) != 0 || ::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return statusOf(err);
    }
    // Make the rename itself durable before the lock is let go.
    const std::size_t slash = target.rfind('/');
    const std::string targetDirectory = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    UniqueFd dir(::open(targetDirectory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
    return kErrorSuccess;
}

RegKey HiveRegistry::addHandle(RegKey root, std::string path, std::uint32_t access) {
    // Handles count up from 1 and stay clear of the predefined roots.
    while (m_handles.count(m_nextHandle) || m_nextHandle >= kHKeyClassesRoot || m_nextHandle == 0)
        m_nextHandle = m_nextHandle >= kHKeyClassesRoot ? 1 : m_nextHandle + 1;
    const RegKey h = m_nextHandle++;
    m_handles[h] = Handle{root, std::move(path), access};
    return h;
}

long HiveRegistry::createKey(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) {
    if (!key) return kErrorInvalidParameter;
    if (!rootName(root)) return kErrorInvalidHandle;
    const std::string normalized = normalizeKeyPath(path);
    if (normalized.empty() || !validName(normalized)) return kErrorInvalidParameter;
    const long st = modifyHive(root, [&](Hive& hive) {
        hive.ensure(normalized);
        return kErrorSuccess;
    });
    if (st != kErrorSuccess) return st;
    *key = addHandle(root, normalized, access);
    return kErrorSuccess;
}

long HiveRegistry::openKey(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) {
    if (!key) return kErrorInvalidParameter;
    if (!rootName(root)) return kErrorInvalidHandle;
    const std::string normalized = normalizeKeyPath(path);
    Hive hive;
    if (long st = readHive(root, &hive); st != kErrorSuccess) return st;
    if (normalized.empty() || !hive.find(normalized)) return kErrorFileNotFound;
    if ((access & kWriteRights) != 0)
        if (long st = writable(root); st != kErrorSuccess) return st;
    *key = addHandle(root, normalized, access);
    return kErrorSuccess;
}

long HiveRegistry::readKey(RegKey key, std::uint32_t needed, Hive* hive, HiveKey** found) const {
    const auto it = m_handles.find(key);
    if (it == m_handles.end()) return kErrorInvalidHandle;
    if ((it->second.access & needed) != needed) return kErrorAccessDenied;
    if (long st = readHive(it->second.root, hive); st != kErrorSuccess) return st;
    *found = hive->find(it->second.path);
    return *found ? kErrorSuccess : kErrorKeyDeleted;
}

long HiveRegistry::setValue(RegKey key, const std::string& name, std::uint32_t type,
                            const std::vector<std::uint8_t>& data) {
    const auto it = m_handles.find(key);
    if (it == m_handles.end()) return kErrorInvalidHandle;
    if ((it->second.access & kKeySetValue) == 0) return kErrorAccessDenied;
    if (!validName(name)) return kErrorInvalidParameter;
    const std::string path = it->second.path;
    return modifyHive(it->second.root, [&](Hive& hive) {
        HiveKey* k = hive.find(path);
        if (!k) return kErrorKeyDeleted;
        posix::setValue(*k, HiveValue{name, type, data, {}});
        return kErrorSuccess;
    });
}

long HiveRegistry::queryValue(RegKey key, const std::string& name, std::uint32_t* type, std::vector<std::uint8_t>* data,
                              std::uint32_t* size) {
    Hive hive;
    HiveKey* k = nullptr;
    if (long st = readKey(key, kKeyQueryValue, &hive, &k); st != kErrorSuccess) return st;
    const HiveValue* v = findValue(*k, name);
    if (!v) return kErrorFileNotFound;
    if (type) *type = v->type;
    const auto bytes = static_cast<std::uint32_t>(v->data.size());
    if (data) {
        if (!size || *size < bytes || data->size() < bytes) {
            if (size) *size = bytes;
            return kErrorMoreData;
        }
        std::copy(v->data.begin(), v->data.end(), data->begin());
    }
    if (size) *size = bytes;
    return kErrorSuccess;
}

long HiveRegistry::queryInfoKey(RegKey key, std::uint32_t* maxValueNameLength) {
    Hive hive;
    HiveKey* k = nullptr;
    if (long st = readKey(key, kKeyQueryValue, &hive, &k); st != kErrorSuccess) return st;
    std::uint32_t longest = 0;
    for (const auto& v : k->values)
        longest = std::max<std::uint32_t>(longest, static_cast<std::uint32_t>(v.name.size()));
    if (maxValueNameLength) *maxValueNameLength = longest;
    return kErrorSuccess;
}

long HiveRegistry::enumValue(RegKey key, std::uint32_t index, std::uint32_t bufferChars, std::string* name) {
    Hive hive;
    HiveKey* k = nullptr;
    if (long st = readKey(key, kKeyQueryValue, &hive, &k); st != kErrorSuccess) return st;
    if (index >= k->values.size()) return kErrorNoMoreItems;
    const std::string& n = k->values[index].name;
    if (n.size() + 1 > bufferChars) return kErrorMoreData;
    if (name) *name = n;
    return kErrorSuccess;
}

long HiveRegistry::deleteValue(RegKey key, const std::string& name) {
    const auto it = m_handles.find(key);
    if (it == m_handles.end()) return kErrorInvalidHandle;
    if ((it->second.access & kKeySetValue) == 0) return kErrorAccessDenied;
    const std::string path = it->second.path;
    return modifyHive(it->second.root, [&](Hive& hive) {
        HiveKey* k = hive.find(path);
        if (!k) return kErrorKeyDeleted;
        return eraseValue(*k, name) ? kErrorSuccess : kErrorFileNotFound;
    });
}

long HiveRegistry::deleteKey(RegKey root, const std::string& path) {
    if (!rootName(root)) return kErrorInvalidHandle;
    const std::string normalized = normalizeKeyPath(path);
    if (normalized.empty()) return kErrorAccessDenied;
    Hive current;
    if (long st = readHive(root, &current); st != kErrorSuccess) return st;
    if (!current.find(normalized)) return kErrorFileNotFound;
    return modifyHive(root, [&](Hive& hive) {
        if (!hive.find(normalized)) return kErrorFileNotFound;
        if (hive.hasSubkeys(normalized)) return kErrorAccessDenied;
        hive.erase(normalized);
        return kErrorSuccess;
    });
}

long HiveRegistry::closeKey(RegKey key) { return m_handles.erase(key) ? kErrorSuccess : kErrorInvalidHandle; }

}  // namespace platform::posix
