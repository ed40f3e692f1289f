#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/Placeholders.h"
#include "app/PlayersView.h"

namespace win32 {

// Under the message: each line as the players see it in chat, as the server
// passes it on, the colour codes hidden and the text in its colours on a
// dark ground; an empty line, which the broadcast skips, as a hatched bar;
// on red what goes out or reaches the players otherwise than typed (a
// character the ANSI code page cannot carry, sent as "?"; what the server
// passes on as a dot), on grey what the players do not see, and at the right
// a chat line's bytes against those they read. Lines that do not fit its
// height scroll.
class MessagePreview {
public:
    static constexpr const char* kClassName = "VexmondPreview";
    static void registerClass(HINSTANCE instance);

    MessagePreview(HWND parent, HINSTANCE instance, HFONT font);
    HWND handle() const { return m_hwnd; }
    void setFont(HFONT font);
    // The message as the edit control holds it, in its wide form (which
    // shows what the ANSI bytes lost) and the game's rule.
    void showMessage(const std::wstring& message, const std::string& gameName, const app::PlaceholderValues& values);

    std::size_t lineCount() const { return m_lines.size(); }
    int lineHeight() const { return m_lineHeight; }
    // The height that shows this many rows whole.
    int heightFor(int rows) const;

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void scrollTo(int firstLine);

    HWND m_hwnd = nullptr;
    HFONT m_font;
    int m_lineHeight = 16;
    std::vector<app::PreviewLine> m_lines{app::PreviewLine{}};
    int m_firstLine = 0;
};

}  // namespace win32
