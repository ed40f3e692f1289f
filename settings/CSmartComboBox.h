#pragma once

#include <cstdint>
#include <string>

#include "platform/ComboBox.h"

namespace settings {

class CAppSettings;

// A most-recently-used history for a combo box, kept in a section of the
// settings store as Hist0, Hist1, ..., and completion of typed text from it.
class CSmartComboBox : private platform::IComboBoxEvents {
public:
    static constexpr std::int32_t kErrInvalidAppSettings = 18061;
    static constexpr std::int32_t kErrInvalidComboBox = 18062;
    static constexpr std::int32_t kErrNotPersistent = 18063;
    static constexpr std::int32_t kErrInvalidKeyName = 18064;
    static constexpr std::int32_t kErrInvalidMaxCount = 18065;
    static constexpr std::int32_t kErrComponentFailure = 18067;

    CSmartComboBox() = default;
    ~CSmartComboBox() override;
    CSmartComboBox(const CSmartComboBox&) = delete;
    CSmartComboBox& operator=(const CSmartComboBox&) = delete;

    void Init(platform::IComboBox* comboBox, bool persistent, bool predictiveText, CAppSettings* appSettings = nullptr,
              const std::string& keyName = std::string(), std::int16_t maxCount = 0);

    CAppSettings* AppSettings() const { return m_oAppSettings; }
    void setAppSettings(CAppSettings* value);
    platform::IComboBox* ComboBox() const { return m_oComboBox; }
    void setComboBox(platform::IComboBox* value);
    const std::string& KeyName() const { return m_sKeyName; }
    void setKeyName(const std::string& value);
    std::int16_t MaxCount() const { return m_iMaxCount; }
    void setMaxCount(std::int16_t value);
    bool Persistent() const { return m_bPersistent; }
    void setPersistent(bool value) { m_bPersistent = value; }
    bool PredictiveText() const { return m_bPredictiveText; }
    void setPredictiveText(bool value) { m_bPredictiveText = value; }

    void AddCurrentItem();
    void Load();
    void Save();

    // The combo box's notifications; public so a window can forward them.
    void comboChanged() override;
    void comboKeyDown(std::int16_t keyCode, std::int16_t shift) override;

private:
    void attach(platform::IComboBox* comboBox);
    platform::IComboBox& combo() const;
    CAppSettings& store() const;

    bool m_bPersistent = false;
    bool m_bPredictiveText = true;
    CAppSettings* m_oAppSettings = nullptr;
    std::int16_t m_iMaxCount = 10;
    std::string m_sKeyName;
    bool m_bAutoComplete = false;
    platform::IComboBox* m_oComboBox = nullptr;
};

}  // namespace settings
