#include "win32/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>
#include <winsock2.h>

#include <algorithm>

#include "app/PlayerActions.h"
#include "app/AboutTexts.h"
#include "app/FieldRules.h"
#include "app/FormFields.h"
#include "app/Texts.h"
#include "base/AppError.h"
#include "win32/ControlIds.h"

namespace win32 {

namespace {

constexpr const char* kClassName = "VexmondWindow";
constexpr UINT_PTR kMessageTimer = 1, kStatusTimer = 2, kHeardTimer = 4;

// The spin fields: each up-down control and the field it steps, within the
// bounds the form's table gives the field.
struct Spin {
    const char* upDown;
    const char* field;
    app::SpinBounds bounds() const { return app::formFieldOf(field).arrows; }
};
constexpr Spin kSpins[] = {
    {"spnSeverMessageTime", "txtSeverMessageTime"},
    {"spnMsgDelay", "txtMsgDelay"},
    {"spnMinPlayers", "txtMinPlayers"},
    {"spnStatus", "txtStatus"},
};

const char* labelOf(const char* control) { return app::formFieldOf(control).label; }

constexpr DWORD kLabel = SS_LEFT | SS_CENTERIMAGE;
constexpr DWORD kField = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kSpin = UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
constexpr DWORD kPush = WS_TABSTOP | BS_PUSHBUTTON;

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

void MainWindow::registerClasses(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return;
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
    PlayerList::registerClass(instance);
    registered = true;
}

namespace {

platform::Rect rectOf(const RECT& r) {
    return platform::Rect{static_cast<std::int32_t>(r.left), static_cast<std::int32_t>(r.top),
                          static_cast<std::int32_t>(r.right), static_cast<std::int32_t>(r.bottom)};
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, platform::ISocket& socket, platform::IDatagramSource& datagrams,
                       platform::ICursor& cursor)
    : m_instance(instance), m_socket(socket), m_datagrams(datagrams), m_cursor(cursor) {
    registerClasses(instance);
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
    // Its size where it opens, as the core fits it to the work area.
    const RECT work = workArea(RECT{});
    const app::WindowFit fit = app::fitWindow(m_layout->shape(), frameEdges(), rectOf(work),
                                              (work.left + work.right) / 2.0, (work.top + work.bottom) / 2.0);
    SetWindowPos(m_hwnd, nullptr, 0, 0, fit.frame.right - fit.frame.left, fit.frame.bottom - fit.frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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

RECT MainWindow::workArea(const RECT& around) const {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromRect(&around, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor.rcWork;
}

// What the frame adds to the client area, at the window's dots per inch
// where Windows can tell (10 and later).
app::FrameEdges MainWindow::frameEdges() const {
    RECT r{0, 0, 0, 0};
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(m_hwnd, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(m_hwnd, GWL_EXSTYLE));
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    if (auto adjust = reinterpret_cast<AdjustForDpi>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "AdjustWindowRectExForDpi"))))
        adjust(&r, style, TRUE, exStyle, static_cast<UINT>(m_dpi));
    else
        AdjustWindowRectEx(&r, style, TRUE, exStyle);
    return app::FrameEdges{-static_cast<int>(r.left), -static_cast<int>(r.top), static_cast<int>(r.right),
                           static_cast<int>(r.bottom)};
}

// The outer size of the smallest client area.
SIZE MainWindow::leastSize() const {
    const SIZE client = m_layout ? m_layout->leastClient() : SIZE{0, 0};
    const app::FrameEdges edges = frameEdges();
    return SIZE{client.cx + edges.left + edges.right, client.cy + edges.top + edges.bottom};
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
    for (const auto& [name, hwnd] : m_controls->all()) {
        const HFONT font = name == "lblWarning" ? m_bold : name == "SSHotLink1" ? m_link : m_font;
        SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    SendMessageA(m_toolbar->row(), WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    m_console->setFont(m_fixed);
    m_preview->setFont(m_font);
}

HWND MainWindow::add(const char* name, const char* className, const char* text, DWORD style, DWORD exStyle) {
    return m_controls->add(name, className, text, style, exStyle, m_font);
}

HWND MainWindow::control(const std::string& name) const { return m_controls ? (*m_controls)[name] : nullptr; }

void MainWindow::tip(HWND control, const char* text) {
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = m_hwnd;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = const_cast<char*>(text);
    SendMessageA(m_tooltips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

// The controls frame by frame, in the order of the keyboard's Tab. Each
// label comes just before its field: its underlined letter moves to the field.
void MainWindow::buildControls() {
    m_controls = std::make_unique<NamedControls>(m_hwnd, m_instance);
    m_toolbar = std::make_unique<GameToolbar>(m_hwnd, m_instance, m_font);
    m_controls->keep("ID_SelectGame", m_toolbar->gameBox());
    m_tooltips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, m_hwnd,
                                 nullptr, m_instance, nullptr);
    SendMessageA(m_tooltips, TTM_SETMAXTIPWIDTH, 0, scaled(400));
    buildServer();
    buildMessage();
    buildOptions();
    buildConsole();
    buildBottomRow();
    describeFields();
    tip(m_toolbar->gameBox(), app::kGameBoxTip);
    makeInterfaces();
    m_layout = std::make_unique<MainLayout>(*m_controls, *m_toolbar, *m_preview, *m_console);
    m_keyboard = std::make_unique<MainKeyboard>(m_hwnd, *m_controls);
    m_toolbar->onShownChange = [this] { showColours(); };
    showColours();
}

void MainWindow::buildServer() {
    add("fraServer", "BUTTON", "&Server Information:", BS_GROUPBOX);
    add("lblIP", "STATIC", labelOf("txtIP"), kLabel);
    add("txtIP", "COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL);
    add("cmdIP", "BUTTON", "Get Local I.P", kPush);
    add("lblPort", "STATIC", labelOf("txtPort"), kLabel);
    add("txtPort", "EDIT", "", kField | ES_NUMBER, WS_EX_CLIENTEDGE);
    add("lblRconPass", "STATIC", labelOf("txtPassword"), kLabel);
    HWND password = add("txtPassword", "EDIT", "", kField | ES_PASSWORD, WS_EX_CLIENTEDGE);
    SendMessageA(password, EM_SETPASSWORDCHAR, '*', 0);
}

// The message, its preview and its timing.
void MainWindow::buildMessage() {
    add("Frame2", "BUTTON", labelOf("txtMsg"), BS_GROUPBOX);
    HWND msg = add("txtMsg", "EDIT", "", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                   WS_EX_CLIENTEDGE);
    MainKeyboard::watchMessage(msg, m_hwnd);
    m_preview = std::make_unique<MessagePreview>(m_hwnd, m_instance, m_font);
    m_controls->keep("txtMsgPreview", m_preview->handle());
    tip(m_preview->handle(), app::kPreviewTip);
    add("lblMinutes", "STATIC", labelOf("txtSeverMessageTime"), kLabel);
    add("txtSeverMessageTime", "EDIT", "", kField, WS_EX_CLIENTEDGE);
    add("spnSeverMessageTime", UPDOWN_CLASSA, "", kSpin);
    add("lblMinutes2", "STATIC", labelOf("txtMsgDelay"), kLabel);
    add("txtMsgDelay", "EDIT", "", kField, WS_EX_CLIENTEDGE);
    add("spnMsgDelay", UPDOWN_CLASSA, "", kSpin);
    add("lblSeconds", "STATIC", app::formFieldOf("txtMsgDelay").after, kLabel);
    add("lblWarning", "STATIC", "Do not abuse!!!", kLabel | SS_RIGHT);
    add("chkMsgRotate", "BUTTON", labelOf("chkMsgRotate"), WS_TABSTOP | BS_AUTOCHECKBOX);
    add("lblMinPlayers", "STATIC", labelOf("txtMinPlayers"), kLabel);
    add("txtMinPlayers", "EDIT", "", kField, WS_EX_CLIENTEDGE);
    add("spnMinPlayers", UPDOWN_CLASSA, "", kSpin);
    add("lblPlayersOn", "STATIC", app::formFieldOf("txtMinPlayers").after, kLabel);
}

// Options and the manual rcon command. The up-down controls step their
// buddies' numbers, nothing else.
void MainWindow::buildOptions() {
    add("Frame1", "BUTTON", "Options: ", BS_GROUPBOX);
    add("lblStatusEvery", "STATIC", labelOf("txtStatus"), kLabel);
    add("txtStatus", "EDIT", "", kField, WS_EX_CLIENTEDGE);
    add("spnStatus", UPDOWN_CLASSA, "", kSpin);
    add("lblStatusMinutes", "STATIC", app::formFieldOf("txtStatus").after, kLabel);
    add("fraManualRcon", "BUTTON", "Rcon:", BS_GROUPBOX);
    HWND command = add("txtSendCommand", "EDIT", "", kField, WS_EX_CLIENTEDGE);
    SendMessageA(command, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(L"an rcon command, e.g. status"));
    MainKeyboard::watchCommandField(command, m_hwnd);
    add("cmdSend", "BUTTON", "Send", kPush);
    for (const Spin& each : kSpins) {
        SendMessageA(control(each.upDown), UDM_SETRANGE32, static_cast<WPARAM>(each.bounds().low), each.bounds().high);
        SendMessageA(control(each.upDown), UDM_SETPOS32, 0, each.bounds().low);
    }
}

// The output console and its buttons.
void MainWindow::buildConsole() {
    add("fraStatus", "BUTTON", "Status:", BS_GROUPBOX);
    m_console = std::make_unique<ConsoleControl>(m_hwnd, 3000, m_instance);
    m_controls->keep("txtOutput", m_console->handle());
    // The players take the console's place while their button is down: the
    // window keeps its height, which a short screen has none to spare of.
    m_players = std::make_unique<PlayerList>(m_hwnd, m_instance, m_font);
    m_controls->keep("tblPlayers", m_players->handle());
    ShowWindow(m_players->handle(), SW_HIDE);
    tip(add("cmdPlayers", "BUTTON", app::kShowPlayersText, WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE),
        app::kShowPlayersTip);
    add("cmdSave", "BUTTON", "&Save", kPush);
    add("cmdClear", "BUTTON", "Clear", kPush);
}

// Start, stop, close, and the running indicator.
void MainWindow::buildBottomRow() {
    add("cmdStart", "BUTTON", "Start", kPush);
    add("cmdStop", "BUTTON", "S&top", kPush);
    add("cmdClose", "BUTTON", "&Close", kPush);
    add("lblRunning", "STATIC", "Status:", kLabel);
    HWND connected = add("imgConnected", "STATIC", "Running", SS_OWNERDRAW | SS_NOTIFY);
    HWND notConnected = add("imgNotConnected", "STATIC", "Not running", SS_OWNERDRAW | SS_NOTIFY);
    ShowWindow(connected, SW_HIDE);
    tip(connected, app::kIndicatorTip);
    tip(notConnected, app::kIndicatorTip);
    add("lblOnLine", "STATIC", "Offline", kLabel);
    add("lblHeard", "STATIC", "", kLabel | SS_ENDELLIPSIS | SS_NOPREFIX);
    tip(add("SSHotLink1", "STATIC", "Author's website", kLabel | SS_NOTIFY), app::kAuthorWebsite);
}

// Each field as the form's table has it: its design value, tooltip, length
// and what it takes (a screen reader names it by the label before it).
void MainWindow::describeFields() {
    for (const app::FormField& f : app::formFields()) {
        const HWND field = control(f.control);
        if (*f.tooltip) tip(field, f.tooltip);
        if (f.rule == app::FieldRule::flag) {
            CheckText(field).setText(f.designValue);
            continue;
        }
        SetWindowTextA(field, f.designValue);
        if (f.rule == app::FieldRule::lines) continue;
        if (f.store == app::FieldStore::history) {  // the address box, a combo box
            if (f.maxLength > 0) SendMessageA(field, CB_LIMITTEXT, static_cast<WPARAM>(f.maxLength), 0);
        } else {
            keepToField(field, f);
        }
    }
}

// The control interfaces the logic reaches the controls through.
void MainWindow::makeInterfaces() {
    m_txtIP = std::make_unique<ComboText>(control("txtIP"));
    m_txtPort = std::make_unique<EditText>(control("txtPort"));
    m_txtPassword = std::make_unique<EditText>(control("txtPassword"));
    m_txtMsg = std::make_unique<EditText>(control("txtMsg"));
    m_txtSeverMessageTime = std::make_unique<EditText>(control("txtSeverMessageTime"));
    m_txtMsgDelay = std::make_unique<EditText>(control("txtMsgDelay"));
    m_txtMinPlayers = std::make_unique<EditText>(control("txtMinPlayers"));
    m_chkMsgRotate = std::make_unique<CheckText>(control("chkMsgRotate"));
    m_txtStatus = std::make_unique<EditText>(control("txtStatus"));
    m_txtSendCommand = std::make_unique<EditText>(control("txtSendCommand"));
    m_cmdStart = std::make_unique<ButtonControl>(control("cmdStart"));
    m_imgConnected = std::make_unique<ImageControl>(control("imgConnected"));
    m_imgNotConnected = std::make_unique<ImageControl>(control("imgNotConnected"));
    m_tmrServerMessage = std::make_unique<WindowTimer>(m_hwnd, kMessageTimer);
    m_tmrStatus = std::make_unique<WindowTimer>(m_hwnd, kStatusTimer);
    m_tmrHeard = std::make_unique<WindowTimer>(m_hwnd, kHeardTimer);
    m_lblHeard = std::make_unique<NoticeControl>(control("lblHeard"));
}

void MainWindow::layout() {
    if (!m_layout) return;
    RECT client{};
    GetClientRect(m_hwnd, &client);
    m_layout->apply(static_cast<int>(client.right), static_cast<int>(client.bottom), m_dpi, m_preview->lineCount());
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
                             .txtMinPlayers = *m_txtMinPlayers,
                             .chkMsgRotate = *m_chkMsgRotate,
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
                             .tmrHeard = *m_tmrHeard,
                             .players = *m_players};
}

void MainWindow::bind(app::frmMain& form) {
    m_form = &form;
    m_toolbar->onToolClick = [this](const platform::ITool& tool) { m_form->SSActiveToolBars1_ToolClick(tool); };
    m_toolbar->onComboSelChange = [this](const platform::ITool& tool) {
        m_form->SSActiveToolBars1_ComboSelChange(tool);
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
    while (!m_destroyed && GetMessageA(&msg, nullptr, 0, 0) > 0) dispatch(msg);
    return 0;
}

void MainWindow::dispatch(MSG& msg) {
    if ((msg.hwnd == m_hwnd || IsChild(m_hwnd, msg.hwnd)) && m_keyboard && m_keyboard->takeKey(msg)) return;
    if (IsDialogMessageA(m_hwnd, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

void MainWindow::restoreFocus() {
    if (m_txtIP && m_keyboard) m_keyboard->restoreFocus(*m_txtIP);
}

void MainWindow::showPlayers(bool on) {
    ShowWindow(m_console->handle(), on ? SW_HIDE : SW_SHOW);
    ShowWindow(m_players->handle(), on ? SW_SHOW : SW_HIDE);
    EnableWindow(control("cmdSave"), !on);
    EnableWindow(control("cmdClear"), !on);
}

void MainWindow::showColours() {
    if (!m_preview || !m_txtMsg) return;
    const std::string game = windowText(m_toolbar->gameBox());
    const app::ColourCodes rule = app::colourCodesOf(game);
    HWND msg = m_txtMsg->handle();
    std::wstring wide(static_cast<std::size_t>(GetWindowTextLengthW(msg)) + 1, L'\0');
    wide.resize(static_cast<std::size_t>(GetWindowTextW(msg, wide.data(), static_cast<int>(wide.size()))));
    m_preview->showMessage(wide, game, m_form ? m_form->placeholderValues() : app::placeholderValues(nullptr, {}));
    m_console->setColours(m_toolbar->consoleColours() ? &rule : nullptr);
    if (const int rows = app::previewRows(m_preview->lineCount()); rows != m_previewRows) {
        m_previewRows = rows;
        layout();
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
    case WM_NOTIFY: return onNotify(*reinterpret_cast<const NMHDR*>(lParam), lParam);
    case WM_TIMER: tick(wParam); return 0;
    case kSocketMessage:
        if (m_form) m_form->udpPeerA_DataArrival(static_cast<std::int32_t>(m_datagrams.pendingDatagramSize()));
        return 0;
    case EventLoop::kRunPosted: m_loop.runPosted(); return 0;
    case kPressStart: command(kCmdStart, BN_CLICKED, control("cmdStart")); return 0;
    case WM_SIZE: onSize(wParam); return 0;
    case WM_ACTIVATE: onActivate(wParam); return 0;
    case WM_SETFOCUS: restoreFocus(); return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE && m_keyboard) m_keyboard->saveFocus();
        break;
    case WM_DPICHANGED: onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_WINDOWPOSCHANGING: onWindowPosChanging(*reinterpret_cast<const WINDOWPOS*>(lParam)); break;
    case kKeepLeastSize: onKeepLeastSize(); return 0;
    case WM_GETMINMAXINFO: {
        const SIZE least = leastSize();
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{least.cx, least.cy};
        return 0;
    }
    case WM_INITMENUPOPUP:
        if (m_toolbar && !HIWORD(lParam)) m_toolbar->menuOpening(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_DRAWITEM: onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_CTLCOLORSTATIC: return onColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
        if (onSetCursor(LOWORD(lParam))) return TRUE;
        break;
    case WM_CLOSE: onClose(); return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION: onEndSession(wParam != 0); return 0;
    default: break;
    }
    return DefWindowProcA(m_hwnd, message, wParam, lParam);
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
    case kCmdStart: m_form->cmdStart_Click(); break;
    case kCmdSend: m_form->cmdSend_Click(); break;
    case kCmdSave: m_form->cmdSave_Click(); break;
    case kCmdClear: m_form->cmdClear_Click(); break;
    case kCmdPlayers: showPlayers(SendMessageA(this->control("cmdPlayers"), BM_GETCHECK, 0, 0) == BST_CHECKED); break;
    case kCmdStop: m_form->cmdStop_Click(); break;
    default: break;
    }
}

LRESULT MainWindow::onNotify(const NMHDR& header, LPARAM lParam) {
    LRESULT result = 0;
    if (m_toolbar && m_toolbar->notify(header, &result)) return result;
    if (header.code != UDN_DELTAPOS) return 0;
    // Up counts up (the range runs from low to high); the buddy's text is
    // ours, not the control's.
    const int delta = reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta;
    for (const Spin& spin : kSpins)
        if (header.hwndFrom == control(spin.upDown))
            EditText(control(spin.field)).step(delta, spin.bounds().low, spin.bounds().high);
    return TRUE;
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

void MainWindow::onSize(WPARAM kind) {
    if (kind == SIZE_MINIMIZED) return;
    layout();
    if (GetActiveWindow() == m_hwnd) restoreFocus();  // restored while active
}

void MainWindow::onActivate(WPARAM state) {
    if (LOWORD(state) == WA_INACTIVE) {
        if (m_keyboard) m_keyboard->saveFocus();
    } else if (!HIWORD(state)) {
        restoreFocus();
    }
}

// Moved to a screen of another density: new fonts, and the size Windows suggests.
void MainWindow::onDpiChanged(int dpi, const RECT& suggested) {
    m_dpi = dpi;
    makeFonts();
    applyFonts();
    SetWindowPos(m_hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layout();
}

// Windows keeps the window at its least size; a window manager that was not
// told it (wine tells one only of a window of fixed size) may still make the
// frame smaller, which setting the size again undoes.
void MainWindow::onWindowPosChanging(const WINDOWPOS& pos) {
    const SIZE least = leastSize();
    if (!(pos.flags & SWP_NOSIZE) && !IsIconic(m_hwnd) && !IsZoomed(m_hwnd) && (pos.cx < least.cx || pos.cy < least.cy))
        PostMessageA(m_hwnd, kKeepLeastSize, 0, 0);
}

void MainWindow::onKeepLeastSize() {
    RECT r{};
    GetWindowRect(m_hwnd, &r);
    if (!IsIconic(m_hwnd))
        SetWindowPos(m_hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The running indicator: a green light while running, else a red one.
void MainWindow::onDrawItem(const DRAWITEMSTRUCT& item) {
    const bool running = item.hwndItem == control("imgConnected");
    HBRUSH brush = CreateSolidBrush(running ? RGB(0x2e, 0xcc, 0x40) : RGB(0xc0, 0x39, 0x2b));
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ old = SelectObject(item.hDC, brush);
    Ellipse(item.hDC, item.rcItem.left + 1, item.rcItem.top + 1, item.rcItem.right - 1, item.rcItem.bottom - 1);
    SelectObject(item.hDC, old);
    DeleteObject(brush);
}

LRESULT MainWindow::onColourStatic(HDC dc, HWND which) {
    SetBkMode(dc, TRANSPARENT);
    if (which == control("lblWarning")) SetTextColor(dc, RGB(0xc0, 0x39, 0x2b));
    if (which == control("SSHotLink1")) SetTextColor(dc, RGB(0x00, 0x33, 0xcc));
    if (m_lblHeard && which == m_lblHeard->handle() && m_lblHeard->warning()) SetTextColor(dc, RGB(0xc0, 0x39, 0x2b));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// A pointer the program asked for (the hourglass) holds over the window.
bool MainWindow::onSetCursor(WORD hitTest) {
    if (m_cursor.current() == 0 || hitTest != HTCLIENT) return false;
    m_cursor.set(static_cast<std::int16_t>(m_cursor.current()));
    return true;
}

// The presenter cancels the title bar's close once the window's own close
// command is gone: then only Close and Exit close it.
void MainWindow::onClose() {
    if (bool cancel = false; !m_destroyed && m_form && (m_form->Form_QueryUnload(cancel), cancel)) return;
    m_destroyed = true;
    PostQuitMessage(0);
}

// The session ends: the unload runs once, and the program with it. A logoff
// that was cancelled ends nothing.
void MainWindow::onEndSession(bool ending) {
    if (!ending || !m_form) return;
    m_form->Unload();
    ExitProcess(0);
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

// Its centre where the logic asks, as the core fits the window to the work
// area there, where no task bar covers it.
void MainWindow::move(double left, double top) {
    RECT frame{};
    GetWindowRect(m_hwnd, &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int x = static_cast<int>(left + 0.5), y = static_cast<int>(top + 0.5);
    const app::WindowFit fit =
        app::fitWindow(m_layout->shape(), frameEdges(), rectOf(workArea(RECT{x, y, x + width, y + height})),
                       left + width / 2.0, top + height / 2.0);
    SetWindowPos(m_hwnd, nullptr, fit.frame.left, fit.frame.top, fit.frame.right - fit.frame.left,
                 fit.frame.bottom - fit.frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
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
