// The Win32 window under wine (the null graphics driver), over the real
// Winsock socket, the real registry in a place of the test's own and the
// real files; driven through the window's own messages. The Win32Desktop
// tests run it on a real X display instead (on_wine_x11.sh: wine's X11
// driver on Xvfb, openbox), typed into and clicked as a user does, through
// the X server's input queue (XTEST, by xdotool), before any click.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string_view>

#include "platform/win/WinUdpSocket.h"
#include "support/CFileOpenSaveDialog.h"
#include "tests/support/TestServices.h"
#include "tests/support/UdpPeer.h"
#include "tests/support/RichTextContract.h"
#include "tests/support/WindowContract.h"
#include "win32/MainWindow.h"

namespace {

// The real window over a real socket, with the services of every form
// test; message boxes and pauses are recorded, or with Real::boxesAndPauses
// the window's own. Loaded and shown (not activated) at once unless asked
// not to. Its messages go through the program's own loop.
struct LiveWin32Window : testsupport::TestServices {
    explicit LiveWin32Window(Real real = Real::nothing, bool loadNow = true)
        : boxesShown(real == Real::boxesAndPauses ? window.messageBoxes() : static_cast<platform::IMessageBox&>(boxes)),
          held(real == Real::boxesAndPauses ? window.sleeper() : pauses) {
        window.bind(form);
        if (loadNow) load();
    }
    void load(int show = SW_SHOWNOACTIVATE) {
        form.Form_Load();
        window.show(show);
    }
    // A window taken down leaves its WM_QUIT for the program's loop: the
    // next test's modal loops must not find it.
    ~LiveWin32Window() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message != WM_QUIT) DispatchMessageA(&msg);
    }

    platform::win::WinUdpSocket socket;
    win32::MainWindow window{GetModuleHandleA(nullptr), socket, socket, cursor};
    platform::IMessageBox& boxesShown;
    app::Pauses& held;
    app::frmMain form{window.controls(), services(boxesShown, held)};

    // Another window of the program, of a profile, over the same store and
    // files; loaded at once.
    struct Another {
        Another(TestServices& s, app::Profile profile)
            : window(GetModuleHandleA(nullptr), socket, socket, s.cursor),
              form(window.controls(), s.services(s.boxes, s.pauses), std::move(profile)) {
            window.bind(form);
            form.Form_Load();
        }
        ~Another() {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                if (msg.message != WM_QUIT) DispatchMessageA(&msg);
        }
        platform::win::WinUdpSocket socket;
        win32::MainWindow window;
        app::frmMain form;
    };
    std::unique_ptr<Another> open(const std::string& profile) {
        return std::make_unique<Another>(*this, app::Profile(profile));
    }

    HWND at(const char* name) {
        HWND hwnd = window.control(name);
        if (!hwnd) ADD_FAILURE() << "no " << name;
        return hwnd;
    }
    // Typed as the keyboard would: one WM_CHAR a character (wide, so that
    // characters outside the code page arrive as typed), Enter as its key
    // going down and up around its character; into a combo box's edit line.
    void type(const char* field, std::u16string_view text) {
        HWND hwnd = at(field);
        if (HWND edit = GetWindow(hwnd, GW_CHILD)) hwnd = edit;
        for (const char16_t c : text) {
            if (c == u'\r') SendMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 1);
            SendMessageW(hwnd, WM_CHAR, c, 1);
            if (c == u'\r') SendMessageW(hwnd, WM_KEYUP, VK_RETURN, 0xC0000001);
        }
        pump(0);  // what the keys posted
    }
    void click(const char* name) { SendMessageA(at(name), BM_CLICK, 0, 0); }
    // Started against the peer with the password "pw" and a one-line message.
    void startAgainst(const testsupport::UdpPeer& server) {
        SetWindowTextA(at("txtIP"), "127.0.0.1");
        SetWindowTextA(at("txtPort"), std::to_string(server.port()).c_str());
        SetWindowTextA(at("txtPassword"), "pw");
        SetWindowTextA(at("txtMsg"), "Hi");
        click("cmdStart");
    }
    void menu(WORD command) { SendMessageA(window.handle(), WM_COMMAND, MAKEWPARAM(command, 0), 0); }
    void pickGame(const char* name) {
        HWND box = window.toolbar().gameBox();
        const auto index =
            SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
        SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(window.handle(), WM_COMMAND, MAKEWPARAM(win32::GameToolbar::kGameBox, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(box));
    }
    // Runs the message loop, as the program's own loop does, until done() or for the time given.
    bool waitFor(const std::function<bool()>& done, DWORD milliseconds = 2000) {
        const ULONGLONG end = GetTickCount64() + milliseconds;
        for (MSG msg;;) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) window.dispatch(msg);
            if (done() || GetTickCount64() >= end) return done();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    void pump(DWORD milliseconds) {
        waitFor([] { return false; }, milliseconds);
    }
    std::string gameShown() {
        HWND box = window.toolbar().gameBox();
        char name[64] = {};
        SendMessageA(box, CB_GETLBTEXT, SendMessageA(box, CB_GETCURSEL, 0, 0), reinterpret_cast<LPARAM>(name));
        return name;
    }
    void exitFromTheMenu() { menu(win32::GameToolbar::kExit); }
    bool closed() const { return window.destroyed(); }
    bool titleBarCloses() {
        SendMessageA(window.handle(), WM_CLOSE, 0, 0);  // what the title bar's close sends
        return window.closeCommandEnabled() || window.destroyed();
    }
    void toggleConsoleColours() { menu(win32::GameToolbar::kColours); }
    bool consoleColours() { return window.toolbar().consoleColours(); }
    // As the customize dialog moves a button; the Game tool then stands after the box.
    void moveToolbar() { SendMessageA(window.toolbar().row(), TB_MOVEBUTTON, 0, 1); }
    bool toolbarMoved() {
        return SendMessageA(window.toolbar().row(), TB_COMMANDTOINDEX, win32::GameToolbar::kGame, 0) == 1;
    }
    std::string layoutFile() { return dataFile("ATBconfig.atb"); }
};

