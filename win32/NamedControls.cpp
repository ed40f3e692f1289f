#include "win32/NamedControls.h"

#include "win32/ControlIds.h"

namespace win32 {

HWND NamedControls::add(const char* name, const char* className, const char* text, DWORD style, DWORD exStyle,
                        HFONT font) {
    static WORD nextId = 2000;  // controls without a command of their own
    WORD id = nextId++;
    const std::pair<const char*, WORD> commands[] = {
        {"cmdIP", kCmdIP},       {"cmdSend", kCmdSend}, {"cmdSave", kCmdSave},       {"cmdClear", kCmdClear},
        {"cmdStart", kCmdStart}, {"cmdStop", kCmdStop}, {"cmdClose", kCmdClose},     {"txtIP", kTxtIP},
        {"txtMsg", kTxtMsg},     {"SSHotLink1", kLink}, {"cmdPlayers", kCmdPlayers},
    };
    for (const auto& [n, c] : commands)
        if (std::string(n) == name) id = c;
    HWND hwnd = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, m_parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), m_instance, nullptr);
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    m_controls.emplace_back(name, hwnd);
    return hwnd;
}

HWND NamedControls::operator[](const std::string& name) const {
    for (const auto& [n, h] : m_controls)
        if (n == name) return h;
    return nullptr;
}

}  // namespace win32
