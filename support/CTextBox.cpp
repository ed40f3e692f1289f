#include "support/CTextBox.h"

#include "base/AppError.h"
#include "base/ErrorTable.h"
#include "support/Text.h"

namespace support {

namespace {

const base::ErrorTable& errors() {
    static const base::ErrorTable table(".CTextBox", CTextBox::kErrComponentFailure,
                                        {{CTextBox::kErrNotInitialized, "Object not properly initialized"},
                                         {CTextBox::kErrInvalidTextBox, "Invalid TextBox object"}});
    return table;
}

template <class F>
decltype(auto) guarded(F&& body) {
    return errors().guard(std::forward<F>(body));
}

char upper(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) return static_cast<char>(u - 32);
    return c;
}

constexpr int kGetLineBuffer = 1028;

}  // namespace

CTextBox::~CTextBox() {
    base::skipOnFailure([&] {
        if (m_oTextBox) m_oTextBox->unsubscribe(this);
    });
}

platform::IEditField& CTextBox::field() const {
    if (!m_oTextBox) throw errors().error(kErrNotInitialized);
    return *m_oTextBox;
}

void CTextBox::Init(platform::IEditField* textBoxObject) { setTextBox(textBoxObject); }

void CTextBox::setTextBox(platform::IEditField* value) {
    guarded([&] {
        if (!value) throw errors().error(kErrInvalidTextBox);
        if (m_oTextBox == value) return;
        if (m_oTextBox) m_oTextBox->unsubscribe(this);
        m_oTextBox = value;
        m_oTextBox->subscribe(this);
    });
}

bool CTextBox::AllowOnlyNumbers() {
    return guarded([&] { return (field().style() & platform::kEsNumber) != 0; });
}

void CTextBox::setAllowOnlyNumbers(bool value) {
    guarded([&] {
        auto& f = field();
        f.setStyle(value ? (f.style() | platform::kEsNumber) : (f.style() & ~platform::kEsNumber));
    });
}

void CTextBox::setTextCase(std::int32_t value) {
    guarded([&] {
        m_lTextCase = value;
        auto& f = field();
        const std::uint32_t style = f.style() & ~(platform::kEsUpperCase | platform::kEsLowerCase);
        if (value == 0) f.setStyle(style);
        if (value == 1) f.setStyle(style | platform::kEsUpperCase);
        if (value == 2) f.setStyle(style | platform::kEsLowerCase);
    });
}

bool CTextBox::CanUndo() {
    return guarded([&] { return field().canUndo(); });
}

std::int16_t CTextBox::LineCount() {
    return guarded([&]() -> std::int16_t {
        auto& f = field();
        if (!f.multiLine()) return 1;
        const int n = f.lineCount();
        if (n > INT16_MAX) throw base::runtimeError(base::kErrOverflow);
        return static_cast<std::int16_t>(n);
    });
}

std::string CTextBox::GetLine(std::int16_t lineNumber) {
    return guarded([&]() -> std::string {
        auto& f = field();
        if (!f.multiLine()) return f.text();
        std::string line;
        const int copied = f.getLine(lineNumber - 1, kGetLineBuffer, &line);
        return copied > 0 ? line.substr(0, static_cast<std::size_t>(copied)) : std::string();
    });
}

void CTextBox::Undo() {
    guarded([&] { field().undo(); });
}
void CTextBox::Cut() {
    guarded([&] { field().cut(); });
}
void CTextBox::Copy() {
    guarded([&] { field().copy(); });
}
void CTextBox::Paste() {
    guarded([&] { field().paste(); });
}
void CTextBox::Clear() {
    guarded([&] { field().clearSelection(); });
}

void CTextBox::SelectAll() {
    guarded([&] {
        auto& f = field();
        f.setSelection(0, static_cast<int>(f.text().size()));
    });
}

void CTextBox::TitleCase() {
    guarded([&] {
        auto& f = field();
        const std::string original = f.text();
        if (trimBlanks(original).empty()) return;
        std::string t = original;
        t[0] = upper(t[0]);
        for (std::size_t i = 0; i + 1 < t.size(); ++i) {
            if (t[i] == '\r' && t[i + 1] == '\n' && i + 2 < t.size()) t[i + 2] = upper(t[i + 2]);
            if (t[i] == ' ') t[i + 1] = upper(t[i + 1]);
        }
        if (t == original) return;
        const int start = f.selStart(), length = f.selLength();
        f.setText(t);
        f.setSelection(start, length);
    });
}

void CTextBox::editGotFocus() {
    base::skipOnFailure([&] {
        if (m_bSelectAllOnFocus) SelectAll();
    });
}

}  // namespace support
