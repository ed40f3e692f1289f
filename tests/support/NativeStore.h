#pragma once

// The settings store the program uses on this platform, in a place of the
// test's own: hive files in a temporary directory on POSIX; on Windows the
// real registry, with HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE turned, for
// this process only, to two keys of the test's own below the real
// HKEY_CURRENT_USER, removed at the end.

#include <string>

#include "tests/support/TempDir.h"

#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "platform/win/WinRegistry.h"
#else
#include <sys/stat.h>

#include "platform/posix/HiveRegistry.h"
#include "platform/posix/Paths.h"
#endif

namespace testsupport {

#ifdef _WIN32

class NativeStore {
public:
    explicit NativeStore(const TempDir&) {
        static std::atomic<int> count{0};
        m_root = "Software\\VexmondTests\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count);
        turnRoots();
    }
    ~NativeStore() {
        restore();
        RegDeleteTreeA(HKEY_CURRENT_USER, m_root.c_str());
        const std::string parent = m_root.substr(0, m_root.rfind('\\'));
        RegDeleteKeyA(HKEY_CURRENT_USER, parent.c_str());  // only when no other test's key is left
    }
    NativeStore(const NativeStore&) = delete;
    NativeStore& operator=(const NativeStore&) = delete;

    platform::IRegistry& registry() { return m_registry; }
    // Wine grants every right: no store here refuses writes.
    void setReadOnly(bool readOnly) {
        if (readOnly) ADD_FAILURE() << "no store that refuses writes under wine";
    }
    // The real key a root of the store stands for, below the real HKEY_CURRENT_USER.
    std::string placeOf(HKEY root) const { return m_root + (root == HKEY_LOCAL_MACHINE ? "\\machine" : "\\user"); }

private:
    void turnRoots() {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            HKEY place = nullptr;
            RegCreateKeyExA(HKEY_CURRENT_USER, placeOf(root).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &place,
                            nullptr);
            m_places.push_back(place);
        }
        RegOverridePredefKey(HKEY_CURRENT_USER, m_places[0]);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_places[1]);
    }
    void restore() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        for (HKEY place : m_places) RegCloseKey(place);
        m_places.clear();
    }

    std::string m_root;
    std::vector<HKEY> m_places;
    platform::win::WinRegistry m_registry;
};

#else

class NativeStore {
public:
    explicit NativeStore(const TempDir& tmp) : m_registry(tmp / "config") {}
    platform::IRegistry& registry() { return m_registry; }
    platform::posix::HiveRegistry& hives() { return m_registry; }
    // The store's directory without write access: it reads but cannot save.
    void setReadOnly(bool readOnly) {
        platform::posix::makeDirectories(m_registry.directory(), 0700);
        ::chmod(m_registry.directory().c_str(), readOnly ? 0500 : 0700);
    }

private:
    platform::posix::HiveRegistry m_registry;
};

#endif

}  // namespace testsupport
