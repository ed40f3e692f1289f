#include "settings/CSmartComboBox.h"

#include <algorithm>
#include <vector>

#include "settings/CAppSettings.h"
#include "base/AppError.h"
#include "base/ErrorTable.h"

namespace settings {

using base::AppError;
using base::objectError;

namespace {

const base::ErrorTable& errors() {
    static const base::ErrorTable table(
        ".CSmartComboBox", CSmartComboBox::kErrComponentFailure,
        {{CSmartComboBox::kErrInvalidAppSettings, "Invalid AppSettings object"},
         {CSmartComboBox::kErrInvalidComboBox, "Invalid ComboBox object"},
         {CSmartComboBox::kErrNotPersistent, "The object was not configured for persistence"},
         {CSmartComboBox::kErrInvalidKeyName, "Invalid KeyName value"},
         {CSmartComboBox::kErrInvalidMaxCount, "Invalid MaxCount value"}});
    return table;
}

AppError historyError(std::int32_t offset) { return errors().error(offset); }

// The change and key-down handling report under a source of their own.
const base::ComponentFailure& eventFailure() {
    static const base::ComponentFailure f{objectError(CSmartComboBox::kErrComponentFailure),
                                          base::classSource(".CSmartComboBoxBox"), "CSmartComboBox component failure"};
    return f;
}

template <class F>
decltype(auto) guarded(F&& body) {
    return errors().guard(std::forward<F>(body));
}

constexpr std::int16_t kKeyBackspace = 8;
constexpr std::int16_t kKeyDelete = 46;

std::string histName(int i) { return "Hist" + std::to_string(i); }

}  // namespace

CSmartComboBox::~CSmartComboBox() {
    if (m_oComboBox) m_oComboBox->unsubscribe(this);
}

void CSmartComboBox::attach(platform::IComboBox* comboBox) {
    if (m_oComboBox == comboBox) return;
    if (m_oComboBox) m_oComboBox->unsubscribe(this);
    m_oComboBox = comboBox;
    m_oComboBox->subscribe(this);
}

platform::IComboBox& CSmartComboBox::combo() const {
    if (!m_oComboBox) throw base::runtimeError(base::kErrObjectNotSet);
    return *m_oComboBox;
}

CAppSettings& CSmartComboBox::store() const {
    if (!m_oAppSettings) throw base::runtimeError(base::kErrObjectNotSet);
    return *m_oAppSettings;
}

void CSmartComboBox::Init(platform::IComboBox* comboBox, bool persistent, bool predictiveText,
                          CAppSettings* appSettings, const std::string& keyName, std::int16_t maxCount) {
    guarded([&] {
        if (!comboBox) throw historyError(kErrInvalidComboBox);
        attach(comboBox);
        m_bPersistent = persistent;
        m_bPredictiveText = predictiveText;
        if (!persistent) return;
        if (!appSettings) throw historyError(kErrInvalidAppSettings);
        m_oAppSettings = appSettings;
        if (keyName.empty()) throw historyError(kErrInvalidKeyName);
        m_sKeyName = keyName;
        if (maxCount < 1) throw historyError(kErrInvalidMaxCount);
        m_iMaxCount = maxCount;
    });
}

void CSmartComboBox::setAppSettings(CAppSettings* value) {
    guarded([&] {
        if (!value) throw historyError(kErrInvalidAppSettings);
        m_oAppSettings = value;
    });
}

void CSmartComboBox::setComboBox(platform::IComboBox* value) {
    guarded([&] {
        if (!value) throw historyError(kErrInvalidComboBox);
        attach(value);
    });
}

void CSmartComboBox::setKeyName(const std::string& value) {
    guarded([&] {
        if (value.empty()) throw historyError(kErrInvalidKeyName);
        m_sKeyName = value;
    });
}

void CSmartComboBox::setMaxCount(std::int16_t value) {
    guarded([&] {
        if (value < 1) throw historyError(kErrInvalidMaxCount);
        m_iMaxCount = value;
    });
}

void CSmartComboBox::AddCurrentItem() {
    guarded([&] {
        if (!m_bPersistent) throw historyError(kErrNotPersistent);
        m_bAutoComplete = false;
        platform::IComboBox& cb = combo();
        const std::string t = cb.text();
        if (t.empty()) return;
        int n = cb.listCount();
        const int found = cb.findStringExact(t);
        if (found != -1) {
            cb.removeItem(found);
            --n;
        }
        if (n < 1) {
            cb.addItem(t);
        } else {
            std::vector<std::string> entries{t};
            for (int i = 0; i < n && i < m_iMaxCount - 1; ++i) entries.push_back(cb.list(i));
            cb.clear();
            for (const auto& e : entries) cb.addItem(e);
        }
        cb.setText(t);
    });
}

void CSmartComboBox::Load() {
    guarded([&] {
        if (!m_bPersistent) throw historyError(kErrNotPersistent);
        platform::IComboBox& cb = combo();
        CAppSettings& settings = store();
        for (int i = 0; i < m_iMaxCount; ++i) {
            const std::string v =
                settings.GetSetting(m_sKeyName, histName(i), support::Variant::String(std::string())).toText();
            if (!v.empty()) cb.addItem(v);
        }
        if (cb.listCount() > 0 && !cb.list(0).empty()) cb.setText(cb.list(0));
    });
}

void CSmartComboBox::Save() {
    guarded([&] {
        if (!m_bPersistent) throw historyError(kErrNotPersistent);
        platform::IComboBox& cb = combo();
        CAppSettings& settings = store();
        const int n = cb.listCount();
        for (int i = 0; i < n; ++i) settings.SaveSetting(m_sKeyName, histName(i), support::Variant::String(cb.list(i)));
        for (int i = n; i < m_iMaxCount; ++i)
            settings.SaveSetting(m_sKeyName, histName(i), support::Variant::String(std::string()));
    });
}

void CSmartComboBox::comboKeyDown(std::int16_t keyCode, std::int16_t) {
    base::guardMember(eventFailure(), {}, [&] {
        if (m_bPredictiveText) m_bAutoComplete = keyCode != kKeyBackspace && keyCode != kKeyDelete;
    });
}

void CSmartComboBox::comboChanged() {
    base::guardMember(eventFailure(), {}, [&] {
        if (!m_bPredictiveText || !m_bAutoComplete) return;
        platform::IComboBox& cb = combo();
        const std::string t = cb.text();
        if (t.empty()) return;
        const int i = cb.findString(t);
        if (i == -1) return;
        const auto k = static_cast<std::int16_t>(std::min<std::size_t>(t.size(), 32767));
        const std::string entry = cb.list(i);
        cb.setText(t.substr(0, static_cast<std::size_t>(k)) +
                   entry.substr(std::min(static_cast<std::size_t>(k), entry.size())));
        cb.setSelStart(k);
        cb.setSelLength(65535);
    });
}

}  // namespace settings
