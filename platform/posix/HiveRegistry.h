#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/Registry.h"
#include "platform/posix/HiveFormat.h"

namespace platform::posix {

// The registry kept as REGEDIT4 hive files, one per root, in one directory:
// HKEY_LOCAL_MACHINE in system.reg, HKEY_CURRENT_USER in user.reg.
//
// Nothing is cached between calls: a key opened for reading reads the file
// once, and its queries answer from that one reading until it is closed;
// another process sees each write at once. Every write is read-modify-write
// under an exclusive flock on "<hive>.lock" beside the file that is replaced
// (where a symbolic link points), written to a temporary file of a unique
// name in that directory, flushed and renamed over the hive, so a crash
// leaves the old or the new hive and two writers lose nothing. A write
// changes only the lines of the value it sets (see Hive). The directory is
// made 0700 and the hives 0600: they hold the rcon password. A hive replaced
// by another user (root, through sudo) keeps its owner; one root makes is
// its directory's owner's.
//
// A hive that the user may not write (no write permission, or its owner's
// write bit cleared, which holds even for root) refuses every open that asks
// for more than reading. Anything but a regular file at the hive's place (a
// FIFO, a device) is neither read nor written nor moved, and the user is told
// once.
class HiveRegistry : public IRegistry {
public:
    explicit HiveRegistry(std::string directory);

    long createKey(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) override;
    long openKey(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) override;
    long setValue(RegKey key, const std::string& name, std::uint32_t type,
                  const std::vector<std::uint8_t>& data) override;
    long queryValue(RegKey key, const std::string& name, std::uint32_t* type, std::vector<std::uint8_t>* data,
                    std::uint32_t* size) override;
    long queryInfoKey(RegKey key, std::uint32_t* maxValueNameLength) override;
    long enumValue(RegKey key, std::uint32_t index, std::uint32_t bufferChars, std::string* name) override;
    long deleteValue(RegKey key, const std::string& name) override;
    long deleteKey(RegKey root, const std::string& path) override;
    long closeKey(RegKey key) override;
    std::string takeNotice() override;

    const std::string& directory() const { return m_sDirectory; }
    std::string hiveFile(RegKey root) const;  // empty for a root without a hive

private:
    struct Handle {
        RegKey root;
        std::string path;
        std::uint32_t access;
        bool created = false;  // by createKey: its key line is written with its first value, or at close
        std::shared_ptr<const Hive> snapshot;  // the one reading the key's queries answer from
    };

    long readHive(RegKey root, Hive* hive) const;
    long writable(RegKey root) const;
    long modifyHive(RegKey root, const std::function<long(Hive&)>& change);
    long readKey(RegKey key, std::uint32_t needed, const HiveKey** found);
    RegKey addHandle(Handle handle);
    std::string asideFile(RegKey root) const;
    void noticeUnreadable(RegKey root, bool special) const;

    std::string m_sDirectory;
    std::map<RegKey, Handle> m_handles;
    RegKey m_nextHandle = 1;
    // Reading is const but may find a file that is not a hive: the user is
    // told once per root, and its dated copy keeps one name until it is made.
    mutable std::map<RegKey, std::string> m_asideNames;
    mutable std::set<RegKey> m_noticed;
    mutable std::string m_notice;
};

}  // namespace platform::posix
