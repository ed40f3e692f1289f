#include "settings/CAppSettings.h"

#include <algorithm>
#include <limits>

#include "base/AppError.h"
#include "base/ErrorTable.h"
#include "base/Bytes.h"
#include "support/RegKeyHandle.h"

namespace settings {

using base::AppError;
using support::Variant;

namespace {

// Three of the store's errors carry the class name without its final "s".
const base::ErrorTable& errors() {
    static const base::ErrorTable table(
        ".CAppSettings", CAppSettings::kErrComponentFailure,
        {{CAppSettings::kErrInvalidAppName, "Invalid AppName value"},
         {CAppSettings::kErrInvalidCompanyName, "Invalid CompanyName value"},
         {CAppSettings::kErrInvalidMainBranch, "Invalid MainBranch value"},
         {CAppSettings::kErrInvalidRootKey, "Invalid root key value"},
         {CAppSettings::kErrSaveFailed, "Failed saving the application setting", ".CAppSetting"},
         {CAppSettings::kErrDeleteFailed, "Failed deleting the application setting", ".CAppSetting"},
         {CAppSettings::kErrGetAllKeysFailed, "Failed getting all the application keys", ".CAppSetting"}});
    return table;
}

AppError storeError(std::int32_t offset) { return errors().error(offset); }

template <class F>
decltype(auto) guarded(F&& body) {
    return errors().guard(std::forward<F>(body));
}

std::vector<std::uint8_t> textBytes(const std::string& text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

}  // namespace

CAppSettings::CAppSettings(platform::IRegistry& registry)
    : m_oRegistry(registry), m_lRootKey(static_cast<std::int32_t>(registry.settingsRoot())) {}

void CAppSettings::Init(const std::string& companyName, const std::string& appName) {
    guarded([&] {
        if (companyName.empty()) throw storeError(kErrInvalidCompanyName);
        m_sCompanyName = companyName;
        if (appName.empty()) throw storeError(kErrInvalidAppName);
        m_sAppName = appName;
    });
}

void CAppSettings::setAppName(const std::string& value) {
    guarded([&] {
        if (value.empty()) throw storeError(kErrInvalidAppName);
        m_sAppName = value;
    });
}

void CAppSettings::setCompanyName(const std::string& value) {
    guarded([&] {
        if (value.empty()) throw storeError(kErrInvalidCompanyName);
        m_sCompanyName = value;
    });
}

void CAppSettings::setMainBranch(const std::string& value) {
    guarded([&] {
        if (value.empty()) throw storeError(kErrInvalidMainBranch);
        m_sMainBranch = value;
    });
}

void CAppSettings::setRootKey(std::int32_t value) {
    guarded([&] {
        const auto root = static_cast<platform::RegKey>(value);
        if (root != platform::kHKeyCurrentUser && root != platform::kHKeyLocalMachine)
            throw storeError(kErrInvalidRootKey);
        m_lRootKey = value;
    });
}

std::string CAppSettings::sectionPath(const std::string& section) const {
    return m_sMainBranch + "\\" + m_sCompanyName + "\\" + m_sAppName + "\\" + section;
}

void CAppSettings::SaveSetting(const std::string& section, const std::string& key, const Variant& setting) {
    guarded([&] {
        support::RegKeyHandle h(m_oRegistry);
        if (m_oRegistry.createKey(root(), sectionPath(section), platform::kKeyAllAccess3F, h.out()) !=
            platform::kErrorSuccess)
            throw storeError(kErrSaveFailed);
        h.opened();

        std::uint32_t type = platform::kRegSz;
        std::vector<std::uint8_t> bytes;
        const std::string typeName = setting.typeName();
        if (typeName == "String" || typeName == "Date" || typeName == "Boolean") {
            bytes = textBytes(setting.toText());
        } else {
            const auto n = static_cast<std::uint32_t>(setting.toLong());
            type = platform::kRegDword;
            bytes = base::littleEndian32(n);
        }
        if (m_oRegistry.setValue(h.get(), key, type, bytes) != platform::kErrorSuccess)
            throw storeError(kErrSaveFailed);
    });
}

Variant CAppSettings::GetSetting(const std::string& section, const std::string& key,
                                 const Variant& defaultValue) const {
    return guarded([&]() -> Variant {
        // Reading needs no more than the right to read: a store the user has
        // made read-only still gives its values.
        support::RegKeyHandle h(m_oRegistry);
        if (m_oRegistry.openKey(root(), sectionPath(section), platform::kKeyQueryValue, h.out()) !=
            platform::kErrorSuccess)
            return defaultValue;
        h.opened();

        // Another program may store a longer value between asking for the size
        // and reading the bytes: then ask again, so that the answer is the old
        // value or the new one, never the default.
        for (int attempt = 0; attempt < 16; ++attempt) {
            std::uint32_t type = 0, size = 0;
            if (m_oRegistry.queryValue(h.get(), key, &type, nullptr, &size) != platform::kErrorSuccess)
                return defaultValue;
            if (type != platform::kRegSz && type != platform::kRegDword) return defaultValue;
            std::vector<std::uint8_t> buffer(type == platform::kRegDword ? 4 : size, 0);
            std::uint32_t got = static_cast<std::uint32_t>(buffer.size());
            const long status = m_oRegistry.queryValue(h.get(), key, &type, &buffer, &got);
            if (status == platform::kErrorMoreData) continue;
            if (status != platform::kErrorSuccess) return defaultValue;
            got = std::min<std::uint32_t>(got, static_cast<std::uint32_t>(buffer.size()));  // never past the buffer
            if (type == platform::kRegSz) {
                // The stored NUL is dropped; a value stored without one loses
                // its last character. A value of no bytes reads as empty text.
                const std::size_t keep = got > 0 ? got - 1 : 0;
                return Variant::String(std::string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(keep)));
            }
            if (type == platform::kRegDword && got == 4)
                return Variant::Long(static_cast<std::int32_t>(base::loadLittleEndian32(buffer.data())));
            return defaultValue;
        }
        return defaultValue;
    });
}

void CAppSettings::GetAllKeys(const std::string& section, std::vector<std::string>& keys) const {
    guarded([&] {
        keys.clear();
        support::RegKeyHandle h(m_oRegistry);
        if (m_oRegistry.openKey(root(), sectionPath(section), platform::kKeyQueryValue, h.out()) !=
            platform::kErrorSuccess)
            throw storeError(kErrGetAllKeysFailed);
        h.opened();
        std::uint32_t longest = 0;
        if (m_oRegistry.queryInfoKey(h.get(), &longest) != platform::kErrorSuccess) return;
        for (std::uint32_t index = 0;; ++index) {
            std::string name;
            if (m_oRegistry.enumValue(h.get(), index, longest + 1, &name) != platform::kErrorSuccess) break;
            // The count is a 16-bit integer: a larger section is a component failure.
            if (keys.size() >= static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max()))
                throw base::runtimeError(base::kErrOverflow);
            keys.push_back(name);
        }
    });
}

void CAppSettings::DeleteSetting(const std::string& section, const std::string& key) {
    guarded([&] {
        if (key.empty()) {
            if (m_oRegistry.deleteKey(root(), sectionPath(section)) != platform::kErrorSuccess)
                throw storeError(kErrDeleteFailed);
            return;
        }
        support::RegKeyHandle h(m_oRegistry);
        if (m_oRegistry.openKey(root(), sectionPath(section), platform::kKeyAllAccess3F, h.out()) !=
            platform::kErrorSuccess)
            throw storeError(kErrDeleteFailed);
        h.opened();
        if (m_oRegistry.deleteValue(h.get(), key) != platform::kErrorSuccess) throw storeError(kErrDeleteFailed);
    });
}

}  // namespace settings
