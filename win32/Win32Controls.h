#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/FormFields.h"
#include "platform/ComboBox.h"
#include "platform/Controls.h"
#include "platform/FileDialog.h"

namespace win32 {

// The window's controls as the logic sees them, over the Win32 controls
// themselves. Texts go through the ANSI calls: bytes stay bytes.

std::string windowText(HWND hwnd);

// A font as it draws in a window: its metrics, and the width of a text.
TEXTMETRICA fontMetrics(HWND window, HFONT font);
int textWidth(HWND window, HFONT font, const std::string& text);

// The clipboard's text, in the ANSI code page; and the text put there.
std::string clipboardText(HWND owner);
void setClipboardText(HWND owner, const std::string& text);

// Registers a window class of the program's own controls.
void registerControlClass(HINSTANCE instance, const char* name, WNDPROC procedure, HBRUSH background = nullptr,
                          LPCSTR cursor = IDC_ARROW, UINT style = 0);

// The object a window of the program's own classes was created for (its
// creation parameter), kept with the window from WM_NCCREATE on.
template <class T>
T* windowObject(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// Keeps an EDIT control to what the form's field takes: a character typed
// or a text pasted that would leave a text the field does not take is
// refused with the system's beep (a stored text that is something else may
// still be shortened and corrected), and the field's length is its limit.
void keepToField(HWND edit, const app::FormField& field);

// An EDIT control; with an up-down control beside it, a spin field whose
// arrows step the number the text starts with within a range, leaving any
// other text to the user (a stored "2.5" stays "2.5" until an arrow is used).
class EditText : public platform::ITextField {
public:
    explicit EditText(HWND edit) : m_hwnd(edit) {}
    std::string text() const override { return windowText(m_hwnd); }
    void setText(const std::string& text) override { SetWindowTextA(m_hwnd, text.c_str()); }
    // At the text's end, as a person goes on typing.
    void setFocus() override {
        SetFocus(m_hwnd);
        const auto end = static_cast<WPARAM>(GetWindowTextLengthA(m_hwnd));
        SendMessageA(m_hwnd, EM_SETSEL, end, static_cast<LPARAM>(end));
    }
    HWND handle() const { return m_hwnd; }
    // The arrows of a spin field: +1 or -1 within [low, high].
    void step(int delta, int low, int high);

private:
    HWND m_hwnd;
};

// A check box as a field of the form: "1" checked, anything else not.
class CheckText : public platform::ITextField {
public:
    explicit CheckText(HWND box) : m_hwnd(box) {}
    std::string text() const override { return SendMessageA(m_hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0"; }
    void setText(const std::string& text) override {
        SendMessageA(m_hwnd, BM_SETCHECK, text == "1" ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void setFocus() override { SetFocus(m_hwnd); }

private:
    HWND m_hwnd;
};

class ButtonControl : public platform::IButton {
public:
    explicit ButtonControl(HWND button) : m_hwnd(button) {}
    bool enabled() const override { return IsWindowEnabled(m_hwnd) != FALSE; }
    void setEnabled(bool enabled) override { EnableWindow(m_hwnd, enabled); }

private:
    HWND m_hwnd;
};

class ImageControl : public platform::IImage {
public:
    explicit ImageControl(HWND image) : m_hwnd(image) {}
    bool visible() const override { return (GetWindowLongPtrA(m_hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }
    void setVisible(bool visible) override { ShowWindow(m_hwnd, visible ? SW_SHOWNA : SW_HIDE); }

private:
    HWND m_hwnd;
};

// A STATIC beside the indicator; the window draws a warning in red, and a
// line longer than its room ends in an ellipsis.
class NoticeControl : public platform::INotice {
public:
    explicit NoticeControl(HWND label) : m_hwnd(label) {}
    std::string text() const override { return windowText(m_hwnd); }
    bool warning() const override { return m_warning; }
    void show(const std::string& text, bool warning) override {
        m_warning = warning;
        SetWindowTextA(m_hwnd, text.c_str());
        InvalidateRect(m_hwnd, nullptr, TRUE);
    }
    HWND handle() const { return m_hwnd; }

private:
    HWND m_hwnd;
    bool m_warning = false;
};

// A window timer (WM_TIMER): never queues missed ticks, as Windows makes a
// timer message only when nothing else waits.
class WindowTimer : public platform::ITimer {
public:
    WindowTimer(HWND window, UINT_PTR id) : m_window(window), m_id(id) {}
    ~WindowTimer() override { setEnabled(false); }
    bool enabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override;
    std::int32_t interval() const override { return m_interval; }
    void setInterval(std::int32_t milliseconds) override;
    UINT_PTR id() const { return m_id; }

private:
    HWND m_window;
    UINT_PTR m_id;
    bool m_enabled = false;
    std::int32_t m_interval = 0;
};

// A drop-down COMBOBOX whose edit line is typed in: its list, its selection,
// and its notifications (the text changed, a key went down) to any number
// of listeners; the owner reports CBN_EDITCHANGE through changed().
class ComboText : public platform::IComboBox {
public:
    explicit ComboText(HWND combo);
    ~ComboText() override;
    ComboText(const ComboText&) = delete;
    ComboText& operator=(const ComboText&) = delete;

    std::string text() const override { return windowText(m_combo); }
    void setText(const std::string& text) override;
    int listCount() const override;
    std::string list(int index) const override;
    void addItem(const std::string& text) override;
    void removeItem(int index) override;
    void clear() override;
    void setSelStart(int start) override;
    void setSelLength(int length) override;
    void setFocus() override { SetFocus(m_edit ? m_edit : m_combo); }
    int findString(const std::string& text) const override;
    int findStringExact(const std::string& text) const override;
    void subscribe(platform::IComboBoxEvents* listener) override { m_listeners.subscribe(listener); }
    void unsubscribe(platform::IComboBoxEvents* listener) override { m_listeners.unsubscribe(listener); }

    void changed() { m_listeners.changed(); }
    HWND edit() const { return m_edit; }

private:
    static LRESULT CALLBACK editProcedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    std::vector<std::string> items() const;

    HWND m_combo;
    HWND m_edit = nullptr;
    int m_selStart = 0;
    platform::ComboBoxListeners m_listeners;
};

// Message boxes: the classic style numbers are MessageBoxA's own.
class MessageBoxes : public platform::IMessageBox {
public:
    explicit MessageBoxes(HWND owner) : m_owner(owner) {}
    int show(const std::string& text, int style, const std::string& title) override;

private:
    HWND m_owner;
};

// The common Open and Save dialogs, with the request's hook called through
// the window functions of IDialogWindow.
class FileDialogs : public platform::IFileDialogs {
public:
    bool getOpenFileName(platform::OpenFileNameRequest& request) override { return run(request, false); }
    bool getSaveFileName(platform::OpenFileNameRequest& request) override { return run(request, true); }
    bool isWindow(platform::WindowHandle window) override { return IsWindow(reinterpret_cast<HWND>(window)); }
    char separator() const override { return '\\'; }

private:
    bool run(platform::OpenFileNameRequest& request, bool save);
};

}  // namespace win32
