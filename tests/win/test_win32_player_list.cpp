// The Win32 player list runs the contract the fake runs, under wine, used
// through the messages a user's mouse and keys send. A row's menu is read and
// answered when its loop first goes idle: its owner, the frame, is told of the
// menu (WM_INITMENUPOPUP) and of its window (WM_ENTERIDLE).
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "tests/support/PlayerTableContract.h"
#include "win32/PlayerList.h"
#include "win32/Win32Controls.h"

namespace {

std::vector<std::string>* g_items;  // where the next menu's items go
std::string g_choose;
HMENU g_menu;

LRESULT CALLBACK probeMenus(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_INITMENUPOPUP) g_menu = reinterpret_cast<HMENU>(wParam);
    if (message != WM_ENTERIDLE || wParam != MSGF_MENU || !g_items)
        return DefSubclassProc(hwnd, message, wParam, lParam);
    int pick = -1;
    for (int i = 0; i < GetMenuItemCount(g_menu); ++i) {
        char text[64] = {};
        GetMenuStringA(g_menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        g_items->push_back(text);
        if (text == g_choose) pick = i;
    }
    g_items = nullptr;
    for (int down = 0; down <= pick; ++down) PostMessageA(reinterpret_cast<HWND>(lParam), WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(reinterpret_cast<HWND>(lParam), WM_KEYDOWN, pick >= 0 ? VK_RETURN : VK_ESCAPE, 0);
    return 0;
}

HWND makeParent(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    win32::PlayerList::registerClass(instance);
    return CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 700, 400, nullptr, nullptr, instance, nullptr);
}

struct Win32PlayerListSide {
    HWND parent = makeParent(GetModuleHandleA(nullptr));
    win32::PlayerList list{parent, GetModuleHandleA(nullptr), static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))};
    HWND view = list.list();
    Win32PlayerListSide() {
        MoveWindow(list.handle(), 0, 0, 640, 300, TRUE);
        SetWindowSubclass(list.handle(), probeMenus, 1, 0);
        ShowWindow(parent, SW_SHOWNOACTIVATE);
    }
    ~Win32PlayerListSide() { DestroyWindow(parent); }

    platform::IPlayerTable& table() { return list; }
    void clickRefresh() { SendMessageA(list.refreshButton(), BM_CLICK, 0, 0); }
    void clickHeader(platform::PlayerColumn column) {
        RECT r{};
        Header_GetItemRect(ListView_GetHeader(view), static_cast<int>(column), &r);
        for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP})
            SendMessageA(ListView_GetHeader(view), message, MK_LBUTTON,
                         MAKELPARAM((r.left + r.right) / 2, r.bottom / 2));
    }
    std::vector<std::string> cells(std::size_t i) {
        std::vector<std::string> texts;
        for (int c = 0; static_cast<int>(i) < ListView_GetItemCount(view) && c < platform::kPlayerColumnCount; ++c) {
            char text[128] = {};
            ListView_GetItemText(view, static_cast<int>(i), c, text, sizeof text);
            texts.push_back(text);
        }
        return texts;
    }
    void key(UINT message, WPARAM key) { SendMessageA(view, message, key, message == WM_KEYUP ? 0xC0000001 : 1); }
    std::vector<std::string> menu(std::size_t i, MenuWay way, const std::string& choose) {
        std::vector<std::string> items;
        g_items = &items;
        g_choose = choose;
        SetFocus(view);
        RECT cell{};
        ListView_GetSubItemRect(view, static_cast<int>(i), 1, LVIR_LABEL, &cell);
        // The list tracks the right button until it is up (a drag begins otherwise): up first in the queue.
        if (way == MenuWay::rightClick) PostMessageA(view, WM_RBUTTONUP, 0, MAKELPARAM(cell.left + 4, cell.top + 4));
        if (way == MenuWay::rightClick)
            SendMessageA(view, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(cell.left + 4, cell.top + 4));
        if (way != MenuWay::rightClick) {
            key(WM_KEYDOWN, VK_HOME);
            for (std::size_t down = 0; down < i; ++down) key(WM_KEYDOWN, VK_DOWN);
            BYTE state[256] = {};
            GetKeyboardState(state);
            state[VK_SHIFT] = way == MenuWay::shiftF10 ? 0x80 : 0;
            SetKeyboardState(state);
            key(way == MenuWay::shiftF10 ? WM_SYSKEYDOWN : WM_KEYDOWN, way == MenuWay::shiftF10 ? VK_F10 : VK_APPS);
            if (way == MenuWay::menuKey) key(WM_KEYUP, VK_APPS);  // it opens on the key's release
            state[VK_SHIFT] = 0;
            SetKeyboardState(state);
        }
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
        g_items = nullptr;
        return items;
    }
    std::string clipboard() { return win32::clipboardText(nullptr); }
};

using Win32Tables = ::testing::Types<Win32PlayerListSide>;
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, PlayerTableContract, Win32Tables);

}  // namespace
