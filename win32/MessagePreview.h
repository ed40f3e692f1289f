#pragma once

#include <windows.h>

#include <string>

#include "app/ColourCodes.h"

namespace win32 {

// Under the message: each line as the players see it in chat, the colour
// codes hidden and the text in its colours on a dark ground; an empty line,
// which the broadcast skips, as a hatched bar; a character the ANSI code
// page cannot carry (sent as "?") as a "?" on red.
class MessagePreview {
public:
    static constexpr const char* kClassName = "VexmondPreview";
    static void registerClass(HINSTANCE instance);

    MessagePreview(HWND parent, HINSTANCE instance, HFONT font);
    HWND handle() const { return m_hwnd; }
    void setFont(HFONT font) {
        m_font = font;
        InvalidateRect(m_hwnd, nullptr, FALSE);
    }
    // The message as the edit control holds it, in its wide form (which
    // shows what the ANSI bytes lost) and the game's rule.
    void showMessage(const std::wstring& message, app::ColourCodes rule);

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void paint();

    HWND m_hwnd = nullptr;
    HFONT m_font;
    std::wstring m_message;
    app::ColourCodes m_rule = app::ColourCodes::AnyCharacter;
};

}  // namespace win32
