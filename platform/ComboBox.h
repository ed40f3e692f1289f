#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Notifications of a combo box: its text changed (typed or set), or a key
// went down in its edit line (the virtual-key code: 8 Backspace, 13 Enter,
// 46 Delete, ...), before the key changes the text.
class IComboBoxEvents {
public:
    virtual ~IComboBoxEvents() = default;
    virtual void comboChanged() = 0;
    virtual void comboKeyDown(std::int16_t keyCode, std::int16_t shift) = 0;
};

// A drop-down edit field: an edit line with an unsorted list below it. Texts
// are 8-bit, one byte per character.
class IComboBox {
public:
    virtual ~IComboBox() = default;

    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    virtual int listCount() const = 0;
    virtual std::string list(int index) const = 0;
    virtual void addItem(const std::string& text) = 0;
    virtual void removeItem(int index) = 0;
    virtual void clear() = 0;
    virtual void setSelStart(int start) = 0;
    virtual void setSelLength(int length) = 0;
    virtual void setFocus() = 0;
    // The two list searches of ListSearch.h.
    virtual int findString(const std::string& text) const = 0;
    virtual int findStringExact(const std::string& text) const = 0;

    // Any number of listeners; each is told in the order it subscribed.
    virtual void subscribe(IComboBoxEvents* listener) = 0;
    virtual void unsubscribe(IComboBoxEvents* listener) = 0;
};

}  // namespace platform
