#pragma once

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ComboBox.h"
#include "platform/ListSearch.h"

namespace fakes {

// A combo box in memory that types like the real one: a key goes down, then
// the text changes (replacing the selection), then the change is notified.
class FakeComboBox : public platform::IComboBox {
public:
    std::vector<std::string> items;
    std::string edit;
    int selStart = 0;
    int selLength = 0;

    std::string text() const override { return edit; }
    void setText(const std::string& t) override {
        if (t == edit) return;
        edit = t;
        selStart = static_cast<int>(t.size());
        selLength = 0;
        notifyChange();
    }
    int listCount() const override { return static_cast<int>(items.size()); }
    std::string list(int i) const override { return items.at(static_cast<std::size_t>(i)); }
    void addItem(const std::string& t) override { items.push_back(t); }
    void removeItem(int i) override {
        if (i < 0 || i >= listCount()) throw std::out_of_range("combo box index");
        items.erase(items.begin() + i);
    }
    void clear() override { items.clear(); }
    void setSelStart(int s) override {
        selStart = std::clamp(s, 0, static_cast<int>(edit.size()));
        selLength = 0;
    }
    void setSelLength(int l) override { selLength = std::clamp(l, 0, static_cast<int>(edit.size()) - selStart); }
    void setFocus() override {}
    int findString(const std::string& t) const override { return platform::findStringInList(items, t, false); }
    int findStringExact(const std::string& t) const override { return platform::findStringInList(items, t, true); }
    void subscribe(platform::IComboBoxEvents* l) override { listeners.subscribe(l); }
    void unsubscribe(platform::IComboBoxEvents* l) override { listeners.unsubscribe(l); }

    std::string selectedText() const {
        return edit.substr(static_cast<std::size_t>(selStart), static_cast<std::size_t>(selLength));
    }

    void keyDown(std::int16_t code) { listeners.keyDown(code, 0); }
    // Types each character: key down, the selection replaced, change.
    void typeText(const std::string& s) {
        for (char c : s) {
            keyDown((c >= 'a' && c <= 'z') ? static_cast<std::int16_t>(c - 32) : c);
            edit.replace(static_cast<std::size_t>(selStart), static_cast<std::size_t>(selLength), 1, c);
            ++selStart;
            selLength = 0;
            notifyChange();
        }
    }
    // Backspace (8) takes the selection, or the character before the caret;
    // Delete (46) the selection, or the character after it.
    void erase(std::int16_t key) {
        keyDown(key);
        if (selLength == 0 && key == 8 && selStart > 0) --selStart, selLength = 1;
        if (selLength == 0 && key == 46 && selStart < static_cast<int>(edit.size())) selLength = 1;
        if (selLength == 0) return;
        edit.erase(static_cast<std::size_t>(selStart), static_cast<std::size_t>(selLength));
        selLength = 0;
        notifyChange();
    }

    platform::ComboBoxListeners listeners;

private:
    void notifyChange() { listeners.changed(); }
};

}  // namespace fakes
