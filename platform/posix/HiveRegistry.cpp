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

std::string directoryOf(const std::string& file) {
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : file.substr(0, slash);
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
    // Without blocking, so that a FIFO at the hive's place cannot hang the
    // program; only a regular file is read, and no more of it than its size.
    UniqueFd fd(::open(hiveFile(root).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT) {
            *hive = Hive("", name);
            return kErrorSuccess;
        }
        return statusOf(errno);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return statusOf(errno);
    if (!S_ISREG(st.st_mode)) {
        noticeUnreadable(root, true);
        return kErrorAccessDenied;
    }
    std::string text(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::read(fd.get(), text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return statusOf(errno);
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    text.resize(done);
    *hive = Hive(text, name);
    if (hive->notAHive()) noticeUnreadable(root, false);
    return kErrorSuccess;
}

// A file in the hive's place that is not a hive at all is read as an empty
// hive and, before the first save, moved aside to a dated copy beside it
// (beside the file a symbolic link points to).
std::string HiveRegistry::asideFile(RegKey root) const {
    auto& name = m_asideNames[root];
    if (name.empty()) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
        name = linkTarget(hiveFile(root)) + ".unreadable-" + stamp;
    }
    return name;
}

void HiveRegistry::noticeUnreadable(RegKey root, bool special) const {
    if (!m_noticed.insert(root).second) return;
    if (special)
        m_notice = "The settings file " + hiveFile(root) +
                   " is not a regular file, so Vexmond cannot read or save its settings there and starts from its "
                   "defaults. Remove it or put a settings file in its place.";
    else
        m_notice = "The settings file " + hiveFile(root) +
                   " is not a settings file Vexmond can read, so Vexmond starts from its defaults. Before it saves "
                   "settings it moves the file aside to " +
                   asideFile(root) + "; nothing in it is lost.";
}

std::string HiveRegistry::takeNotice() { return std::exchange(m_notice, {}); }

long HiveRegistry::writable(RegKey root) const {
    if (!rootName(root)) return kErrorInvalidHandle;
    const std::string target = linkTarget(hiveFile(root));
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return kErrorAccessDenied;
        if (!(st.st_mode & S_IWUSR) || ::access(target.c_str(), W_OK) != 0) return kErrorAccessDenied;
    }
    const std::string directory = directoryOf(target);
    if (::stat(directory.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode) || !(st.st_mode & S_IWUSR) || ::access(directory.c_str(), W_OK | X_OK) != 0)
            return kErrorAccessDenied;
    }
    return kErrorSuccess;
}

