// The Win32 window under wine (the null graphics driver), over the real
// Winsock socket, the real registry in a place of the test's own and the
// real files; driven through the window's own messages.
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
#include "tests/support/WindowContract.h"
#include "win32/MainWindow.h"

namespace {

// The real window over a real socket, with the services of every form
// test; message boxes and pauses are recorded, or with Real::boxesAndPauses
// the window's own. Loaded and shown at once unless asked not to.
struct LiveWin32Window : testsupport::TestServices {
    explicit LiveWin32Window(Real real = Real::nothing, bool loadNow = true)
        : boxesShown(real == Real::boxesAndPauses ? window.messageBoxes() : static_cast<platform::IMessageBox&>(boxes)),
          held(real == Real::boxesAndPauses ? window.sleeper() : pauses) {
        window.bind(form);
        if (loadNow) load();
    }
    void load() {
        form.Form_Load();
        window.show(SW_SHOWNOACTIVATE);
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
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
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

TEST(Win32Window, TheConsoleKeepsTheExactBytesShowsTheLinesAndSavesThem) {
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

    const std::string path = w.tmp / "saved.log";
    testsupport::writeFile(path, "an older and much longer file that is replaced");
    w.window.controls().txtOutput.saveFile(path);
    EXPECT_EQ(testsupport::readFile(path), bytes);
    EXPECT_THROW(console.saveFile(w.tmp / "missing-dir\\x.log"), std::runtime_error);
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
    // The program's window, not one of a test running beside this one.
    HWND window = nullptr;
    for (HWND w = FindWindowExA(nullptr, nullptr, "VexmondWindow", nullptr); w && !window;
         w = FindWindowExA(nullptr, w, "VexmondWindow", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == process.dwProcessId) window = w;
    }
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
