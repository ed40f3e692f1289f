#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/ColourCodes.h"
#include "app/ConsoleLines.h"
#include "platform/Controls.h"

namespace win32 {

// The output console: a control of its own, because an EDIT or RichEdit
// control grows slower with every append. It keeps the exact bytes it is
// given (CR LF as received) and an index of where each line starts, paints
// only the lines in view, below a line that is no part of the text, and
// scrolls to the end on append, so an append costs what it appends. It
// selects with the mouse and the keyboard, copies with Ctrl+C, and answers
// WM_GETTEXT and WM_GETTEXTLENGTH with its text for screen readers and tests.
class ConsoleControl : public platform::IRichText {
public:
    static constexpr const char* kClassName = "VexmondConsole";
    static void registerClass(HINSTANCE instance);

    ConsoleControl(HWND parent, int id, HINSTANCE instance);
    HWND handle() const { return m_hwnd; }
    void setFont(HFONT font);
    // Colours the text by the game's codes (null: plain text).
    void setColours(const app::ColourCodes* rule);

    std::string text() const override { return m_lines.text(); }
    void setText(const std::string& text) override;
    std::int64_t length() const override { return m_lines.size(); }
    void appendText(const std::string& text) override;
    std::string textPart(std::int64_t offset, std::int64_t count) const override;
    void removeHead(std::int64_t count) override;
    std::int64_t selStart() const override { return static_cast<std::int64_t>(m_caret); }
    void setSelStart(std::int64_t position) override;
    void setHeadLine(const std::string& line) override;

    std::size_t lineCount() const { return m_lines.lineCount(); }
    const std::string& headLine() const { return m_headLine; }
    int lineHeight() const { return m_lineHeight; }
    // The memory the console holds: its bytes and their index.
    std::size_t heldBytes() const { return m_lines.heldBytes(); }

private:
    static constexpr UINT kRefresh = WM_APP + 20;
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT copyText(WPARAM size, char* out) const;
    void scrollBarUsed(WORD request);
    void keyDown(WPARAM key);
    std::int64_t rows() const { return static_cast<std::int64_t>(m_lines.lineCount()) + headRows(); }
    int headRows() const { return m_headLine.empty() ? 0 : 1; }
    void paint();
    void refreshLater();
    void refresh();
    void updateScroll();
    void scrollTo(std::int64_t firstLine);
    void scrollToEnd();
    std::size_t offsetAt(int x, int y) const;
    void select(std::size_t anchor, std::size_t caret);
    void copySelection() const;
    int visibleLines() const;

    HWND m_hwnd = nullptr;
    HFONT m_font = nullptr;
    int m_lineHeight = 16, m_charWidth = 8;
    app::ConsoleLines m_lines;
    std::string m_headLine;
    std::int64_t m_firstRow = 0;  // the head line, then the text's lines
    std::size_t m_anchor = 0, m_caret = 0;
    bool m_dragging = false;
    bool m_refreshPosted = false, m_followEnd = false;
    std::vector<app::ColourCodes> m_rule;  // empty, or the one rule the text is coloured by
};

}  // namespace win32
