#include "tests/fakes/FakeRegistry.h"

#include <algorithm>
#include <new>

using namespace platform;
using namespace platform::posix;

namespace fakes {

namespace {
constexpr std::uint32_t kWriteRights = 0x3E;
bool validRoot(RegKey root) { return root == kHKeyCurrentUser || root == kHKeyLocalMachine; }
}  // namespace

long FakeRegistry::createKey(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) {
    if (!validRoot(root)) return kErrorInvalidHandle;
    if (refuseOpen || readOnly) return kErrorAccessDenied;
    const std::string p = normalizeKeyPath(path);
    if (p.empty()) return kErrorInvalidParameter;
    m_hives[root].ensure(p);
    *key = m_next++;
    m_handles[*key] = Handle{root, p, access};
    return kErrorSuccess;
}

long FakeRegistry::openKey(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) {
    openAccess.push_back(access);
    if (!validRoot(root)) return kErrorInvalidHandle;
    if (refuseOpen) return kErrorAccessDenied;
    const std::string p = normalizeKeyPath(path);
    if (p.empty() || !m_hives[root].find(p)) return kErrorFileNotFound;
    if (readOnly && (access & kWriteRights)) return kErrorAccessDenied;
    *key = m_next++;
    m_handles[*key] = Handle{root, p, access};
    return kErrorSuccess;
}

HiveKey* FakeRegistry::keyOf(RegKey key, std::uint32_t needed, long* status) {
    const auto it = m_handles.find(key);
    if (it == m_handles.end()) {
        *status = kErrorInvalidHandle;
        return nullptr;
    }
    if ((it->second.access & needed) != needed) {
        *status = kErrorAccessDenied;
        return nullptr;
    }
    HiveKey* k = m_hives[it->second.root].find(it->second.path);
    *status = k ? kErrorSuccess : 1018;
    return k;
}

long FakeRegistry::setValue(RegKey key, const std::string& name, std::uint32_t type,
                            const std::vector<std::uint8_t>& data) {
    long st = 0;
    HiveKey* k = keyOf(key, kKeySetValue, &st);
    if (!k) return st;
    if (readOnly) return kErrorAccessDenied;
    platform::posix::setValue(*k, HiveValue{name, type, data, {}});
    return kErrorSuccess;
}

long FakeRegistry::queryValue(RegKey key, const std::string& name, std::uint32_t* type, std::vector<std::uint8_t>* data,
                              std::uint32_t* size) {
    if (failQueries) throw std::bad_alloc();
    long st = 0;
    HiveKey* k = keyOf(key, kKeyQueryValue, &st);
    if (!k) return st;
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

long FakeRegistry::queryInfoKey(RegKey key, std::uint32_t* maxValueNameLength) {
    long st = 0;
    HiveKey* k = keyOf(key, kKeyQueryValue, &st);
    if (!k) return st;
    std::uint32_t longest = 0;
    for (const auto& v : k->values)
        longest = std::max<std::uint32_t>(longest, static_cast<std::uint32_t>(v.name.size()));
    *maxValueNameLength = longest;
    return kErrorSuccess;
}

long FakeRegistry::enumValue(RegKey key, std::uint32_t index, std::uint32_t bufferChars, std::string* name) {
    long st = 0;
    HiveKey* k = keyOf(key, kKeyQueryValue, &st);
    if (!k) return st;
    if (index >= k->values.size()) return kErrorNoMoreItems;
    if (k->values[index].name.size() + 1 > bufferChars) return kErrorMoreData;
    *name = k->values[index].name;
    return kErrorSuccess;
}

long FakeRegistry::deleteValue(RegKey key, const std::string& name) {
    long st = 0;
    HiveKey* k = keyOf(key, kKeySetValue, &st);
    if (!k) return st;
    if (!eraseValue(*k, name)) return kErrorFileNotFound;
    return kErrorSuccess;
}

long FakeRegistry::deleteKey(RegKey root, const std::string& path) {
    if (!validRoot(root)) return kErrorInvalidHandle;
    if (readOnly) return kErrorAccessDenied;
    Hive& h = m_hives[root];
    const std::string p = normalizeKeyPath(path);
    if (!h.find(p)) return kErrorFileNotFound;
    if (h.hasSubkeys(p)) return kErrorAccessDenied;
    h.erase(p);
    return kErrorSuccess;
}

long FakeRegistry::closeKey(RegKey key) { return m_handles.erase(key) ? kErrorSuccess : kErrorInvalidHandle; }

const HiveValue* FakeRegistry::value(RegKey root, const std::string& path, const std::string& name) {
    HiveKey* k = m_hives[root].find(path);
    return k ? findValue(*k, name) : nullptr;
}

}  // namespace fakes
