#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Registry.h"
#include "platform/posix/HiveFormat.h"

namespace fakes {

// An in-memory registry. It can be told to refuse writes the way a hive the
// user may only read does, or to refuse opening altogether.
class FakeRegistry : public platform::IRegistry {
public:
    bool readOnly = false;                  // opens asking for more than reading, creates and writes fail
    bool refuseOpen = false;                // every open and create fails
    std::vector<std::uint32_t> openAccess;  // the access of every openKey call
    bool failQueries = false;               // queryValue throws, as running out of memory would

    long createKey(platform::RegKey root, const std::string& path, std::uint32_t access,
                   platform::RegKey* key) override;
    long openKey(platform::RegKey root, const std::string& path, std::uint32_t access, platform::RegKey* key) override;
    long setValue(platform::RegKey key, const std::string& name, std::uint32_t type,
                  const std::vector<std::uint8_t>& data) override;
    long queryValue(platform::RegKey key, const std::string& name, std::uint32_t* type, std::vector<std::uint8_t>* data,
                    std::uint32_t* size) override;
    long queryInfoKey(platform::RegKey key, std::uint32_t* maxValueNameLength) override;
    long enumValue(platform::RegKey key, std::uint32_t index, std::uint32_t bufferChars, std::string* name) override;
    long deleteValue(platform::RegKey key, const std::string& name) override;
    long deleteKey(platform::RegKey root, const std::string& path) override;
    long closeKey(platform::RegKey key) override;
    std::string notice;  // what takeNotice hands over, once
    std::string takeNotice() override { return std::exchange(notice, {}); }

    // Direct access for tests.
    platform::posix::Hive& hive(platform::RegKey root) { return m_hives[root]; }
    const platform::posix::HiveValue* value(platform::RegKey root, const std::string& path, const std::string& name);
    std::size_t openHandles() const { return m_handles.size(); }

private:
    struct Handle {
        platform::RegKey root;
        std::string path;
        std::uint32_t access;
    };
    platform::posix::HiveKey* keyOf(platform::RegKey key, std::uint32_t needed, long* status);

    std::map<platform::RegKey, platform::posix::Hive> m_hives;
    std::map<platform::RegKey, Handle> m_handles;
    platform::RegKey m_next = 1;
};

}  // namespace fakes
