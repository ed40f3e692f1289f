#pragma once

#include <string>

#include "platform/Registry.h"

namespace platform::win {

// The Win32 registry through its ANSI calls: texts are bytes, as on Linux.
//
// A standard user cannot write below HKEY_LOCAL_MACHINE on today's Windows,
// so the settings live at their path below HKEY_CURRENT_USER. A key of the
// user's that does not exist yet falls back to the same path below
// HKEY_LOCAL_MACHINE, or to the copy Windows virtualised for an older
// program there (HKEY_CURRENT_USER\Software\Classes\VirtualStore\MACHINE\...):
// opening it for reading reads that copy, creating it or opening it for
// writing starts it with that copy's values, and deleting the user's key leaves an empty one in its place
// so that the old values do not come back. An earlier installation's
// settings and address history carry over that way. A caller that names
// HKEY_LOCAL_MACHINE gets HKEY_LOCAL_MACHINE.
class WinRegistry : public IRegistry {
public:
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
    RegKey settingsRoot() const override { return kHKeyCurrentUser; }

private:
    // The earlier copy of a user's key, opened for reading, or 0.
    RegKey openFallback(const std::string& path) const;
};

}  // namespace platform::win
