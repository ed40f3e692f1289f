#include "win32/MainKeyboard.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "win32/ControlIds.h"
#include "win32/Win32Controls.h"

namespace win32 {

namespace {

constexpr UINT_PTR kCommandField = 1, kMessageField = 2;

// The edit fields' keys the dialog manager would otherwise take: Enter in the
// command field sends it, Tab in the message moves on rather than typing a
// tab. A multi-line edit control reports no change of a text set from
// outside (the loaded message): the message reports that one too.
LRESULT CALLBACK fieldProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR kind, DWORD_PTR data) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    const auto window = reinterpret_cast<HWND>(data);
    if (kind == kCommandField) {
        if (message == WM_GETDLGCODE && msg && msg->wParam == VK_RETURN) return DLGC_WANTALLKEYS;
        if (message == WM_CHAR && wParam == '\r') return 0;
        if (message == WM_KEYDOWN && wParam == VK_RETURN) {
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(kCmdSend, BN_CLICKED), 0);
            return 0;
        }
    } else if (message == WM_GETDLGCODE && msg && msg->wParam == VK_TAB) {
        return DefSubclassProc(hwnd, message, wParam, lParam) & ~DLGC_WANTALLKEYS & ~DLGC_WANTTAB;
    } else if (message == WM_SETTEXT) {
        const LRESULT done = DefSubclassProc(hwnd, message, wParam, lParam);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(kTxtMsg, EN_CHANGE), reinterpret_cast<LPARAM>(hwnd));
        return done;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

// The letter a caption underlines ("Pass&word:" underlines W), in upper
// case; 0 for none ("&&" is an ampersand).
int mnemonicOf(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] != '&') return std::toupper(static_cast<unsigned char>(caption[i + 1]));
        ++i;
    }
    return 0;
}

bool isClass(HWND hwnd, const char* name) {
    char found[32] = {};
    GetClassNameA(hwnd, found, sizeof found);
    return lstrcmpiA(found, name) == 0;
}

}  // namespace

void MainKeyboard::watchCommandField(HWND field, HWND window) {
    SetWindowSubclass(field, &fieldProcedure, kCommandField, reinterpret_cast<DWORD_PTR>(window));
}

void MainKeyboard::watchMessage(HWND field, HWND window) {
    SetWindowSubclass(field, &fieldProcedure, kMessageField, reinterpret_cast<DWORD_PTR>(window));
}

// What the window takes before the dialog manager: an underlined letter
// (the dialog manager would ask the window for WM_NEXTDLGCTL, which only a
// dialog answers, and press a button whose letter another control shares);
// a character typed while no control has the focus, which it would take as
// a button's letter; Ctrl+A in a text field, which selects all of it.
bool MainKeyboard::takeKey(const MSG& msg) {
    switch (msg.message) {
    case WM_SYSCHAR: return mnemonic(msg.wParam);
    case WM_CHAR:
        if (msg.hwnd == m_window) return true;
        if (SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) &
            (DLGC_WANTCHARS | DLGC_WANTMESSAGE))
            return false;
        return mnemonic(msg.wParam);
    case WM_KEYDOWN:
        if (msg.wParam != 'A' || GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0 || !isClass(msg.hwnd, "Edit"))
            return false;
        SendMessageA(msg.hwnd, EM_SETSEL, 0, -1);
        return true;
    default: return false;
    }
}

// A label's or a frame's letter moves the focus to the field it names, a
// button's presses it. A letter that several controls share presses none:
// each time it moves the focus on to the next of them after the focus.
bool MainKeyboard::mnemonic(WPARAM key) {
    struct Match {
        std::size_t at;
        HWND control, target;
        bool press;  // a button, not a frame or a label
    };
    std::vector<Match> matches;
    const HWND focus = GetFocus();
    std::size_t focusAt = 0;
    const auto& controls = m_controls.all();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const HWND hwnd = controls[i].second;
        if (focus && (hwnd == focus || IsChild(hwnd, focus))) focusAt = i;
        const bool button = isClass(hwnd, "Button");
        if (!(button || isClass(hwnd, "Static")) || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd) || key > 0xFF ||
            mnemonicOf(windowText(hwnd)) != std::toupper(static_cast<int>(key)))
            continue;
        const bool press = button && (GetWindowLongPtrA(hwnd, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX;
        matches.push_back(Match{i, hwnd, press ? hwnd : GetNextDlgTabItem(m_window, hwnd, FALSE), press});
    }
    if (matches.empty()) return false;
    if (matches.size() == 1 && matches.front().press) {
        SendMessageA(matches.front().control, BM_CLICK, 0, 0);
        return true;
    }
    const auto next = std::find_if(matches.begin(), matches.end(), [&](const Match& m) { return m.at > focusAt; });
    focusControl((next != matches.end() ? *next : matches.front()).target);
    return true;
}

// As a dialog moves the focus by the keyboard: into a combo box's edit line,
// and a one-line field's text selected, ready to be typed over.
void MainKeyboard::focusControl(HWND target) {
    if (HWND edit = FindWindowExA(target, nullptr, "Edit", nullptr)) target = edit;
    SetFocus(target);
    if ((SendMessageA(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) &&
        !(GetWindowLongPtrA(target, GWL_STYLE) & ES_MULTILINE))
        SendMessageA(target, EM_SETSEL, 0, -1);
}

// As a dialog keeps it: the control that had the focus when the window was
// left or minimised has it again once the window is active; at first the
// address field, where the Linux window starts too.
void MainKeyboard::saveFocus() {
    const HWND focus = GetFocus();
    if (focus && IsChild(m_window, focus)) m_focus = focus;
}

void MainKeyboard::restoreFocus(platform::IComboBox& first) {
    const HWND focus = GetFocus();
    if (IsIconic(m_window) || (focus && IsChild(m_window, focus))) return;
    if (m_focus && IsWindow(m_focus) && IsWindowVisible(m_focus) && IsWindowEnabled(m_focus))
        SetFocus(m_focus);
    else
        first.setFocus();
}

}  // namespace win32
