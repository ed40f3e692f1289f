#pragma once

#include <windows.h>

#include "platform/ComboBox.h"
#include "win32/NamedControls.h"

namespace win32 {

// The main window's keyboard and focus, as a dialog has them: the keys the
// window takes before the dialog manager, the underlined letters, and the
// control that gets the focus back when the window is active again.
class MainKeyboard {
public:
    MainKeyboard(HWND window, const NamedControls& controls) : m_window(window), m_controls(controls) {}

    // The keys of the command field and the message, which the dialog
    // manager would otherwise take.
    static void watchCommandField(HWND field, HWND window);
    static void watchMessage(HWND field, HWND window);

    // True if the window took the message's key.
    bool takeKey(const MSG& msg);
    void saveFocus();
    // The control that had the focus, else the first field.
    void restoreFocus(platform::IComboBox& first);

private:
    bool mnemonic(WPARAM key);
    void focusControl(HWND target);

    HWND m_window;
    const NamedControls& m_controls;
    HWND m_focus = nullptr;  // the control to give the focus back to
};

}  // namespace win32
