#pragma once

#include <string>
#include <vector>

#include "platform/ComboBox.h"

namespace service {

// The address history's combo box for a program with no window: a text and
// an unsorted list in memory, searched as the window's combo box searches.
// Nobody types into it, so it notifies nothing.
class AddressList : public platform::IComboBox {
public:
    std::string text() const override { return m_text; }
    void setText(const std::string& text) override { m_text = text; }
    int listCount() const override { return static_cast<int>(m_items.size()); }
    std::string list(int index) const override;
    void addItem(const std::string& text) override { m_items.push_back(text); }
    void removeItem(int index) override;
    void clear() override { m_items.clear(); }
    void setSelStart(int) override {}
    void setSelLength(int) override {}
    void setFocus() override {}
    int findString(const std::string& text) const override;
    int findStringExact(const std::string& text) const override;
    void subscribe(platform::IComboBoxEvents*) override {}
    void unsubscribe(platform::IComboBoxEvents*) override {}

private:
    std::string m_text;
    std::vector<std::string> m_items;
};

}  // namespace service
