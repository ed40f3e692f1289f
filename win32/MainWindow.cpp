#include "win32/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>
#include <winsock2.h>

#include <algorithm>

#include "app/AboutTexts.h"
#include "base/AppError.h"

namespace win32 {

namespace {

constexpr const char* kClassName = "VexmondWindow";
constexpr UINT_PTR kMessageTimer = 1, kStatusTimer = 2;

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
// command field sends it, Tab in the message moves on rather than typing a tab.
LRESULT CALLBACK fieldProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR kind, DWORD_PTR data) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (kind == 1) {  // the command field
        if (message == WM_GETDLGCODE && msg && msg->wParam == VK_RETURN) return DLGC_WANTALLKEYS;
        if (message == WM_CHAR && wParam == '\r') return 0;
        if (message == WM_KEYDOWN && wParam == VK_RETURN) {
            PostMessageA(reinterpret_cast<HWND>(data), WM_COMMAND, MAKEWPARAM(kCmdSend, BN_CLICKED), 0);
            return 0;
        }
    } else if (message == WM_GETDLGCODE && msg && msg->wParam == VK_TAB) {  // the message
        return DefSubclassProc(hwnd, message, wParam, lParam) & ~DLGC_WANTALLKEYS & ~DLGC_WANTTAB;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

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
    SendMessageA(port, EM_LIMITTEXT, 6, 0);
    add("lblRconPass", "STATIC", "Pass&word:", label);
    HWND password = add("txtPassword", "EDIT", "", field | ES_PASSWORD, WS_EX_CLIENTEDGE);
    SendMessageA(password, EM_SETPASSWORDCHAR, '*', 0);

    // The message and its timing.
    add("Frame2", "BUTTON", "&Message to Send:", BS_GROUPBOX);
    HWND msg = add("txtMsg", "EDIT", "", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                   WS_EX_CLIENTEDGE);
    SetWindowSubclass(msg, &fieldProcedure, 2, 0);
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
    HWND link = add("SSHotLink1", "STATIC", "Author's website", label | SS_NOTIFY);

    // The up-down controls step their buddies' numbers, nothing else.
    for (const char* name : {"spnSeverMessageTime", "spnMsgDelay", "spnStatus"}) {
        SendMessageA(control(name), UDM_SETRANGE32, 0, 30);
        SendMessageA(control(name), UDM_SETPOS32, 0, 5);
    }

    tip(ip, "Type in a new IP and press enter to add it to the available list");
    tip(delay,
        "Seconds to pause after each line, from 0 to 60 (0 means 2). The window takes no input during the pause.");
    tip(connected, "Toggles Port");
    tip(notConnected, "Toggles Port");
    tip(m_toolbar->gameBox(), "Select the game type for your server");
    tip(m_preview->handle(),
        "The message as the players see it in chat: the colour codes hidden, the text in their colours. A hatched "
        "line is empty and is not sent. A ? on red stands for a character the message cannot carry, which is sent "
        "as ?.");
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
    m_toolbar->onShownChange = [this] { showColours(); };
    showColours();
}

// Fixed rows and a flexible height shared by the message (one part) and the
// console (two parts), in units of 96 dots per inch.
void MainWindow::layout() {
    RECT client{};
    GetClientRect(m_hwnd, &client);
    const int w = static_cast<int>(client.right), margin = scaled(8), row = scaled(24), gap = scaled(6),
              top = scaled(18);
    m_toolbar->resize(w);
    int y = m_toolbar->height() + margin / 2;
    const auto place = [this](const char* name, int x, int yy, int width, int height) {
        MoveWindow(control(name), x, yy, std::max(width, 0), std::max(height, 0), FALSE);
    };
    const auto spinBeside = [&](const char* edit, const char* spinName) {
        SendMessageA(control(spinName), UDM_SETBUDDY, reinterpret_cast<WPARAM>(control(edit)), 0);
    };
    const int inner = w - 2 * margin;

    // Server information: two rows.
    place("fraServer", margin, y, inner, top + 2 * row + 2 * gap);
    int x = margin + scaled(8);
    const int buttonWidth = scaled(110), labelWidth = scaled(64);
    place("lblIP", x, y + top, labelWidth, row);
    place("txtIP", x + labelWidth, y + top, inner - labelWidth - buttonWidth - scaled(24), scaled(200));
    place("cmdIP", margin + inner - buttonWidth - scaled(8), y + top, buttonWidth, row);
    const int y2 = y + top + row + gap;
    place("lblPort", x, y2, labelWidth, row);
    place("txtPort", x + labelWidth, y2, scaled(90), row);
    place("lblRconPass", x + labelWidth + scaled(100), y2, scaled(70), row);
    place("txtPassword", x + labelWidth + scaled(172), y2, inner - labelWidth - scaled(188), row);
    y += top + 2 * row + 2 * gap + margin;

    const int bottomRow = row + margin, middle = top + row + gap + margin;
    const int fixedStatus = top + row + gap * 2, fixedMessage = top + scaled(40) + row + gap * 3;
    const int margins = margin + margin / 2 + margin;  // below the message, the console and the bottom row
    const int flexible = std::max<int>(
        scaled(120), static_cast<int>(client.bottom) - y - bottomRow - middle - fixedStatus - fixedMessage - margins);
    const int messageFlex = flexible / 3, consoleFlex = flexible - messageFlex;

    // The message, its preview and its timing.
    const int frame2 = fixedMessage + messageFlex;
    place("Frame2", margin, y, inner, frame2);
    place("txtMsg", x, y + top, inner - scaled(16), messageFlex);
    place("txtMsgPreview", x, y + top + messageFlex + gap, inner - scaled(16), scaled(40));
    int ty = y + top + messageFlex + gap + scaled(40) + gap;
    int tx = x;
    const auto flow = [&](const char* name, int width) {
        place(name, tx, ty, width, row);
        tx += width + scaled(4);
    };
    flow("lblMinutes", scaled(118));
    flow("txtSeverMessageTime", scaled(48));
    spinBeside("txtSeverMessageTime", "spnSeverMessageTime");
    tx += scaled(4);
    flow("lblMinutes2", scaled(170));
    flow("txtMsgDelay", scaled(48));
    spinBeside("txtMsgDelay", "spnMsgDelay");
    tx += scaled(4);
    flow("lblSeconds", scaled(56));
    place("lblWarning", tx, ty, margin + inner - scaled(8) - tx, row);
    y += frame2 + margin;

    // Options and the manual command, side by side.
    const int optionsWidth = scaled(240);
    place("Frame1", margin, y, optionsWidth, middle - margin);
    tx = x;
    ty = y + top;
    flow("lblStatusEvery", scaled(100));
    flow("txtStatus", scaled(48));
    spinBeside("txtStatus", "spnStatus");
    tx += scaled(4);
    flow("lblStatusMinutes", scaled(56));
    place("fraManualRcon", margin + optionsWidth + margin, y, inner - optionsWidth - margin, middle - margin);
    const int rconX = margin * 2 + optionsWidth + scaled(8);
    place("txtSendCommand", rconX, y + top, inner - optionsWidth - margin - scaled(96), row);
    place("cmdSend", margin + inner - scaled(80), y + top, scaled(72), row);
    y += middle;

    // The console and its buttons.
    place("fraStatus", margin, y, inner, fixedStatus + consoleFlex);
    place("txtOutput", x, y + top, inner - scaled(16), consoleFlex);
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
    flow("lblRunning", scaled(44));
    place("imgConnected", tx, ty + (row - scaled(18)) / 2, scaled(18), scaled(18));
    place("imgNotConnected", tx, ty + (row - scaled(18)) / 2, scaled(18), scaled(18));
    tx += scaled(22);
    flow("lblOnLine", scaled(50));
    place("SSHotLink1", margin + inner - scaled(110), ty, scaled(110), row);
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
                             .udpPeerA = m_socket};
}

