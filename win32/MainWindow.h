#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Pauses.h"
#include "app/WindowFit.h"
#include "app/frmMain.h"
#include "platform/DatagramSource.h"
#include "win32/ConsoleControl.h"
#include "win32/Win32Controls.h"
#include "win32/GameToolbar.h"
#include "win32/MainKeyboard.h"
#include "win32/MainLayout.h"
#include "win32/MessagePreview.h"
#include "win32/PlayerList.h"
#include "win32/NamedControls.h"
#include "win32/EventLoop.h"

namespace win32 {

// The main window on the Win32 API: builds every control under its name,
// implements the control interfaces over them and calls the frmMain
// procedure of each control's event, one handler a message. What it decides
// itself is how the window is drawn, and how its message loop waits; its
// layout (MainLayout) and its keyboard (MainKeyboard) are parts of their own.
class MainWindow : public platform::IForm {
public:
    // The window's messages of its own, past WM_APP.
    static constexpr UINT kSocketMessage = WM_APP + 1;  // WSAAsyncSelect: a datagram or an error
    static constexpr UINT kPressStart = WM_APP + 2;
    static constexpr UINT kKeepLeastSize = WM_APP + 4;

    MainWindow(HINSTANCE instance, platform::ISocket& socket, platform::IDatagramSource& datagrams,
               platform::ICursor& cursor);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    app::FormControls controls();
    platform::IMessageBox& messageBoxes() { return m_messageBoxes; }
    platform::IFileDialogs& fileDialogs() { return m_fileDialogs; }
    // The pauses and failure boxes, on this window's message loop.
    app::Pauses& sleeper() { return m_pauses; }
    GameToolbar& toolbar() { return *m_toolbar; }
    ConsoleControl& console() { return *m_console; }
    HWND handle() const { return m_hwnd; }
    // A control by its name ("txtIP", "cmdStart", ...), for tests and tools.
    HWND control(const std::string& name) const;

    // Connects the controls' events to the form's procedures.
    void bind(app::frmMain& form);
    void show(int how);
    // Clicks Start once the message loop runs, as the user would.
    void pressStart() { PostMessageA(m_hwnd, kPressStart, 0, 0); }
    // Runs the message loop until the window is taken down; the exit status.
    int run();
    // One message of the thread, as the loop takes it: the window's own keys
    // first, then the dialog manager's, then the message's window.
    void dispatch(MSG& msg);
    bool destroyed() const { return m_destroyed; }

    // IForm
    std::string caption() const override { return windowText(m_hwnd); }
    void setCaption(const std::string& caption) override { SetWindowTextA(m_hwnd, caption.c_str()); }
    platform::WindowHandle hWnd() const override { return reinterpret_cast<platform::WindowHandle>(m_hwnd); }
    double screenWidth() const override { return GetSystemMetrics(SM_CXSCREEN); }
    double screenHeight() const override { return GetSystemMetrics(SM_CYSCREEN); }
    double width() const override;
    double height() const override;
    void move(double left, double top) override;
    std::int32_t systemMenuItemId(int position) const override;
    bool modifySystemMenuItem(std::int32_t id, std::uint32_t flags, std::int32_t newId,
                              const std::string& text) override;
    void destroy() override;
    void statusChanged() override { showColours(); }

    // False once the window's own close command has been taken away.
    bool closeCommandEnabled() const;

private:
    static void registerClasses(HINSTANCE instance);
    // The players in the console's place, or the console again.
    void showPlayers(bool on);
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void makeFonts();
    void applyFonts();
    HWND add(const char* name, const char* className, const char* text, DWORD style, DWORD exStyle = 0);
    void tip(HWND control, const char* text);
    void buildControls();
    void buildServer();
    void buildMessage();
    void buildOptions();
    void buildConsole();
    void buildBottomRow();
    void describeFields();
    void makeInterfaces();
    void layout();
    app::FrameEdges frameEdges() const;
    SIZE leastSize() const;
    RECT workArea(const RECT& around) const;
    void restoreFocus();
    void showColours();
    int scaled(int dip) const { return MulDiv(dip, m_dpi, 96); }

    // One handler a message.
    void command(WORD id, WORD code, HWND control);
    LRESULT onNotify(const NMHDR& header, LPARAM lParam);
    void tick(UINT_PTR id);
    void onSize(WPARAM kind);
    void onActivate(WPARAM state);
    void onDpiChanged(int dpi, const RECT& suggested);
    void onWindowPosChanging(const WINDOWPOS& pos);
    void onKeepLeastSize();
    void onDrawItem(const DRAWITEMSTRUCT& item);
    LRESULT onColourStatic(HDC dc, HWND which);
    bool onSetCursor(WORD hitTest);
    void onClose();
    void onEndSession(bool ending);

    HINSTANCE m_instance;
    platform::ISocket& m_socket;
    platform::IDatagramSource& m_datagrams;
    platform::ICursor& m_cursor;
    HWND m_hwnd = nullptr;
    HWND m_tooltips = nullptr;
    int m_dpi = 96;
    HFONT m_font = nullptr, m_bold = nullptr, m_fixed = nullptr, m_link = nullptr;
    app::frmMain* m_form = nullptr;
    bool m_destroyed = false;
    MessageBoxes m_messageBoxes{nullptr};
    FileDialogs m_fileDialogs;
    EventLoop m_loop;
    app::Pauses m_pauses{m_loop};
    std::unique_ptr<NamedControls> m_controls;
    std::unique_ptr<MainLayout> m_layout;
    std::unique_ptr<MainKeyboard> m_keyboard;
    int m_previewRows = 1;  // the rows the message asks of the preview

    std::unique_ptr<GameToolbar> m_toolbar;
    std::unique_ptr<ComboText> m_txtIP;
    std::unique_ptr<CheckText> m_chkMsgRotate;
    std::unique_ptr<EditText> m_txtPort, m_txtPassword, m_txtMsg, m_txtSeverMessageTime, m_txtMsgDelay, m_txtMinPlayers,
        m_txtStatus, m_txtSendCommand;
    std::unique_ptr<ConsoleControl> m_console;
    std::unique_ptr<PlayerList> m_players;
    std::unique_ptr<MessagePreview> m_preview;
    std::unique_ptr<ButtonControl> m_cmdStart;
    std::unique_ptr<ImageControl> m_imgConnected, m_imgNotConnected;
    std::unique_ptr<WindowTimer> m_tmrServerMessage, m_tmrStatus, m_tmrHeard;
    std::unique_ptr<NoticeControl> m_lblHeard;
};

}  // namespace win32
