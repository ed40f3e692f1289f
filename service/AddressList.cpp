#include "service/AddressList.h"

#include <stdexcept>

#include "platform/ListSearch.h"

namespace service {

std::string AddressList::list(int index) const { return m_items.at(static_cast<std::size_t>(index)); }

void AddressList::removeItem(int index) {
    if (index < 0 || index >= listCount()) throw std::out_of_range("address list index");
    m_items.erase(m_items.begin() + index);
}

int AddressList::findString(const std::string& text) const { return platform::findStringInList(m_items, text, false); }

int AddressList::findStringExact(const std::string& text) const {
    return platform::findStringInList(m_items, text, true);
}

}  // namespace service