// Real keys and clicks. Wine starts a Unix program without a handle to
// wait on: a test waits for what they do.
void xdotool(std::string commands) {
    commands = "xdotool " + commands;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA("Z:\\usr\\bin\\xdotool", commands.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
}

// The window as the program shows it, loaded first.
struct ShownWindow : LiveWin32Window {
    ShownWindow() : LiveWin32Window(Real::nothing, false) {}
    bool show() {
        load(SW_SHOWNORMAL);
        return until([&] { return GetActiveWindow() == window.handle(); });
    }
    bool until(const std::function<bool()>& done) { return waitFor(done, 10000); }
    std::string text(const char* name) { return win32::windowText(at(name)); }
    bool focusIn(const char* name) { return GetFocus() == at(name) || IsChild(at(name), GetFocus()); }
};

// The window's controls that do not lie, with room of their own, within it.
std::string controlsOutside(HWND window) {
    RECT client{}, r{}, both{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::string outside;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        GetWindowRect(child, &r);
        UnionRect(&both, &client, &r);
        if (IsWindowVisible(child) && (!EqualRect(&both, &client) || IsRectEmpty(&r)))
            outside += "\"" + win32::windowText(child) + "\" ";
    }
    return outside;
}

// Answers the next message box the thread shows, from inside its modal loop,
// and tells what it showed: its title, its text, and its buttons.
struct BoxAnswer {
    std::string title, text;
    bool yes = false, no = false, ok = false, noIsDefault = false;
};
BoxAnswer* g_answer = nullptr;
int g_press = IDOK;

BOOL CALLBACK findBox(HWND hwnd, LPARAM) {
    char name[32] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (std::string(name) != "#32770" || !IsWindowVisible(hwnd) || !g_answer) return TRUE;
    g_answer->title = win32::windowText(hwnd);
    g_answer->text = win32::windowText(GetDlgItem(hwnd, 0xFFFF));
    g_answer->yes = GetDlgItem(hwnd, IDYES) != nullptr;
    g_answer->no = GetDlgItem(hwnd, IDNO) != nullptr;
    g_answer->ok = GetDlgItem(hwnd, IDOK) != nullptr;
    g_answer->noIsDefault = g_answer->no && (GetWindowLongA(GetDlgItem(hwnd, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON);
    PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(g_press, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(hwnd, g_press)));
    g_answer = nullptr;
    return FALSE;
}

BoxAnswer answerNextBox(int press, const std::function<void()>& open) {
    BoxAnswer seen;
    g_answer = &seen;
    g_press = press;
    const UINT_PTR timer = SetTimer(
        nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), &findBox, 0); });
    open();
    KillTimer(nullptr, timer);
    g_answer = nullptr;
    return seen;
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, WindowContract, ::testing::Types<LiveWin32Window>);

// The console's view: the fake, and the window's.
struct Win32ConsoleSide : LiveWin32Window {
    platform::IRichText& view() { return window.console(); }
    void flush() { pump(0); }
};
using ConsoleSides = ::testing::Types<FakeRichTextSide, Win32ConsoleSide>;
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RichTextContract, ConsoleSides);

