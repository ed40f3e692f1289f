#include "platform/win/WinRegistry.h"

#include <windows.h>

#include <algorithm>

namespace platform::win {

namespace {

HKEY handleOf(RegKey key) { return reinterpret_cast<HKEY>(key); }
RegKey keyOf(HKEY key) { return reinterpret_cast<RegKey>(key); }

constexpr std::uint32_t kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE;

bool exists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Every value of one key into another, with its type and exact bytes.
long copyValues(HKEY from, HKEY to) {
    DWORD count = 0, longestName = 0, longestData = 0;
    long rc = RegQueryInfoKeyA(from, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName,
                               &longestData, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    std::string name(longestName + 1, '\0');
    std::vector<BYTE> data(longestData + 1);
    for (DWORD i = 0; i < count; ++i) {
        DWORD nameChars = static_cast<DWORD>(name.size()), size = static_cast<DWORD>(data.size()), type = 0;
        rc = RegEnumValueA(from, i, name.data(), &nameChars, nullptr, &type, data.data(), &size);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) return rc;
        rc = RegSetValueExA(to, name.c_str(), 0, type, data.data(), size);
        if (rc != ERROR_SUCCESS) return rc;
    }
    return ERROR_SUCCESS;
}

}  // namespace

RegKey WinRegistry::openFallback(const std::string& path) const {
    const std::pair<HKEY, std::string> places[] = {
        {HKEY_LOCAL_MACHINE, path},
        {HKEY_CURRENT_USER, "Software\\Classes\\VirtualStore\\MACHINE\\" + path},
    };
    for (const auto& [root, where] : places) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, where.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) return keyOf(key);
    }
    return 0;
}

long WinRegistry::createKey(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) {
    const bool user = root == kHKeyCurrentUser;
    const bool isNew = user && !exists(HKEY_CURRENT_USER, path);
    HKEY created = nullptr;
    long rc = RegCreateKeyExA(handleOf(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                              &created, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    if (isNew) {
        if (const RegKey earlier = openFallback(path)) {
            HKEY writer = nullptr;
            rc = RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &writer);
            if (rc == ERROR_SUCCESS) {
                rc = copyValues(handleOf(earlier), writer);
                RegCloseKey(writer);
            }
            RegCloseKey(handleOf(earlier));
            if (rc != ERROR_SUCCESS) {
                // Half a copy would hide the rest of the earlier values for good.
                RegCloseKey(created);
                RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
                return rc;
            }
        }
    }
    *key = keyOf(created);
    return ERROR_SUCCESS;
}

long WinRegistry::openKey(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) {
    HKEY opened = nullptr;
    const long rc = RegOpenKeyExA(handleOf(root), path.c_str(), 0, access, &opened);
    if (rc == ERROR_SUCCESS) {
        *key = keyOf(opened);
        return rc;
    }
    if (rc != ERROR_FILE_NOT_FOUND || root != kHKeyCurrentUser) return rc;
    const RegKey earlier = openFallback(path);
    if (!earlier) return rc;
    if (!(access & kWriteRights)) {
        *key = earlier;
        return ERROR_SUCCESS;
    }
    // A change to the earlier copy is made to the user's own, which starts as it.
    RegCloseKey(handleOf(earlier));
    return createKey(root, path, access, key);
}

long WinRegistry::setValue(RegKey key, const std::string& name, std::uint32_t type,
                           const std::vector<std::uint8_t>& data) {
    return RegSetValueExA(handleOf(key), name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
}

long WinRegistry::queryValue(RegKey key, const std::string& name, std::uint32_t* type, std::vector<std::uint8_t>* data,
                             std::uint32_t* size) {
    DWORD valueType = 0, bytes = 0;
    long rc = 0;
    if (data == nullptr) {
        rc = RegQueryValueExA(handleOf(key), name.c_str(), nullptr, &valueType, nullptr, &bytes);
    } else {
        // The capacity is the smaller of the two: nothing is written past the buffer.
        bytes = size ? std::min<DWORD>(*size, static_cast<DWORD>(data->size())) : 0;
        rc = RegQueryValueExA(handleOf(key), name.c_str(), nullptr, &valueType, data->data(), &bytes);
    }
    if (type) *type = valueType;
    if (size) *size = bytes;
    return rc;
}

long WinRegistry::queryInfoKey(RegKey key, std::uint32_t* maxValueNameLength) {
    DWORD longest = 0;
    const long rc = RegQueryInfoKeyA(handleOf(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     &longest, nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS && maxValueNameLength) *maxValueNameLength = longest;
    return rc;
}

long WinRegistry::enumValue(RegKey key, std::uint32_t index, std::uint32_t bufferChars, std::string* name) {
    std::string buffer(bufferChars + 1, '\0');
    DWORD chars = bufferChars;
    const long rc = RegEnumValueA(handleOf(key), index, buffer.data(), &chars, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS && name) *name = buffer.substr(0, chars);
    return rc;
}

long WinRegistry::deleteValue(RegKey key, const std::string& name) {
    return RegDeleteValueA(handleOf(key), name.c_str());
}

long WinRegistry::deleteKey(RegKey root, const std::string& path) {
    const bool user = root == kHKeyCurrentUser;
    long rc = RegDeleteKeyA(handleOf(root), path.c_str());
    if (!user || (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)) return rc;
    const RegKey earlier = openFallback(path);
    if (!earlier) return rc;
    RegCloseKey(handleOf(earlier));
    // The earlier copy would be read again: an empty key of the user's hides it.
    HKEY empty = nullptr;
    const long hidden = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_QUERY_VALUE, nullptr, &empty, nullptr);
    if (hidden != ERROR_SUCCESS) return hidden;
    RegCloseKey(empty);
    return ERROR_SUCCESS;
}

long WinRegistry::closeKey(RegKey key) { return RegCloseKey(handleOf(key)); }

}  // namespace platform::win
