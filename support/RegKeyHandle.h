#pragma once

#include "platform/Registry.h"

namespace support {

// An open registry key, closed on every path out of the code that opened
// it, a thrown failure included.
class RegKeyHandle {
public:
    explicit RegKeyHandle(platform::IRegistry& registry) : m_registry(registry) {}
    ~RegKeyHandle() {
        if (m_open) m_registry.closeKey(m_key);
    }
    RegKeyHandle(const RegKeyHandle&) = delete;
    RegKeyHandle& operator=(const RegKeyHandle&) = delete;

    // Where the registry writes the handle; call opened() once it has.
    platform::RegKey* out() { return &m_key; }
    void opened() { m_open = true; }
    platform::RegKey get() const { return m_key; }

private:
    platform::IRegistry& m_registry;
    platform::RegKey m_key = 0;
    bool m_open = false;
};

}  // namespace support
