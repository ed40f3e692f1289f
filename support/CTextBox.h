#pragma once

#include <cstdint>
#include <string>

#include "platform/EditField.h"

namespace support {

// Extra behaviour for one edit field: digits only, forced case, select all
// on focus, title case, the edit commands and line queries.
class CTextBox : private platform::IEditFieldEvents {
public:
    static constexpr std::int32_t kErrNotInitialized = 18321;
    static constexpr std::int32_t kErrInvalidTextBox = 18322;
    static constexpr std::int32_t kErrComponentFailure = 18323;

    CTextBox() = default;
    ~CTextBox() override;
    CTextBox(const CTextBox&) = delete;
    CTextBox& operator=(const CTextBox&) = delete;

    void Init(platform::IEditField* textBoxObject);
    bool AllowOnlyNumbers();
    void setAllowOnlyNumbers(bool value);
    bool CanUndo();
    std::int16_t LineCount();
    bool SelectAllOnFocus() const { return m_bSelectAllOnFocus; }
    void setSelectAllOnFocus(bool value) { m_bSelectAllOnFocus = value; }
    platform::IEditField* TextBox() const { return m_oTextBox; }
    void setTextBox(platform::IEditField* value);
    std::int32_t TextCase() const { return m_lTextCase; }
    void setTextCase(std::int32_t value);
    void Clear();
    void Copy();
    void Cut();
    std::string GetLine(std::int16_t lineNumber);
    void Paste();
    void SelectAll();
    void TitleCase();
    void Undo();

private:
    void editGotFocus() override;
    platform::IEditField& field() const;

    std::int32_t m_lTextCase = 0;
    bool m_bSelectAllOnFocus = false;
    platform::IEditField* m_oTextBox = nullptr;
};

}  // namespace support