TEST(Win32Window, TheConsoleKeepsTheExactBytesAndShowsTheLines) {
    LiveWin32Window w;
    win32::ConsoleControl& console = w.window.console();
    w.form.AppendToConsole("<b>bold?</b> ^4blue caf\xE9\r\n");
    w.form.AppendToConsole(std::string("nul\0here\r", 9));
    w.form.AppendToConsole("\nend");
    const std::string bytes("<b>bold?</b> ^4blue caf\xE9\r\nnul\0here\r\nend", 39);
    EXPECT_EQ(console.text(), bytes);
    EXPECT_EQ(console.lineCount(), 3u);
    EXPECT_EQ(console.selStart(), console.length());
    // What a screen reader reads: the text up to its NUL, and its whole length.
    char read[64] = {};
    EXPECT_EQ(SendMessageA(w.at("txtOutput"), WM_GETTEXTLENGTH, 0, 0), 39);
    EXPECT_EQ(SendMessageA(w.at("txtOutput"), WM_GETTEXT, sizeof read, reinterpret_cast<LPARAM>(read)), 39);
    EXPECT_EQ(std::string(read, 39), bytes);

    console.setText("");
    EXPECT_EQ(console.lineCount(), 1u);
    EXPECT_EQ(SendMessageA(w.at("txtOutput"), WM_GETTEXTLENGTH, 0, 0), 0);
}

TEST(Win32Window, APauseKeepsPaintingAndHoldsInputAndTicksWhichThenRunInWindowsOrder) {
    LiveWin32Window w(LiveWin32Window::Real::boxesAndPauses);
    testsupport::UdpPeer server;
    w.startAgainst(server);
    EXPECT_EQ(server.receive(), std::string(4, '\xFF') + "rcon pw status");
    w.window.controls().tmrStatus.setInterval(20);  // due many times over during the pause

    InvalidateRect(w.at("txtOutput"), nullptr, FALSE);
    PostMessageA(w.window.handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w.at("cmdStop")), BN_CLICKED),
                 0);  // Stop, clicked during the pause
    w.window.sleeper().sleep(300);
    EXPECT_FALSE(GetUpdateRect(w.at("txtOutput"), nullptr, FALSE));  // painted during the pause
    EXPECT_FALSE(IsWindowEnabled(w.at("cmdStart")));                 // the click waits
    w.pump(200);
    EXPECT_TRUE(IsWindowEnabled(w.at("cmdStart")));  // handled first: no tick fell due after it
    EXPECT_EQ(server.receive(200), "<none>");
}

TEST(Win32Window, BoxesShowTheirTitlesTextsAndButtonsAndCloseAsksWhileRunning) {
    LiveWin32Window w(LiveWin32Window::Real::boxesAndPauses);
    const BoxAnswer about = answerNextBox(IDOK, [&] { w.menu(win32::GameToolbar::kAbout); });
    EXPECT_EQ(about.title, "Vexmond v2.1 Build Date: 06-23-2002");
    EXPECT_TRUE(about.ok && !about.yes);

    w.form.ShowRunning();
    w.window.controls().tmrServerMessage.setEnabled(true);
    const BoxAnswer no = answerNextBox(IDNO, [&] { w.click("cmdClose"); });
    EXPECT_TRUE(no.yes && no.no && no.noIsDefault) << no.text;
    EXPECT_FALSE(w.window.destroyed());
    const BoxAnswer yes = answerNextBox(IDYES, [&] { w.click("cmdClose"); });
    EXPECT_EQ(yes.title, no.title);
    EXPECT_TRUE(w.window.destroyed());
}