long HiveRegistry::modifyHive(RegKey root, const std::function<long(Hive&)>& change) {
    if (!rootName(root)) return kErrorInvalidHandle;
    if (!makeDirectories(m_sDirectory, 0700)) return kErrorAccessDenied;
    if (long st = writable(root); st != kErrorSuccess) return st;
    // A hive kept elsewhere behind a symbolic link (dotfiles) is written
    // where the link points, so the link stays a link; the lock is taken
    // there too, so two links to one hive share it.
    const std::string target = linkTarget(hiveFile(root));
    struct stat owner {};
    const bool exists = ::stat(target.c_str(), &owner) == 0;

    UniqueFd lock(::open((target + ".lock").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600));
    if (lock.get() < 0) return statusOf(errno);
    if (exists)
        static_cast<void>(::fchown(lock.get(), owner.st_uid, owner.st_gid));
    else
        giveToDirectoryOwner(lock.get(), directoryOf(target));
    while (::flock(lock.get(), LOCK_EX) != 0)
        if (errno != EINTR) return statusOf(errno);

    Hive hive;
    if (long st = readHive(root, &hive); st != kErrorSuccess) return st;
    const bool notAHive = hive.notAHive();
    const std::string before = hive.text();
    if (long st = change(hive); st != kErrorSuccess) return st;
    const std::string after = hive.text();
    if (after == before && !notAHive) return kErrorSuccess;

    if (notAHive) {
        // One rename that never replaces a file, in the file's own directory:
        // at every moment the file is at one of its two names.
        const std::string aside = asideFile(root);
        if (::renameat2(AT_FDCWD, target.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) != 0)
            return statusOf(errno);
        m_asideNames.erase(root);
    }
    std::string temp = target + ".XXXXXX";
    UniqueFd out(::mkstemp(temp.data()));
    if (out.get() < 0) return statusOf(errno);
    const auto fail = [&temp] {
        const int err = errno;
        ::unlink(temp.c_str());
        return statusOf(err);
    };
    // The file keeps its owner when root replaces it (sudo keeping the user's
    // configuration directory), and a new one is its directory's owner's.
    if (exists && (owner.st_uid != ::geteuid() || owner.st_gid != ::getegid()))
        static_cast<void>(::fchown(out.get(), owner.st_uid, owner.st_gid));
    else if (!exists)
        giveToDirectoryOwner(out.get(), directoryOf(target));
    if (::fchmod(out.get(), 0600) != 0 || !writeAll(out.get(), after) || ::fsync(out.get()) != 0) return fail();
    if (::close(out.release()) != 0 || ::rename(temp.c_str(), target.c_str()) != 0) return fail();
    // Make the rename itself durable before the lock is let go.
    UniqueFd dir(::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
    return kErrorSuccess;
}

RegKey HiveRegistry::addHandle(Handle handle) {
    // Handles count up from 1 and stay clear of the predefined roots.
    while (m_handles.count(m_nextHandle) || m_nextHandle >= kHKeyClassesRoot || m_nextHandle == 0)
        m_nextHandle = m_nextHandle >= kHKeyClassesRoot ? 1 : m_nextHandle + 1;
    const RegKey h = m_nextHandle++;
    m_handles[h] = std::move(handle);
    return h;
}

long HiveRegistry::createKey(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) {
    if (!key) return kErrorInvalidParameter;
    if (!rootName(root)) return kErrorInvalidHandle;
    const std::string normalized = normalizeKeyPath(path);
    if (normalized.empty() || !validName(normalized) || !keyLineReadsBack(rootName(root), normalized))
        return kErrorInvalidParameter;
    if (long st = writable(root); st != kErrorSuccess) return st;
    // The key line is written with the key's first value, in the same write
    // (or at close, for a key given no value): one reading of the file per
    // save, and nothing added to it when the save fails.
    *key = addHandle(Handle{root, normalized, access, true, nullptr});
    return kErrorSuccess;
}

long HiveRegistry::openKey(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) {
    if (!key) return kErrorInvalidParameter;
    if (!rootName(root)) return kErrorInvalidHandle;
    const std::string normalized = normalizeKeyPath(path);
    auto hive = std::make_shared<Hive>();
    if (long st = readHive(root, hive.get()); st != kErrorSuccess) return st;
    if (normalized.empty() || !hive->find(normalized)) return kErrorFileNotFound;
    if ((access & kWriteRights) != 0)
        if (long st = writable(root); st != kErrorSuccess) return st;
    *key = addHandle(Handle{root, normalized, access, false, std::move(hive)});
    return kErrorSuccess;
}

long HiveRegistry::readKey(RegKey key, std::uint32_t needed, const HiveKey** found) {
    const auto it = m_handles.find(key);
    if (it == m_handles.end()) return kErrorInvalidHandle;
    Handle& h = it->second;
    if ((h.access & needed) != needed) return kErrorAccessDenied;
    if (!h.snapshot) {
        auto hive = std::make_shared<Hive>();
        if (long st = readHive(h.root, hive.get()); st != kErrorSuccess) return st;
        h.snapshot = std::move(hive);
    }
    *found = h.snapshot->find(h.path);
    if (!*found && h.created) {
        static const HiveKey kEmpty;
        *found = &kEmpty;  // created, and not written yet
    }
    return *found ? kErrorSuccess : kErrorKeyDeleted;
}

long HiveRegistry::setValue(RegKey key, const std::string& name, std::uint32_t type,
                            const std::vector<std::uint8_t>& data) {
    const auto it = m_handles.find(key);
    if (it == m_handles.end()) return kErrorInvalidHandle;
    Handle& h = it->second;
    if ((h.access & kKeySetValue) == 0) return kErrorAccessDenied;
    if (!validName(name)) return kErrorInvalidParameter;
    h.snapshot.reset();  // the next query reads the file as this write left it
    const long st = modifyHive(h.root, [&](Hive& hive) {
        if (!h.created && !hive.find(h.path)) return kErrorKeyDeleted;
        return hive.setValue(h.path, HiveValue{name, type, data}) ? kErrorSuccess : kErrorInvalidParameter;
    });
    if (st == kErrorSuccess) h.created = false;
    return st;
}

long HiveRegistry::queryValue(RegKey key, const std::string& name, std::uint32_t* type, std::vector<std::uint8_t>* data,
                              std::uint32_t* size) {
    const HiveKey* k = nullptr;
    if (long st = readKey(key, kKeyQueryValue, &k); st != kErrorSuccess) return st;
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
    const HiveKey* k = nullptr;
    if (long st = readKey(key, kKeyQueryValue, &k); st != kErrorSuccess) return st;
    std::uint32_t longest = 0;
    for (const auto& v : k->values)
        longest = std::max<std::uint32_t>(longest, static_cast<std::uint32_t>(v.name.size()));
    if (maxValueNameLength) *maxValueNameLength = longest;
    return kErrorSuccess;
}

long HiveRegistry::enumValue(RegKey key, std::uint32_t index, std::uint32_t bufferChars, std::string* name) {
    const HiveKey* k = nullptr;
    if (long st = readKey(key, kKeyQueryValue, &k); st != kErrorSuccess) return st;
    if (index >= k->values.size()) return kErrorNoMoreItems;
    const std::string& n = k->values[index].name;
    if (n.size() + 1 > bufferChars) return kErrorMoreData;
    if (name) *name = n;
    return kErrorSuccess;
}

long HiveRegistry::deleteValue(RegKey key, const std::string& name) {
    const auto it = m_handles.find(key);
    if (it == m_handles.end()) return kErrorInvalidHandle;
    Handle& h = it->second;
    if ((h.access & kKeySetValue) == 0) return kErrorAccessDenied;
    h.snapshot.reset();
    return modifyHive(h.root, [&](Hive& hive) {
        if (!hive.find(h.path)) return h.created ? kErrorFileNotFound : kErrorKeyDeleted;
        return hive.deleteValue(h.path, name) ? kErrorSuccess : kErrorFileNotFound;
    });
}

long HiveRegistry::deleteKey(RegKey root, const std::string& path) {
    if (!rootName(root)) return kErrorInvalidHandle;
    const std::string normalized = normalizeKeyPath(path);
    if (normalized.empty()) return kErrorAccessDenied;
    return modifyHive(root, [&](Hive& hive) {
        if (!hive.find(normalized)) return kErrorFileNotFound;
        if (hive.hasSubkeys(normalized)) return kErrorAccessDenied;
        hive.deleteKey(normalized);
        return kErrorSuccess;
    });
}

long HiveRegistry::closeKey(RegKey key) {
    const auto it = m_handles.find(key);
    if (it == m_handles.end()) return kErrorInvalidHandle;
    const Handle h = std::move(it->second);
    m_handles.erase(it);
    if (!h.created) return kErrorSuccess;
    return modifyHive(h.root, [&](Hive& hive) {
        hive.createKey(h.path);
        return kErrorSuccess;
    });
}

}  // namespace platform::posix
