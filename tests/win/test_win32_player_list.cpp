// The Win32 player list runs the contract the fake runs, under wine: used
// through the messages a user's mouse and keys send, its row menus read
// while they are open (from a timer the menu's own loop dispatches).
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

#include "tests/support/PlayerTableContract.h"
#include "win32/PlayerList.h"
#include "win32/Win32Controls.h"

namespace {

// A row's menu, read and answered when its loop first goes idle: the frame,
// its owner, is told of the menu (WM_INITMENUPOPUP) and of its window
// (WM_ENTERIDLE); the item named is picked with the keys, or the menu closed.
struct MenuProbe {
    std::vector<std::string>* items = nullptr;
    std::string choose;
    HMENU menu = nullptr;
};
MenuProbe g_probe;

LRESULT CALLBACK probeMenus(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_INITMENUPOPUP) g_probe.menu = reinterpret_cast<HMENU>(wParam);
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU && g_probe.items && g_probe.menu) {
        int pick = -1;
        for (int i = 0; i < GetMenuItemCount(g_probe.menu); ++i) {
            char text[64] = {};
            GetMenuStringA(g_probe.menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            g_probe.items->push_back(text);
            if (g_probe.items->back() == g_probe.choose) pick = i;
        }
        g_probe = {};
        HWND menuWindow = reinterpret_cast<HWND>(lParam);
        for (int down = 0; down <= pick; ++down) PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menuWindow, WM_KEYDOWN, pick >= 0 ? VK_RETURN : VK_ESCAPE, 0);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void pump() {
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
}

struct Win32PlayerListSide {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND parent = makeParent(instance);
    win32::PlayerList list{parent, instance, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))};

    static HWND makeParent(HINSTANCE instance) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        win32::PlayerList::registerClass(instance);
        return CreateWindowExA(0, "STATIC", "Players test", WS_OVERLAPPEDWINDOW, 0, 0, 700, 400, nullptr, nullptr,
                               instance, nullptr);
    }
    Win32PlayerListSide() {
        MoveWindow(list.handle(), 0, 0, 640, 300, TRUE);
        SetWindowSubclass(list.handle(), probeMenus, 1, 0);
        ShowWindow(parent, SW_SHOWNOACTIVATE);
    }
    ~Win32PlayerListSide() { DestroyWindow(parent); }

    platform::IPlayerTable& table() { return list; }
    std::string summaryShown() { return win32::windowText(list.summaryLabel()); }
    void clickRefresh() { SendMessageA(list.refreshButton(), BM_CLICK, 0, 0); }
    void clickHeader(platform::PlayerColumn column) {
        HWND header = ListView_GetHeader(list.list());
        RECT r{};
        Header_GetItemRect(header, static_cast<int>(column), &r);
        const LPARAM middle = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, middle);
        SendMessageA(header, WM_LBUTTONUP, 0, middle);
        pump();
    }
    std::vector<std::string> cells(std::size_t i) {
        const int item = static_cast<int>(i);
        if (item >= ListView_GetItemCount(list.list())) return {};
        std::vector<std::string> texts;
        for (int c = 0; c < platform::kPlayerColumnCount; ++c) {
            char text[128] = {};
            ListView_GetItemText(list.list(), item, c, text, sizeof text);
            texts.push_back(text);
        }
        return texts;
    }
    void key(UINT message, WPARAM key) {
        SendMessageA(list.list(), message, key, message == WM_KEYUP ? 0xC0000001 : 1);
    }
    std::vector<std::string> menu(std::size_t i, MenuWay way, const std::string& choose) {
        std::vector<std::string> items;
        g_probe = {&items, choose, nullptr};
        SetFocus(list.list());
        const int item = static_cast<int>(i);
        if (way == MenuWay::rightClick) {
            RECT cell{};
            ListView_GetSubItemRect(list.list(), item, 1, LVIR_LABEL, &cell);
            const LPARAM middle = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
            // The list tracks the button until it is up (a drag begins otherwise): up first in the queue.
            PostMessageA(list.list(), WM_RBUTTONUP, 0, middle);
            SendMessageA(list.list(), WM_RBUTTONDOWN, MK_RBUTTON, middle);
        } else {
            key(WM_KEYDOWN, VK_HOME);
            for (int down = 0; down < item; ++down) key(WM_KEYDOWN, VK_DOWN);
            if (way == MenuWay::menuKey) {
                key(WM_KEYDOWN, VK_APPS);
                key(WM_KEYUP, VK_APPS);
            } else {
                BYTE state[256] = {};
                GetKeyboardState(state);
                state[VK_SHIFT] = 0x80;
                SetKeyboardState(state);
                key(WM_SYSKEYDOWN, VK_F10);
                state[VK_SHIFT] = 0;
                SetKeyboardState(state);
            }
        }
        pump();
        g_probe = {};
        return items;
    }
    std::string clipboard() {
        std::string text;
        if (!OpenClipboard(nullptr)) return text;
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            text = static_cast<const char*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
        return text;
    }
};

using Sides = ::testing::Types<Win32PlayerListSide>;
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, PlayerTableContract, Sides);

}  // namespace
