// A bare Win32 window holding the same kinds and numbers of controls as
// Vexmond's (a menu bar, a toolbar with a combo box, group boxes, labels,
// edit fields, buttons, up-down controls, two owner-drawn images, two
// timers): the yardstick the program's start-up is timed against.
#include <windows.h>

#include <commctrl.h>

#include <initializer_list>

// The same controls, laid out nowhere in particular, with a menu bar and two timers.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    WNDCLASSA c{};
    c.lpfnWndProc = DefWindowProcA;
    c.hInstance = instance;
    c.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    c.lpszClassName = "BareWindow";
    RegisterClassA(&c);
    HWND window = CreateWindowExA(0, "BareWindow", "Bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 640,
                                  nullptr, nullptr, instance, nullptr);
    HMENU bar = CreateMenu();
    for (const char* name : {"&File", "&Games", "&Help"})
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), name);
    SetMenu(window, bar);
    HWND row = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT, 0, 0, 600, 30,
                               window, nullptr, instance, nullptr);
    CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, 60, 2, 220, 200, row, nullptr, instance,
                    nullptr);
    const struct {
        const char* className;
        int count;
        DWORD style;
    } controls[] = {{"BUTTON", 5, BS_GROUPBOX},  {"STATIC", 14, SS_LEFT},      {"COMBOBOX", 1, CBS_DROPDOWN},
                    {"EDIT", 8, ES_AUTOHSCROLL}, {"BUTTON", 7, BS_PUSHBUTTON}, {UPDOWN_CLASSA, 3, UDS_ALIGNRIGHT},
                    {"STATIC", 2, SS_OWNERDRAW}};
    int y = 40;
    for (const auto& k : controls)
        for (int i = 0; i < k.count; ++i, y += 4)
            CreateWindowExA(0, k.className, "x", WS_CHILD | WS_VISIBLE | k.style, 10, y, 200, 22, window, nullptr,
                            instance, nullptr);
    SetTimer(window, 1, 65535, nullptr);
    SetTimer(window, 2, 63000, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
