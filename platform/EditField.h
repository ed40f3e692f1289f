#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Style bits of an edit field.
inline constexpr std::uint32_t kEsMultiLine = 0x4;
inline constexpr std::uint32_t kEsUpperCase = 0x8;
inline constexpr std::uint32_t kEsLowerCase = 0x10;
inline constexpr std::uint32_t kEsNumber = 0x2000;

class IEditFieldEvents {
public:
    virtual ~IEditFieldEvents() = default;
    virtual void editGotFocus() = 0;
};

// An edit field: one line or several. Texts are 8-bit; a multi-line field
// separates its lines with CR LF, and positions count both characters.
// The style bits act as on the classic edit control: with kEsNumber typing
// and pasting take digits only; with kEsUpperCase or kEsLowerCase what is
// typed or pasted is put into that case.
class IEditField {
public:
    virtual ~IEditField() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    virtual int selStart() const = 0;
    virtual int selLength() const = 0;
    virtual void setSelection(int start, int length) = 0;
    virtual bool multiLine() const = 0;
    virtual std::uint32_t style() const = 0;
    virtual void setStyle(std::uint32_t style) = 0;
    virtual bool canUndo() const = 0;
    virtual void undo() = 0;
    virtual void cut() = 0;
    virtual void copy() = 0;
    virtual void paste() = 0;
    virtual void clearSelection() = 0;
    virtual int lineCount() const = 0;
    // Copies line `index` (from 0), without its line end, into at most
    // bufferSize characters; answers how many were copied.
    virtual int getLine(int index, int bufferSize, std::string* line) const = 0;
    virtual void subscribe(IEditFieldEvents* listener) = 0;
    virtual void unsubscribe(IEditFieldEvents* listener) = 0;
};

}  // namespace platform