template <class F>
void MainWindow::guarded(const char* procedure, F&& body) {
    try {
        body();
    } catch (const std::exception& e) {
        try {
            m_messageBoxes.show(base::errorText(base::asAppError(e)), platform::mb::kExclamation,
                                std::string("Vexmond - ") + procedure);
        } catch (...) {}
    } catch (...) {}
}

void MainWindow::bind(app::frmMain& form) {
    m_form = &form;
    m_toolbar->onToolClick = [this](const platform::ITool& tool) {
        guarded("SSActiveToolBars1_ToolClick", [&] { m_form->SSActiveToolBars1_ToolClick(tool); });
    };
    m_toolbar->onComboSelChange = [this](const platform::ITool& tool) {
        guarded("SSActiveToolBars1_ComboSelChange", [&] { m_form->SSActiveToolBars1_ComboSelChange(tool); });
    };
    m_txtIP->onKeyDown = [this](std::int16_t& keyCode, std::int16_t shift) { m_form->txtIP_KeyDown(keyCode, shift); };
    m_txtIP->onFailure = [this](const std::exception& e) {
        guarded("txtIP_KeyDown", [&] { throw base::asAppError(e); });
    };
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
    while (!m_destroyed && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(m_hwnd, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

void MainWindow::showColours() {
    if (!m_preview || !m_txtMsg) return;
    const app::ColourCodes rule = app::colourCodesOf(windowText(m_toolbar->gameBox()));
    HWND msg = m_txtMsg->handle();
    std::wstring wide(static_cast<std::size_t>(GetWindowTextLengthW(msg)) + 1, L'\0');
    wide.resize(static_cast<std::size_t>(GetWindowTextW(msg, wide.data(), static_cast<int>(wide.size()))));
    m_preview->showMessage(wide, rule);
    m_console->setColours(m_toolbar->consoleColours() ? &rule : nullptr);
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
    case kCmdClose: guarded("cmdClose_Click", [this] { m_form->cmdClose_Click(); }); break;
    case kCmdIP: guarded("cmdIP_Click", [this] { m_form->cmdIP_Click(); }); break;
    case kCmdStart:
        if (IsWindowEnabled(this->control("cmdStart"))) guarded("cmdStart_Click", [this] { m_form->cmdStart_Click(); });
        break;
    case kCmdSend: guarded("cmdSend_Click", [this] { m_form->cmdSend_Click(); }); break;
    case kCmdSave: guarded("cmdSave_Click", [this] { m_form->cmdSave_Click(); }); break;
    case kCmdClear: guarded("cmdClear_Click", [this] { m_form->cmdClear_Click(); }); break;
    case kCmdStop: guarded("cmdStop_Click", [this] { m_form->cmdStop_Click(); }); break;
    default: break;
    }
}

LRESULT CALLBACK MainWindow::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowObject<MainWindow>(hwnd, message, lParam);
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    self->m_hwnd = hwnd;
    // Nothing a handler lets out may unwind into Windows.
    LRESULT result = 0;
    self->guarded("frmMain", [&] { result = self->handle(message, wParam, lParam); });
    return result;
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        LRESULT result = 0;
        if (m_toolbar && m_toolbar->notify(header, &result)) return result;
        if (header.code == UDN_DELTAPOS) {
            const auto& change = *reinterpret_cast<const NMUPDOWN*>(lParam);
            const auto step = [&](EditText& edit, int low, int high) { edit.step(-change.iDelta, low, high); };
            // The arrows step as the classic spin fields did: up counts up.
            if (header.hwndFrom == control("spnSeverMessageTime")) step(*m_txtSeverMessageTime, 1, 30);
            if (header.hwndFrom == control("spnMsgDelay")) step(*m_txtMsgDelay, 5, 30);
            if (header.hwndFrom == control("spnStatus")) step(*m_txtStatus, 1, 30);
            return TRUE;  // the buddy's text is ours, not the control's
        }
        return 0;
    }
    case WM_TIMER: tick(wParam); return 0;
    case kSocketMessage:
        if (m_form) m_form->udpPeerA_DataArrival(static_cast<std::int32_t>(m_datagrams.pendingDatagramSize()));
        return 0;
    case EventLoop::kRunPosted: m_loop.runPosted(); return 0;
    case kPressStart: command(kCmdStart, BN_CLICKED, control("cmdStart")); return 0;
    case WM_SIZE: layout(); return 0;
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
    case WM_GETMINMAXINFO: {
        auto& limits = *reinterpret_cast<MINMAXINFO*>(lParam);
        limits.ptMinTrackSize = POINT{scaled(560), scaled(560)};
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
        // Without its own close command the window is closed only by Close
        // and Exit: the title bar's close button does nothing.
        if (!m_destroyed && !closeCommandEnabled()) return 0;
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

void MainWindow::move(double left, double top) {
    SetWindowPos(m_hwnd, nullptr, static_cast<int>(left + 0.5), static_cast<int>(top + 0.5), 0, 0,
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