TEST(Win32Window, OpensCentredWithItsFrameAndTheSaveDialogCentredAnsweringInTheBufferForm) {
    LiveWin32Window w;
    RECT frame{};
    GetWindowRect(w.window.handle(), &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2.0, GetSystemMetrics(SM_CXSCREEN) / 2.0, 1.0);
    EXPECT_NEAR((frame.top + frame.bottom) / 2.0, GetSystemMetrics(SM_CYSCREEN) / 2.0, 1.0);

    support::CFileOpenSaveDialog dialog(w.window.fileDialogs());
    dialog.Init("All Files (*.*)|*.*", 1, w.tmp.path(), "", "Save log", w.window.hWnd(), 0x80204);
    dialog.setCenterDialog(true);
    static RECT seen{};
    static std::string title;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND hwnd, LPARAM) -> BOOL {
                if (win32::windowText(hwnd) != "Save log" || !IsWindowVisible(hwnd) || !GetDlgItem(hwnd, 0x47C))
                    return TRUE;
                title = win32::windowText(hwnd);
                GetWindowRect(hwnd, &seen);
                SetDlgItemTextA(hwnd, 0x47C, "replies.log");  // the file name box
                PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
                return FALSE;
            },
            0);
    });
    const bool confirmed = dialog.Show(1);
    KillTimer(nullptr, timer);
    ASSERT_TRUE(confirmed);
    EXPECT_EQ(title, "Save log");
    RECT desk{};
    GetWindowRect(GetDesktopWindow(), &desk);
    EXPECT_NEAR((seen.left + seen.right) / 2.0, (desk.left + desk.right) / 2.0, 1.0);
    // Centred as it stands when it opens; wine lets the dialog grow a little after.
    EXPECT_NEAR((seen.top + seen.bottom) / 2.0, (desk.top + desk.bottom) / 2.0, 16.0);
    EXPECT_EQ(dialog.FileName(), w.tmp / "replies.log");
}

TEST(Win32Window, AFailureBoxHoldsTicksAndRepliesWhichThenComeRepliesFirst) {
    LiveWin32Window w(LiveWin32Window::Real::boxesAndPauses);
    testsupport::UdpPeer server;
    w.startAgainst(server);
    const std::string status = std::string(4, '\xFF') + "rcon pw status";
    ASSERT_EQ(server.receive(), status);
    w.window.controls().tmrStatus.setInterval(30);
    std::string consoleDuringTheBox;
    w.window.sleeper().holdEvents([&] {
        server.reply(std::string(4, '\xFF') + "print\nheld reply\n");
        w.pump(300);  // as the box's own message loop dispatches
        consoleDuringTheBox = w.window.console().text();
    });
    EXPECT_EQ(consoleDuringTheBox, "");
    EXPECT_EQ(server.receive(50), "<none>");  // no tick ran during the box
    w.pump(100);
    EXPECT_EQ(w.window.console().text(), "held reply\r\n");
    EXPECT_EQ(server.receive(), status);  // the tick that fell due, after
}

