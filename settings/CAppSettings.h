#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "support/Variant.h"

namespace settings {

// Named, typed values in the registry, one key per section below
// RootKey\MainBranch\CompanyName\AppName. Caches nothing: every call opens
// and closes its own key.
class CAppSettings {
public:
    static constexpr std::int32_t kErrInvalidAppName = 17021;
    static constexpr std::int32_t kErrInvalidCompanyName = 17022;
    static constexpr std::int32_t kErrInvalidMainBranch = 17023;
    static constexpr std::int32_t kErrInvalidRootKey = 17024;
    static constexpr std::int32_t kErrSaveFailed = 17025;
    static constexpr std::int32_t kErrDeleteFailed = 17026;
    static constexpr std::int32_t kErrGetAllKeysFailed = 17027;
    static constexpr std::int32_t kErrComponentFailure = 17028;

    explicit CAppSettings(platform::IRegistry& registry);

    void Init(const std::string& companyName, const std::string& appName);

    const std::string& AppName() const { return m_sAppName; }
    void setAppName(const std::string& value);
    const std::string& CompanyName() const { return m_sCompanyName; }
    void setCompanyName(const std::string& value);
    const std::string& MainBranch() const { return m_sMainBranch; }
    void setMainBranch(const std::string& value);
    std::int32_t RootKey() const { return m_lRootKey; }
    void setRootKey(std::int32_t value);

    void SaveSetting(const std::string& section, const std::string& key, const support::Variant& setting);
    // Without a default the result for a missing value is Empty.
    support::Variant GetSetting(const std::string& section, const std::string& key,
                                const support::Variant& defaultValue = support::Variant()) const;
    // The names of all values of the section, in the registry's order.
    void GetAllKeys(const std::string& section, std::vector<std::string>& keys) const;
    // With an empty key the whole section goes; with a key, the value of that name.
    void DeleteSetting(const std::string& section, const std::string& key = std::string());

private:
    std::string sectionPath(const std::string& section) const;
    platform::RegKey root() const { return static_cast<platform::RegKey>(m_lRootKey); }

    platform::IRegistry& m_oRegistry;
    std::int32_t m_lRootKey;
    std::string m_sMainBranch = "Software";
    std::string m_sCompanyName = "MyCompany";
    std::string m_sAppName = "MyApplication";
};

}  // namespace settings
