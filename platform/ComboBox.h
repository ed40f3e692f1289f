#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace platform {

// Notifications of a combo box: its text changed (typed or set), or a key
// went down in its edit line (the virtual-key code: 8 Backspace, 13 Enter,
// 46 Delete, ...), before the key changes the text.
class IComboBoxEvents {
public:
    virtual ~IComboBoxEvents() = default;
    virtual void comboChanged() = 0;
    virtual void comboKeyDown(std::int16_t keyCode, std::int16_t shift) = 0;
    // A listener failed on a notification, which ended it there: every
    // listener hears of it (the window's presenter shows it).
    virtual void comboFailed(const std::exception& failure) { (void)failure; }
};

// The listeners of one box and how they are told, the same for every box:
// each in the order it subscribed; a failure ends the notification and is
// told to each listener, never let out into the window system.
class ComboBoxListeners {
public:
    void subscribe(IComboBoxEvents* listener) { m_listeners.push_back(listener); }
    void unsubscribe(IComboBoxEvents* listener) { std::erase(m_listeners, listener); }
    bool empty() const { return m_listeners.empty(); }
    void changed() {
        tell([](IComboBoxEvents& l) { l.comboChanged(); });
    }
    void keyDown(std::int16_t keyCode, std::int16_t shift) {
        tell([&](IComboBoxEvents& l) { l.comboKeyDown(keyCode, shift); });
    }

private:
    template <class Notify>
    void tell(Notify notify) {
        const std::vector<IComboBoxEvents*> now = m_listeners;
        try {
            for (IComboBoxEvents* l : now) notify(*l);
        } catch (const std::exception& e) {
            for (IComboBoxEvents* l : std::vector(m_listeners)) l->comboFailed(e);
        }
    }
    std::vector<IComboBoxEvents*> m_listeners;
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