// The program as built: a logoff that was cancelled ends nothing; the
// session's end unloads the window (its toolbar layout written) and ends the
// program with 0.
TEST(Win32Window, TheSessionsEndUnloadsTheProgramOnceAndACancelledOneEndsNothing) {
    testsupport::TempDir tmp;
    testsupport::ScopedEnv dataHome("LOCALAPPDATA", tmp.path());
    std::string program = "Z:" VEXMOND_PROGRAM;  // in wine's view of this file system
    std::replace(program.begin(), program.end(), '/', '\\');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + program + "\"";
    ASSERT_TRUE(CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    // A failed check leaves no program behind (it would hold CTest's output open).
    struct Ends {
        PROCESS_INFORMATION& p;
        ~Ends() {
            if (WaitForSingleObject(p.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(p.hProcess, 1);
            CloseHandle(p.hThread);
            CloseHandle(p.hProcess);
        }
    } ends{process};
    ASSERT_EQ(WaitForInputIdle(process.hProcess, 20000), 0u);
    HWND window = nullptr;  // the program's, not another test's
    DWORD pid = 0;
    while ((window = FindWindowExA(nullptr, window, "VexmondWindow", nullptr)) &&
           (GetWindowThreadProcessId(window, &pid), pid != process.dwProcessId)) {}
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    SendMessageA(window, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 300), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(IsWindowVisible(window));
    SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, nullptr);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(std::filesystem::exists(tmp / "Vexmond\\ATBconfig.atb"));
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorlan");
}

// Typed at once after the start, and after a minimise and a restore, keys go
// to the field with the focus and press no button ("c" is Close's letter).
// A label's or a frame's letter moves the focus to its field; the letter a
// frame and a button share, to the next of them after the focus, pressing
// neither. Ctrl+A selects all of a field's text.
TEST(Win32Desktop, KeysGoToTheFocusedFieldAndTheUnderlinedLettersMoveTheFocus) {
    ShownWindow w;
    ASSERT_TRUE(w.show());
    xdotool("type secret");
    EXPECT_TRUE(w.until([&] { return w.text("txtIP") == "secret"; })) << w.text("txtIP");
    xdotool("key ctrl+a type 10.0.0.1");
    EXPECT_TRUE(w.until([&] { return w.text("txtIP") == "10.0.0.1"; })) << w.text("txtIP");
    SetFocus(w.at("txtSendCommand"));
    for (const auto& [keys, field] : {std::pair{"alt+i", "txtIP"},
                                      {"alt+p", "txtPort"},
                                      {"alt+w", "txtPassword"},
                                      {"alt+m", "txtMsg"},
                                      {"alt+s", "cmdSave"},
                                      {"alt+s", "txtIP"},
                                      {"alt+s", "cmdSave"},
                                      {"alt+w", "txtPassword"}}) {
        xdotool(std::string("key ") + keys);
        EXPECT_TRUE(w.until([&] { return w.focusIn(field); })) << keys << " to " << field;
    }
    xdotool("search --name ^Vexmond$ windowminimize");
    ASSERT_TRUE(w.until([&] { return IsIconic(w.window.handle()); }));
    xdotool("search --name ^Vexmond$ windowactivate");
    ASSERT_TRUE(w.until([&] { return !IsIconic(w.window.handle()) && GetActiveWindow() == w.window.handle(); }));
    xdotool("type secret");
    EXPECT_TRUE(w.until([&] { return w.text("txtPassword") == "secret"; })) << w.text("txtPassword");
    EXPECT_EQ(w.text("txtSendCommand"), "");
    EXPECT_TRUE(!w.closed() && w.boxes.shown.empty() && w.dialogs.requests.empty()) << "a button was pressed";
}

// A first run with a stored message and no toolbar layout yet: the preview
// shows each line of it in a row of its own. The spin fields' arrows, by
// their keys and by clicks, step as on Linux, within the same bounds.
TEST(Win32Desktop, ThePreviewShowsTheLoadedMessageAndTheSpinArrowsStepAsOnLinux) {
    ShownWindow w;
    w.save("_Vexmond", "Msg", "^1one\r\n^2two\r\n^3three");
    ASSERT_TRUE(w.show());
    const TEXTMETRICA font = win32::fontMetrics(w.at("txtMsg"), (HFONT)SendMessageA(w.at("txtMsg"), WM_GETFONT, 0, 0));
    for (const int middle : {font.tmHeight / 2, font.tmHeight * 3 / 2, font.tmHeight * 5 / 2}) {
        const auto drawn = [&] {  // a pixel not of the preview's ground in the middle of a row
            HDC dc = GetDC(w.at("txtMsgPreview"));
            COLORREF seen = RGB(0x20, 0x20, 0x20);
            for (int x = 0; x < 300 && seen == RGB(0x20, 0x20, 0x20); ++x) seen = GetPixel(dc, x, 1 + middle);
            ReleaseDC(w.at("txtMsgPreview"), dc);
            return seen != RGB(0x20, 0x20, 0x20) && seen != CLR_INVALID;
        };
        EXPECT_TRUE(w.until(drawn)) << "the line at " << middle;
    }
    for (const auto& [field, from, input, to] :
         {std::tuple{"txtSeverMessageTime", "1", "key Down Up Up", "3"},  // down stays at the lowest value
          {"txtMsgDelay", "3", "key Down Up Up", "6"},                    // below the range: up goes to its lowest
          {"txtStatus", "1", "click", "2"}}) {                            // the up arrow, clicked
        SetWindowTextA(w.at(field), from);
        SetFocus(w.at(field));
        RECT r{};
        GetWindowRect(w.at(("spn" + std::string(field).substr(3)).c_str()), &r);
        xdotool(input[0] == 'k' ? input
                                : "mousemove --sync " + std::to_string((r.left + r.right) / 2) + " " +
                                      std::to_string((3 * r.top + r.bottom) / 4) + " click 1");
        EXPECT_TRUE(w.until([&] { return w.text(field) == to; })) << field << " " << from << " " << input;
    }
}

// At the run's dots per inch (96, and in runs of their own 120 and 144) on a
// 1366x768 screen whose task bar takes 40 pixels: no window manager makes a
// window fit on Windows, so those runs leave it to wine, which places it as
// the program asks. The frame lies within the work area and every control
// within the window, also once it is made smaller than it can be.
TEST(Win32Desktop, AtStartTheFrameFitsTheWorkAreaAndEveryControlIsInside) {
    ShownWindow w;
    ASSERT_TRUE(w.show());
    RECT frame{}, work{}, both{};
    GetWindowRect(w.window.handle(), &frame);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    UnionRect(&both, &work, &frame);
    EXPECT_TRUE(EqualRect(&both, &work)) << frame.top << " to " << frame.bottom << " in " << work.bottom;
    EXPECT_EQ(controlsOutside(w.window.handle()), "");
    SetWindowPos(w.window.handle(), nullptr, 0, 0, 400, 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(controlsOutside(w.window.handle()), "") << "made 400 by 400";
}
