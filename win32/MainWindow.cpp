#include "win32/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>
#include <winsock2.h>

#include <algorithm>
#include <cctype>

#include "app/AboutTexts.h"
#include "app/FieldRules.h"
#include "base/AppError.h"

namespace win32 {

namespace {

constexpr const char* kClassName = "VexmondWindow";
constexpr UINT_PTR kMessageTimer = 1, kStatusTimer = 2, kHeardTimer = 4;

enum : WORD {
    kFirstControl = 1000,
    kCmdIP = kFirstControl,
    kCmdSend,
    kCmdSave,
    kCmdClear,
    kCmdStart,
    kCmdStop,
    kCmdClose,
    kTxtIP,
    kTxtMsg,
    kLink,
    kSpinMessageTime,
    kSpinMsgDelay,
    kSpinStatus,
};

// The edit fields' keys the dialog manager would otherwise take: Enter in the
// command field sends it, Tab in the message moves on rather than typing a
// tab. A multi-line edit control reports no change of a text set from
// outside (the loaded message): the message reports that one too.
LRESULT CALLBACK fieldProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR kind, DWORD_PTR data) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    const auto window = reinterpret_cast<HWND>(data);
    if (kind == 1) {  // the command field
        if (message == WM_GETDLGCODE && msg && msg->wParam == VK_RETURN) return DLGC_WANTALLKEYS;
        if (message == WM_CHAR && wParam == '\r') return 0;
        if (message == WM_KEYDOWN && wParam == VK_RETURN) {
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(kCmdSend, BN_CLICKED), 0);
            return 0;
        }
    } else if (message == WM_GETDLGCODE && msg && msg->wParam == VK_TAB) {  // the message
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

// The spin fields: each up-down control, the field it steps and the bounds.
struct Spin {
    const char* upDown;
    const char* field;
    app::SpinBounds bounds;
};
constexpr Spin kSpins[] = {
    {"spnSeverMessageTime", "txtSeverMessageTime", app::kMessageTimeArrows},
    {"spnMsgDelay", "txtMsgDelay", app::kMsgDelayArrows},
    {"spnStatus", "txtStatus", app::kStatusArrows},
};

HFONT messageFont(int dpi, int weight, bool underline) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTA font = metrics.lfMessageFont;
    font.lfHeight = -MulDiv(9, dpi, 72);
    font.lfWeight = weight;
    font.lfUnderline = underline;
    return CreateFontIndirectA(&font);
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, platform::ISocket& socket, platform::IDatagramSource& datagrams,
                       platform::ICursor& cursor)
    : m_instance(instance), m_socket(socket), m_datagrams(datagrams), m_cursor(cursor) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXA c{};
        c.cbSize = sizeof c;
        c.lpfnWndProc = &MainWindow::procedure;
        c.hInstance = instance;
        c.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
        if (!c.hIcon) c.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
        c.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        c.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        c.lpszClassName = kClassName;
        RegisterClassExA(&c);
        ConsoleControl::registerClass(instance);
        MessagePreview::registerClass(instance);
        registered = true;
    }
    HDC screen = GetDC(nullptr);
    m_dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    m_hwnd = CreateWindowExA(WS_EX_CONTROLPARENT, kClassName, "Vexmond", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                             CW_USEDEFAULT, scaled(640), scaled(640), nullptr, nullptr, instance, this);
    m_messageBoxes = MessageBoxes(m_hwnd);
    m_loop.setWindow(m_hwnd);
    // The dots per inch of the monitor the window is on (Windows 10 and
    // later), else of the system.
    using DpiForWindow = UINT(WINAPI*)(HWND);
    if (auto dpiForWindow = reinterpret_cast<DpiForWindow>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow"))))
        if (const UINT dpi = dpiForWindow(m_hwnd)) m_dpi = static_cast<int>(dpi);
    makeFonts();
    buildControls();
    applyFonts();
    layout();
    // 640 by 640 at 96 dots per inch where the work area has the room, and
    // never smaller than every control needs.
    const RECT work = workArea(RECT{});
    const SIZE least = leastSize();
    SetWindowPos(m_hwnd, nullptr, 0, 0,
                 std::max<int>(least.cx, std::min<int>(scaled(640), static_cast<int>(work.right - work.left))),
                 std::max<int>(least.cy, std::min<int>(scaled(640), static_cast<int>(work.bottom - work.top))),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT MainWindow::workArea(const RECT& around) const {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromRect(&around, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor.rcWork;
}

// The outer size of the smallest client area, at the window's dots per inch
// where Windows can tell (10 and later).
SIZE MainWindow::leastSize() const {
    RECT r{0, 0, m_leastClient.cx, m_leastClient.cy};
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(m_hwnd, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(m_hwnd, GWL_EXSTYLE));
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    if (auto adjust = reinterpret_cast<AdjustForDpi>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "AdjustWindowRectExForDpi"))))
        adjust(&r, style, TRUE, exStyle, static_cast<UINT>(m_dpi));
    else
        AdjustWindowRectEx(&r, style, TRUE, exStyle);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void MainWindow::makeFonts() {
    for (HFONT f : {m_font, m_bold, m_fixed, m_link})
        if (f) DeleteObject(f);
    m_font = messageFont(m_dpi, FW_NORMAL, false);
    m_bold = messageFont(m_dpi, FW_BOLD, false);
    m_link = messageFont(m_dpi, FW_NORMAL, true);
    m_fixed =
        CreateFontA(-MulDiv(9, m_dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
}

void MainWindow::applyFonts() {
    for (const auto& [name, hwnd] : m_controls) {
        const HFONT font = name == "lblWarning" ? m_bold : name == "SSHotLink1" ? m_link : m_font;
        SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    SendMessageA(m_toolbar->row(), WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    m_console->setFont(m_fixed);
    m_preview->setFont(m_font);
}

MainWindow::~MainWindow() {
    m_datagrams.watch(nullptr, nullptr);
    m_txtIP.reset();
    if (IsWindow(m_hwnd)) {
        m_destroyed = true;
        DestroyWindow(m_hwnd);
    }
    for (HFONT f : {m_font, m_bold, m_fixed, m_link}) DeleteObject(f);
}

HWND MainWindow::add(const char* name, const char* className, const char* text, DWORD style, DWORD exStyle) {
    static WORD nextId = 2000;  // controls without a command of their own
    WORD id = nextId++;
    const std::pair<const char*, WORD> commands[] = {
        {"cmdIP", kCmdIP},       {"cmdSend", kCmdSend}, {"cmdSave", kCmdSave},   {"cmdClear", kCmdClear},
        {"cmdStart", kCmdStart}, {"cmdStop", kCmdStop}, {"cmdClose", kCmdClose}, {"txtIP", kTxtIP},
        {"txtMsg", kTxtMsg},     {"SSHotLink1", kLink},
    };
    for (const auto& [n, c] : commands)
        if (std::string(n) == name) id = c;
    HWND hwnd = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, m_hwnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), m_instance, nullptr);
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    m_controls.emplace_back(name, hwnd);
    return hwnd;
}

HWND MainWindow::control(const std::string& name) const {
    for (const auto& [n, h] : m_controls)
        if (n == name) return h;
    return nullptr;
}

void MainWindow::buildControls() {
    m_toolbar = std::make_unique<GameToolbar>(m_hwnd, m_instance, m_font);
    m_controls.emplace_back("ID_SelectGame", m_toolbar->gameBox());
    m_tooltips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, m_hwnd,
                                 nullptr, m_instance, nullptr);
    SendMessageA(m_tooltips, TTM_SETMAXTIPWIDTH, 0, scaled(400));
    const auto tip = [this](HWND control, const char* text) {
        TOOLINFOA info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = m_hwnd;
        info.uId = reinterpret_cast<UINT_PTR>(control);
        info.lpszText = const_cast<char*>(text);
        SendMessageA(m_tooltips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    };
    const DWORD label = SS_LEFT | SS_CENTERIMAGE;
    const DWORD field = WS_TABSTOP | ES_AUTOHSCROLL;
    const DWORD spin = UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;

    // Server information. Each label comes just before its field: its
    // mnemonic moves to the field.
    add("fraServer", "BUTTON", "&Server Information:", BS_GROUPBOX);
    add("lblIP", "STATIC", " &IP:", label);
    HWND ip = add("txtIP", "COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL);
    add("cmdIP", "BUTTON", "Get Local I.P", WS_TABSTOP | BS_PUSHBUTTON);
    add("lblPort", "STATIC", "&Port:", label);
    HWND port = add("txtPort", "EDIT", "", field | ES_NUMBER, WS_EX_CLIENTEDGE);
    SendMessageA(port, EM_LIMITTEXT, app::kPortDigits, 0);  // ES_NUMBER takes the digits only
    add("lblRconPass", "STATIC", "Pass&word:", label);
    HWND password = add("txtPassword", "EDIT", "", field | ES_PASSWORD, WS_EX_CLIENTEDGE);
    SendMessageA(password, EM_SETPASSWORDCHAR, '*', 0);

    // The message and its timing.
    add("Frame2", "BUTTON", "&Message to Send:", BS_GROUPBOX);
    HWND msg = add("txtMsg", "EDIT", "", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                   WS_EX_CLIENTEDGE);
    SetWindowSubclass(msg, &fieldProcedure, 2, reinterpret_cast<DWORD_PTR>(m_hwnd));
    m_preview = std::make_unique<MessagePreview>(m_hwnd, m_instance, m_font);
    m_controls.emplace_back("txtMsgPreview", m_preview->handle());
    add("lblMinutes", "STATIC", "Send message every", label);
    HWND messageTime = add("txtSeverMessageTime", "EDIT", "5", field, WS_EX_CLIENTEDGE);
    add("spnSeverMessageTime", UPDOWN_CLASSA, "", spin);
    add("lblMinutes2", "STATIC", "minutes and delay each line", label);
    HWND delay = add("txtMsgDelay", "EDIT", "15", field, WS_EX_CLIENTEDGE);
    add("spnMsgDelay", UPDOWN_CLASSA, "", spin);
    add("lblSeconds", "STATIC", "seconds.", label);
    add("lblWarning", "STATIC", "Do not abuse!!!", label | SS_RIGHT);

    // Options and the manual rcon command.
    add("Frame1", "BUTTON", "Options: ", BS_GROUPBOX);
    add("lblStatusEvery", "STATIC", "Get Status every", label);
    HWND status = add("txtStatus", "EDIT", "1", field, WS_EX_CLIENTEDGE);
    add("spnStatus", UPDOWN_CLASSA, "", spin);
    add("lblStatusMinutes", "STATIC", "minutes.", label);
    add("fraManualRcon", "BUTTON", "Rcon:", BS_GROUPBOX);
    HWND command = add("txtSendCommand", "EDIT", "", field, WS_EX_CLIENTEDGE);
    SendMessageA(command, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(L"an rcon command, e.g. status"));
    SetWindowSubclass(command, &fieldProcedure, 1, reinterpret_cast<DWORD_PTR>(m_hwnd));
    add("cmdSend", "BUTTON", "Send", WS_TABSTOP | BS_PUSHBUTTON);

    // The output console.
    add("fraStatus", "BUTTON", "Status:", BS_GROUPBOX);
    m_console = std::make_unique<ConsoleControl>(m_hwnd, 3000, m_instance);
    m_controls.emplace_back("txtOutput", m_console->handle());
    add("cmdSave", "BUTTON", "&Save", WS_TABSTOP | BS_PUSHBUTTON);
    add("cmdClear", "BUTTON", "Clear", WS_TABSTOP | BS_PUSHBUTTON);

    // Start, stop, close, and the running indicator.
    add("cmdStart", "BUTTON", "Start", WS_TABSTOP | BS_PUSHBUTTON);
    add("cmdStop", "BUTTON", "S&top", WS_TABSTOP | BS_PUSHBUTTON);
    add("cmdClose", "BUTTON", "&Close", WS_TABSTOP | BS_PUSHBUTTON);
    add("lblRunning", "STATIC", "Status:", label);
    HWND connected = add("imgConnected", "STATIC", "Running", SS_OWNERDRAW | SS_NOTIFY);
    HWND notConnected = add("imgNotConnected", "STATIC", "Not running", SS_OWNERDRAW | SS_NOTIFY);
    ShowWindow(connected, SW_HIDE);
    add("lblOnLine", "STATIC", "Offline", label);
    HWND heard = add("lblHeard", "STATIC", "", label | SS_ENDELLIPSIS | SS_NOPREFIX);
    HWND link = add("SSHotLink1", "STATIC", "Author's website", label | SS_NOTIFY);

    // The up-down controls step their buddies' numbers, nothing else.
    for (const Spin& each : kSpins) {
        SendMessageA(control(each.upDown), UDM_SETRANGE32, static_cast<WPARAM>(each.bounds.low), each.bounds.high);
        SendMessageA(control(each.upDown), UDM_SETPOS32, 0, each.bounds.low);
    }

    tip(ip, "Type in a new IP and press enter to add it to the available list");
    const std::string delayTip = app::lineDelayTip();
    tip(delay, delayTip.c_str());
    tip(connected, "Toggles Port");
    tip(notConnected, "Toggles Port");
    tip(m_toolbar->gameBox(), app::kGameBoxTip);
    tip(m_preview->handle(), app::kPreviewTip);
    tip(link, app::kAuthorWebsite);

    m_txtIP = std::make_unique<ComboText>(ip);
    m_txtPort = std::make_unique<EditText>(port);
    m_txtPassword = std::make_unique<EditText>(password);
    m_txtMsg = std::make_unique<EditText>(msg);
    m_txtSeverMessageTime = std::make_unique<EditText>(messageTime);
    m_txtMsgDelay = std::make_unique<EditText>(delay);
    m_txtStatus = std::make_unique<EditText>(status);
    m_txtSendCommand = std::make_unique<EditText>(command);
    m_cmdStart = std::make_unique<ButtonControl>(control("cmdStart"));
    m_imgConnected = std::make_unique<ImageControl>(connected);
    m_imgNotConnected = std::make_unique<ImageControl>(notConnected);
    m_tmrServerMessage = std::make_unique<WindowTimer>(m_hwnd, kMessageTimer);
    m_tmrStatus = std::make_unique<WindowTimer>(m_hwnd, kStatusTimer);
    m_tmrHeard = std::make_unique<WindowTimer>(m_hwnd, kHeardTimer);
    m_lblHeard = std::make_unique<NoticeControl>(heard);
    m_toolbar->onShownChange = [this] { showColours(); };
    showColours();
}

int MainWindow::textWidth(const char* name) const {
    HWND hwnd = control(name);
    std::string text = windowText(hwnd);
    std::erase(text, '&');  // a mnemonic's mark takes no room (no caption here shows an ampersand)
    return win32::textWidth(hwnd, reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)), text) + scaled(4);
}

// Rows of fixed height, the preview's rows, and a flexible height shared by
// the message (one part) and the console (two parts), each keeping two
// lines; labels as wide as their texts; spacing in units of 96 dots per
// inch. The smallest client area that shows every control comes with it.
void MainWindow::layout() {
    RECT client{};
    GetClientRect(m_hwnd, &client);
    const int w = static_cast<int>(client.right), h = static_cast<int>(client.bottom), margin = scaled(8),
              row = scaled(24), gap = scaled(6), top = scaled(18), pad = scaled(8), number = scaled(48),
              space = scaled(4);
    m_toolbar->resize(w);
    int y = m_toolbar->height() + margin / 2;
    const auto place = [this](const char* name, int x, int yy, int width, int height) {
        MoveWindow(control(name), x, yy, std::max(width, 0), std::max(height, 0), FALSE);
    };
    const auto spinBeside = [&](const char* edit, const char* spinName) {
        SendMessageA(control(spinName), UDM_SETBUDDY, reinterpret_cast<WPARAM>(control(edit)), 0);
    };
    const int inner = w - 2 * margin, x = margin + pad;
    int tx = x, ty = y;
    const auto flow = [&](const char* name, int width) {
        place(name, tx, ty, width, row);
        tx += width + space;
    };

    // Server information: two rows.
    const int serverHeight = top + 2 * row + 2 * gap;
    place("fraServer", margin, y, inner, serverHeight);
    const int buttonWidth = scaled(110), labelWidth = std::max({scaled(64), textWidth("lblIP"), textWidth("lblPort")}),
              passwordLabel = textWidth("lblRconPass");
    place("lblIP", x, y + top, labelWidth, row);
    place("txtIP", x + labelWidth, y + top, inner - labelWidth - buttonWidth - scaled(24), scaled(200));
    place("cmdIP", margin + inner - buttonWidth - pad, y + top, buttonWidth, row);
    const int y2 = y + top + row + gap;
    place("lblPort", x, y2, labelWidth, row);
    place("txtPort", x + labelWidth, y2, scaled(90), row);
    place("lblRconPass", x + labelWidth + scaled(100), y2, passwordLabel, row);
    place("txtPassword", x + labelWidth + scaled(102) + passwordLabel, y2,
          inner - labelWidth - scaled(118) - passwordLabel, row);
    int least = x + labelWidth + scaled(102) + passwordLabel + scaled(80) + pad + margin;
    y += serverHeight + margin;

    // The preview has one row, and more as the message asks and the window
    // leaves room for; the message and the console share what is left.
    const int lineHeight = m_preview->lineHeight(), oneRow = m_preview->heightFor(1);
    const int middle = top + row + gap + margin, fixedStatus = top + row + gap * 2, bottomRow = row + margin;
    const int fixed = y + top + oneRow + row + gap * 3 + margin + middle + fixedStatus + margin / 2 + bottomRow;
    const int messageLeast = 2 * lineHeight + pad, consoleLeast = 2 * m_console->lineHeight() + pad;
    const int moreRows =
        std::clamp(h - fixed - messageLeast - consoleLeast, 0, m_preview->heightFor(m_previewRows) - oneRow) /
        lineHeight * lineHeight;
    const int flexible = std::max(messageLeast + consoleLeast, h - fixed - moreRows);
    const int messageFlex = std::clamp(flexible / 3, messageLeast, flexible - consoleLeast),
              consoleFlex = flexible - messageFlex;

    // The message, its preview and its timing.
    const int frame2 = top + messageFlex + gap + oneRow + moreRows + gap + row + gap;
    place("Frame2", margin, y, inner, frame2);
    place("txtMsg", x, y + top, inner - 2 * pad, messageFlex);
    place("txtMsgPreview", x, y + top + messageFlex + gap, inner - 2 * pad, oneRow + moreRows);
    tx = x;
    ty = y + top + messageFlex + gap + oneRow + moreRows + gap;
    flow("lblMinutes", textWidth("lblMinutes"));
    flow("txtSeverMessageTime", number);
    spinBeside("txtSeverMessageTime", "spnSeverMessageTime");
    tx += space;
    flow("lblMinutes2", textWidth("lblMinutes2"));
    flow("txtMsgDelay", number);
    spinBeside("txtMsgDelay", "spnMsgDelay");
    tx += space;
    flow("lblSeconds", textWidth("lblSeconds"));
    const int warning = textWidth("lblWarning");
    place("lblWarning", tx, ty, std::max(warning, margin + inner - pad - tx), row);
    least = std::max(least, tx + warning + pad + margin);
    y += frame2 + margin;

    // Options and the manual command, side by side.
    const int optionsWidth = std::max(
        scaled(240), 2 * pad + textWidth("lblStatusEvery") + number + 3 * space + textWidth("lblStatusMinutes"));
    place("Frame1", margin, y, optionsWidth, middle - margin);
    tx = x;
    ty = y + top;
    flow("lblStatusEvery", textWidth("lblStatusEvery"));
    flow("txtStatus", number);
    spinBeside("txtStatus", "spnStatus");
    tx += space;
    flow("lblStatusMinutes", textWidth("lblStatusMinutes"));
    place("fraManualRcon", margin + optionsWidth + margin, y, inner - optionsWidth - margin, middle - margin);
    place("txtSendCommand", margin * 2 + optionsWidth + pad, y + top, inner - optionsWidth - margin - scaled(96), row);
    place("cmdSend", margin + inner - scaled(80), y + top, scaled(72), row);
    least = std::max(least, optionsWidth + 3 * margin + scaled(96) + scaled(120));
    y += middle;

    // The console and its buttons.
    place("fraStatus", margin, y, inner, fixedStatus + consoleFlex);
    place("txtOutput", x, y + top, inner - 2 * pad, consoleFlex);
    // The link stands under the console, so that the row of the indicator
    // has room for what the server made of the last broadcast.
    place("SSHotLink1", x, y + top + consoleFlex + gap, textWidth("SSHotLink1"), row);
    place("cmdSave", margin + inner - scaled(168), y + top + consoleFlex + gap, scaled(76), row);
    place("cmdClear", margin + inner - scaled(84), y + top + consoleFlex + gap, scaled(76), row);
    y += fixedStatus + consoleFlex + margin / 2;

    // The bottom row.
    tx = margin;
    ty = y;
    flow("cmdStart", scaled(76));
    flow("cmdStop", scaled(76));
    flow("cmdClose", scaled(76));
    tx += scaled(16);
    flow("lblRunning", textWidth("lblRunning"));
    place("imgConnected", tx, ty + (row - scaled(18)) / 2, scaled(18), scaled(18));
    place("imgNotConnected", tx, ty + (row - scaled(18)) / 2, scaled(18), scaled(18));
    tx += scaled(22);
    flow("lblOnLine", textWidth("lblOnLine"));
    place("lblHeard", tx + scaled(8), ty, std::max(0, margin + inner - tx - scaled(8)), row);
    least = std::max(least, tx + scaled(16) + margin);
    m_leastClient = SIZE{least, fixed + messageLeast + consoleLeast};
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

app::FormControls MainWindow::controls() {
    return app::FormControls{.form = *this,
                             .SSActiveToolBars1 = *m_toolbar,
                             .txtIP = *m_txtIP,
                             .txtPort = *m_txtPort,
                             .txtPassword = *m_txtPassword,
                             .txtMsg = *m_txtMsg,
                             .txtSeverMessageTime = *m_txtSeverMessageTime,
                             .txtMsgDelay = *m_txtMsgDelay,
                             .txtStatus = *m_txtStatus,
                             .txtSendCommand = *m_txtSendCommand,
                             .txtOutput = *m_console,
                             .cmdStart = *m_cmdStart,
                             .imgConnected = *m_imgConnected,
                             .imgNotConnected = *m_imgNotConnected,
                             .tmrServerMessage = *m_tmrServerMessage,
                             .tmrStatus = *m_tmrStatus,
                             .udpPeerA = m_socket,
                             .lblHeard = *m_lblHeard,
                             .tmrHeard = *m_tmrHeard};
}

void MainWindow::bind(app::frmMain& form) {
    m_form = &form;
    m_toolbar->onToolClick = [this](const platform::ITool& tool) { m_form->SSActiveToolBars1_ToolClick(tool); };
    m_toolbar->onComboSelChange = [this](const platform::ITool& tool) {
        m_form->SSActiveToolBars1_ComboSelChange(tool);
    };
    m_txtIP->onKeyDown = [this](std::int16_t& keyCode, std::int16_t shift) { m_form->txtIP_KeyDown(keyCode, shift); };
    m_txtIP->onFailure = [this](const std::exception& e) { m_form->txtIP_Failed(e); };
    const auto opened = [this](platform::SocketHandle s) {
        WSAAsyncSelect(static_cast<SOCKET>(s), m_hwnd, kSocketMessage, FD_READ);
    };
    const auto closing = [this] {
        const platform::SocketHandle s = m_datagrams.descriptor();
        if (s >= 0) WSAAsyncSelect(static_cast<SOCKET>(s), m_hwnd, 0, 0);
    };
    m_datagrams.watch(opened, closing);
    if (m_datagrams.descriptor() >= 0) opened(m_datagrams.descriptor());
}

void MainWindow::show(int how) {
    ShowWindow(m_hwnd, how);
    UpdateWindow(m_hwnd);
}

int MainWindow::run() {
    MSG msg;
    while (!m_destroyed && GetMessageA(&msg, nullptr, 0, 0) > 0) dispatch(msg);
    return 0;
}

void MainWindow::dispatch(MSG& msg) {
    if ((msg.hwnd == m_hwnd || IsChild(m_hwnd, msg.hwnd)) && takeKey(msg)) return;
    if (IsDialogMessageA(m_hwnd, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

// What the window takes before the dialog manager: an underlined letter
// (the dialog manager would ask the window for WM_NEXTDLGCTL, which only a
// dialog answers, and press a button whose letter another control shares);
// a character typed while no control has the focus, which it would take as
// a button's letter; Ctrl+A in a text field, which selects all of it.
bool MainWindow::takeKey(const MSG& msg) {
    switch (msg.message) {
    case WM_SYSCHAR: return mnemonic(msg.wParam);
    case WM_CHAR:
        if (msg.hwnd == m_hwnd) return true;
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
bool MainWindow::mnemonic(WPARAM key) {
    struct Match {
        std::size_t at;
        HWND control, target;
        bool press;  // a button, not a frame or a label
    };
    std::vector<Match> matches;
    const HWND focus = GetFocus();
    std::size_t focusAt = 0;
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        const HWND hwnd = m_controls[i].second;
        if (focus && (hwnd == focus || IsChild(hwnd, focus))) focusAt = i;
        const bool button = isClass(hwnd, "Button");
        if (!(button || isClass(hwnd, "Static")) || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd) || key > 0xFF ||
            mnemonicOf(windowText(hwnd)) != std::toupper(static_cast<int>(key)))
            continue;
        const bool press = button && (GetWindowLongPtrA(hwnd, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX;
        matches.push_back(Match{i, hwnd, press ? hwnd : GetNextDlgTabItem(m_hwnd, hwnd, FALSE), press});
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
void MainWindow::focusControl(HWND target) {
    if (HWND edit = FindWindowExA(target, nullptr, "Edit", nullptr)) target = edit;
    SetFocus(target);
    if ((SendMessageA(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) &&
        !(GetWindowLongPtrA(target, GWL_STYLE) & ES_MULTILINE))
        SendMessageA(target, EM_SETSEL, 0, -1);
}

// As a dialog keeps it: the control that had the focus when the window was
// left or minimised has it again once the window is active; at first the
// address field, where the Linux window starts too.
void MainWindow::saveFocus() {
    const HWND focus = GetFocus();
    if (focus && IsChild(m_hwnd, focus)) m_focus = focus;
}

void MainWindow::restoreFocus() {
    const HWND focus = GetFocus();
    if (!m_txtIP || IsIconic(m_hwnd) || (focus && IsChild(m_hwnd, focus))) return;
    if (m_focus && IsWindow(m_focus) && IsWindowVisible(m_focus) && IsWindowEnabled(m_focus))
        SetFocus(m_focus);
    else
        m_txtIP->setFocus();
}

void MainWindow::showColours() {
    if (!m_preview || !m_txtMsg) return;
    const std::string game = windowText(m_toolbar->gameBox());
    const app::ColourCodes rule = app::colourCodesOf(game);
    HWND msg = m_txtMsg->handle();
    std::wstring wide(static_cast<std::size_t>(GetWindowTextLengthW(msg)) + 1, L'\0');
    wide.resize(static_cast<std::size_t>(GetWindowTextW(msg, wide.data(), static_cast<int>(wide.size()))));
    m_preview->showMessage(wide, game);
    m_console->setColours(m_toolbar->consoleColours() ? &rule : nullptr);
    if (const int rows = app::previewRows(m_preview->lineCount()); rows != m_previewRows) {
        m_previewRows = rows;
        layout();
    }
}

void MainWindow::tick(UINT_PTR id) {
    if (id == EventLoop::kAfterInputTimer) {
        m_loop.runAfterInput();
        return;
    }
    if (!m_form) return;
    // A tick of a timer just stopped may still wait in the queue.
    if (id == kMessageTimer && m_tmrServerMessage->enabled()) m_form->tmrServerMessage_Timer();
    if (id == kStatusTimer && m_tmrStatus->enabled()) m_form->tmrStatus_Timer();
    if (id == kHeardTimer && m_tmrHeard->enabled()) m_form->tmrHeard_Timer();
}

void MainWindow::command(WORD id, WORD code, HWND control) {
    if (m_toolbar->command(id, code, control)) return;
    if (!m_form) return;
    if (id == kTxtIP && code == CBN_EDITCHANGE) {
        m_txtIP->changed();
        return;
    }
    if (id == kTxtMsg && code == EN_CHANGE) {
        showColours();
        return;
    }
    if (id == kLink && code == STN_CLICKED) {
        ShellExecuteA(m_hwnd, "open", app::kAuthorWebsite, nullptr, nullptr, SW_SHOWNORMAL);
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
    case kCmdClose: m_form->cmdClose_Click(); break;
    case kCmdIP: m_form->cmdIP_Click(); break;
    case kCmdStart:
        if (IsWindowEnabled(this->control("cmdStart"))) m_form->cmdStart_Click();
        break;
    case kCmdSend: m_form->cmdSend_Click(); break;
    case kCmdSave: m_form->cmdSave_Click(); break;
    case kCmdClear: m_form->cmdClear_Click(); break;
    case kCmdStop: m_form->cmdStop_Click(); break;
    default: break;
    }
}

LRESULT CALLBACK MainWindow::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowObject<MainWindow>(hwnd, message, lParam);
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    self->m_hwnd = hwnd;
    // The procedures show their own failures; whatever else a handler lets
    // out must not unwind into Windows.
    try {
        return self->handle(message, wParam, lParam);
    } catch (const std::exception& e) {
        try {
            self->m_messageBoxes.show(base::errorText(base::asAppError(e)), platform::mb::kExclamation,
                                      "Vexmond - frmMain");
        } catch (...) {}
    } catch (...) {}
    return 0;
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        LRESULT result = 0;
        if (m_toolbar && m_toolbar->notify(header, &result)) return result;
        if (header.code == UDN_DELTAPOS) {
            // Up counts up (the range runs from low to high); the buddy's
            // text is ours, not the control's.
            const int delta = reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta;
            for (const Spin& spin : kSpins)
                if (header.hwndFrom == control(spin.upDown))
                    EditText(control(spin.field)).step(delta, spin.bounds.low, spin.bounds.high);
            return TRUE;
        }
        return 0;
    }
    case WM_TIMER: tick(wParam); return 0;
    case kSocketMessage:
        if (m_form) m_form->udpPeerA_DataArrival(static_cast<std::int32_t>(m_datagrams.pendingDatagramSize()));
        return 0;
    case EventLoop::kRunPosted: m_loop.runPosted(); return 0;
    case kPressStart: command(kCmdStart, BN_CLICKED, control("cmdStart")); return 0;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED) return 0;
        layout();
        if (GetActiveWindow() == m_hwnd) restoreFocus();  // restored while active
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            saveFocus();
        else if (!HIWORD(wParam))
            restoreFocus();
        return 0;
    case WM_SETFOCUS: restoreFocus(); return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE) saveFocus();
        break;
    case WM_DPICHANGED: {
        // Moved to a screen of another density: new fonts, and the size Windows suggests.
        m_dpi = HIWORD(wParam);
        makeFonts();
        applyFonts();
        const RECT& r = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(m_hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        layout();
        return 0;
    }
    case WM_WINDOWPOSCHANGING: {
        // Windows keeps the window at its least size; a window manager that
        // was not told it (wine tells one only of a window of fixed size)
        // may still make the frame smaller, which setting the size again
        // undoes.
        const auto& pos = *reinterpret_cast<const WINDOWPOS*>(lParam);
        const SIZE least = leastSize();
        if (!(pos.flags & SWP_NOSIZE) && !IsIconic(m_hwnd) && !IsZoomed(m_hwnd) &&
            (pos.cx < least.cx || pos.cy < least.cy))
            PostMessageA(m_hwnd, kKeepLeastSize, 0, 0);
        break;
    }
    case kKeepLeastSize: {
        RECT r{};
        GetWindowRect(m_hwnd, &r);
        if (!IsIconic(m_hwnd))
            SetWindowPos(m_hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        return 0;
    }
    case WM_GETMINMAXINFO: {
        const SIZE least = leastSize();
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{least.cx, least.cy};
        return 0;
    }
    case WM_INITMENUPOPUP:
        if (m_toolbar && !HIWORD(lParam)) m_toolbar->menuOpening(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const bool running = item.hwndItem == control("imgConnected");
        HBRUSH brush = CreateSolidBrush(running ? RGB(0x2e, 0xcc, 0x40) : RGB(0xc0, 0x39, 0x2b));
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
        HGDIOBJ old = SelectObject(item.hDC, brush);
        Ellipse(item.hDC, item.rcItem.left + 1, item.rcItem.top + 1, item.rcItem.right - 1, item.rcItem.bottom - 1);
        SelectObject(item.hDC, old);
        DeleteObject(brush);
        return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        const auto which = reinterpret_cast<HWND>(lParam);
        SetBkMode(dc, TRANSPARENT);
        if (which == control("lblWarning")) SetTextColor(dc, RGB(0xc0, 0x39, 0x2b));
        if (which == control("SSHotLink1")) SetTextColor(dc, RGB(0x00, 0x33, 0xcc));
        if (m_lblHeard && which == m_lblHeard->handle() && m_lblHeard->warning())
            SetTextColor(dc, RGB(0xc0, 0x39, 0x2b));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
        // A pointer the program asked for (the hourglass) holds over the window.
        if (m_cursor.current() != 0 && LOWORD(lParam) == HTCLIENT) {
            m_cursor.set(static_cast<std::int16_t>(m_cursor.current()));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        // The presenter cancels the title bar's close once the window's own
        // close command is gone: then only Close and Exit close it.
        if (bool cancel = false; !m_destroyed && m_form && (m_form->Form_QueryUnload(cancel), cancel)) return 0;
        m_destroyed = true;
        PostQuitMessage(0);
        return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
        // The session ends: the unload runs once, and the program with it.
        // A logoff that was cancelled ends nothing.
        if (wParam && m_form) {
            m_form->Unload();
            ExitProcess(0);
        }
        return 0;
    default: break;
    }
    return DefWindowProcA(m_hwnd, message, wParam, lParam);
}

double MainWindow::width() const {
    RECT r{};
    GetWindowRect(m_hwnd, &r);
    return r.right - r.left;
}

double MainWindow::height() const {
    RECT r{};
    GetWindowRect(m_hwnd, &r);
    return r.bottom - r.top;
}

// Where the logic puts it, but with its frame within the work area, where
// no task bar covers it.
void MainWindow::move(double left, double top) {
    RECT frame{};
    GetWindowRect(m_hwnd, &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int x = static_cast<int>(left + 0.5), y = static_cast<int>(top + 0.5);
    const RECT work = workArea(RECT{x, y, x + width, y + height});
    SetWindowPos(m_hwnd, nullptr, std::clamp<int>(x, work.left, std::max<int>(work.left, work.right - width)),
                 std::clamp<int>(y, work.top, std::max<int>(work.top, work.bottom - height)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::int32_t MainWindow::systemMenuItemId(int position) const {
    return static_cast<std::int32_t>(GetMenuItemID(GetSystemMenu(m_hwnd, FALSE), position));
}

bool MainWindow::modifySystemMenuItem(std::int32_t id, std::uint32_t flags, std::int32_t newId,
                                      const std::string& text) {
    return ModifyMenuA(GetSystemMenu(m_hwnd, FALSE), static_cast<UINT>(id), MF_BYCOMMAND | flags,
                       static_cast<UINT_PTR>(static_cast<std::uint32_t>(newId)), text.c_str()) != FALSE;
}

bool MainWindow::closeCommandEnabled() const {
    const UINT state = GetMenuState(GetSystemMenu(m_hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

void MainWindow::destroy() {
    if (m_destroyed) return;
    m_destroyed = true;
    ShowWindow(m_hwnd, SW_HIDE);
    PostQuitMessage(0);
}

}  // namespace win32
