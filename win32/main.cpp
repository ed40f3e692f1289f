// The Windows program: builds the Win32 backends and the Win32 window over
// the shared core, and runs the message loop.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/CommandLine.h"
#include "app/frmMain.h"
#include "platform/win/WinArguments.h"
#include "platform/win/WinConsoleFiles.h"
#include "platform/win/WinCursor.h"
#include "platform/win/WinFileSystem.h"
#include "platform/win/WinProfileLocks.h"
#include "platform/win/WinRegistry.h"
#include "platform/win/WinSocketsLibrary.h"
#include "platform/win/WinUdpSocket.h"
#include "win32/MainWindow.h"

namespace {

// Help and version go to where the program was started from: the standard
// handle when one was given (a pipe, a file), else the console of the
// command prompt that started it.
void write(DWORD which, const std::string& text) {
    if (text.empty()) return;
    HANDLE handle = GetStdHandle(which);
    if (!handle || handle == INVALID_HANDLE_VALUE) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
        handle = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    DWORD written = 0;
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    app::CommandLine options;
    if (const auto answer =
            app::readCommandLine(platform::win::ansiArguments(app::Profile::kUnkeptCharacter), options, "\r\n", true)) {
        write(STD_OUTPUT_HANDLE, answer->out);
        write(STD_ERROR_HANDLE, answer->err);
        return answer->status;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    platform::win::WinRegistry registry;
    platform::win::WinUdpSocket socket;
    platform::win::WinFileSystem files;
    platform::win::WinClock clock;
    platform::win::WinSocketsLibrary sockets;
    platform::win::WinProfileLocks locks(files.programDirectory());
    platform::win::WinConsoleFiles consoleFiles(files.programDirectory());
    platform::win::WinCursor cursor;
    win32::MainWindow window(instance, socket, socket, cursor);
    app::frmMain form(window.controls(),
                      app::FormServices{.registry = registry,
                                        .messageBox = window.messageBoxes(),
                                        .fileDialogs = window.fileDialogs(),
                                        .fileSystem = files,
                                        .clock = clock,
                                        .sleeper = window.sleeper(),
                                        .cursor = cursor,
                                        .sockets = sockets,
                                        .profileLocks = locks,
                                        .consoleFiles = consoleFiles},
                      app::Profile(options.profile));
    window.bind(form);
    form.Form_Load();
    window.show(show);
    if (options.start) window.pressStart();
    window.run();
    // Closed by Close or Exit (the unload has run) or by the system: unloads once.
    form.Unload();
    return 0;
}
