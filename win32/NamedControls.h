#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace win32 {

// The main window's controls under their names ("txtIP", "cmdStart", ...),
// in the order they were made: the order of the keyboard's Tab and of the
// underlined letters' search.
class NamedControls {
public:
    NamedControls(HWND parent, HINSTANCE instance) : m_parent(parent), m_instance(instance) {}

    // Makes a visible child control; its command number is the one the
    // window knows it by, else one of its own.
    HWND add(const char* name, const char* className, const char* text, DWORD style, DWORD exStyle, HFONT font);
    // A control another part of the window made.
    void keep(const char* name, HWND hwnd) { m_controls.emplace_back(name, hwnd); }
    HWND operator[](const std::string& name) const;
    const std::vector<std::pair<std::string, HWND>>& all() const { return m_controls; }
    HWND parent() const { return m_parent; }

private:
    HWND m_parent;
    HINSTANCE m_instance;
    std::vector<std::pair<std::string, HWND>> m_controls;
};

}  // namespace win32
