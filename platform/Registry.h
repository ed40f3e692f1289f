#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A handle to an open registry key, or one of the predefined roots: pointer
// sized, the roots being the platform's 32-bit numbers sign-extended, as the
// 64-bit Windows headers define them (and as a 32-bit RootKey widens).
using RegKey = std::uintptr_t;

constexpr RegKey predefinedKey(std::uint32_t number) {
    return static_cast<RegKey>(static_cast<std::intptr_t>(static_cast<std::int32_t>(number)));
}
inline constexpr RegKey kHKeyClassesRoot = predefinedKey(0x80000000u);
inline constexpr RegKey kHKeyCurrentUser = predefinedKey(0x80000001u);
inline constexpr RegKey kHKeyLocalMachine = predefinedKey(0x80000002u);

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// Access rights.
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kKeyAllAccess3F = 0x003F;

// Status codes, as the registry functions return them.
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorWriteFault = 29;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;
inline constexpr long kErrorKeyHasChildren = 1020;

// The system registry: a tree of keys holding named values, each a type and
// its exact bytes. Texts (paths, names) are 8-bit, one byte per character.
// Key paths are names joined by "\" below a root; names compare without
// regard to letter case.
class IRegistry {
public:
    virtual ~IRegistry() = default;

    // Opens the key, creating it and every missing key above it.
    virtual long createKey(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) = 0;
    // Opens an existing key; fails when it is missing or the access is refused.
    virtual long openKey(RegKey root, const std::string& path, std::uint32_t access, RegKey* key) = 0;
    virtual long setValue(RegKey key, const std::string& name, std::uint32_t type,
                          const std::vector<std::uint8_t>& data) = 0;
    // With data == nullptr: the value's type and size only. Otherwise *size
    // holds the buffer's capacity on entry (kErrorMoreData when too small),
    // and the bytes written on return.
    virtual long queryValue(RegKey key, const std::string& name, std::uint32_t* type, std::vector<std::uint8_t>* data,
                            std::uint32_t* size) = 0;
    // Length of the longest value name, in characters, without the NUL.
    virtual long queryInfoKey(RegKey key, std::uint32_t* maxValueNameLength) = 0;
    // The name of the value at index (from 0). bufferChars counts the NUL, as
    // the platform's buffer size does; a name that does not fit gives
    // kErrorMoreData, an index past the last value kErrorNoMoreItems.
    virtual long enumValue(RegKey key, std::uint32_t index, std::uint32_t bufferChars, std::string* name) = 0;
    virtual long deleteValue(RegKey key, const std::string& name) = 0;
    // Deletes a key that has no subkeys, with its values.
    virtual long deleteKey(RegKey root, const std::string& path) = 0;
    virtual long closeKey(RegKey key) = 0;
    // Something about the store the user should be told once (a settings
    // file that could not be read and is moved aside); empty when there is
    // nothing, and empty again once taken.
    virtual std::string takeNotice() { return {}; }
    // The root the settings live below unless their caller picks another.
    virtual RegKey settingsRoot() const { return kHKeyLocalMachine; }
};

}  // namespace platform
