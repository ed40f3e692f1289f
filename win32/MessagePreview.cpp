#include "win32/MessagePreview.h"

#include "win32/Win32Controls.h"

#include <vector>

namespace win32 {

void MessagePreview::registerClass(HINSTANCE instance) {
    WNDCLASSA c{};
    c.lpfnWndProc = &MessagePreview::procedure;
    c.hInstance = instance;
    c.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    c.lpszClassName = kClassName;
    RegisterClassA(&c);
}

MessagePreview::MessagePreview(HWND parent, HINSTANCE instance, HFONT font) : m_font(font) {
    m_hwnd = CreateWindowExA(WS_EX_CLIENTEDGE, kClassName, "Preview of the message as the players see it",
                             WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent, nullptr, instance, this);
}

LRESULT CALLBACK MessagePreview::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowObject<MessagePreview>(hwnd, message, lParam);
    if (self && message == WM_PAINT) {
        self->m_hwnd = hwnd;
        self->paint();
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void MessagePreview::showMessage(const std::wstring& message, app::ColourCodes rule) {
    m_message = message;
    m_rule = rule;
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void MessagePreview::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    RECT client{};
    GetClientRect(m_hwnd, &client);
    HBRUSH ground = CreateSolidBrush(RGB(0x20, 0x20, 0x20));
    FillRect(dc, &client, ground);
    DeleteObject(ground);
    HGDIOBJ oldFont = SelectObject(dc, m_font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    SetBkMode(dc, OPAQUE);
    int y = 1;
    std::size_t start = 0;
    while (start <= m_message.size() && y < client.bottom) {
        std::size_t end = m_message.find(L'\n', start);
        if (end == std::wstring::npos) end = m_message.size();
        std::wstring wide = m_message.substr(start, end - start);
        if (!wide.empty() && wide.back() == L'\r') wide.pop_back();
        if (wide.empty() && !(start == m_message.size() && start == 0)) {
            RECT bar{client.left, y, client.right, y + lineHeight};
            HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, RGB(0x60, 0x60, 0x60));
            SetBkColor(dc, RGB(0x20, 0x20, 0x20));
            FillRect(dc, &bar, hatch);
            DeleteObject(hatch);
        } else {
            // What goes on the wire: the line in the ANSI code page, a
            // character it has no byte for sent as '?'.
            std::string line(wide.size(), '?');
            std::vector<bool> replaced(wide.size(), false);
            for (std::size_t i = 0; i < wide.size(); ++i) {
                BOOL lost = FALSE;
                char byte = '?';
                WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &wide[i], 1, &byte, 1, nullptr, &lost);
                line[i] = lost ? '?' : byte;
                replaced[i] = lost != FALSE;
            }
            int x = 3;
            for (const app::ColourRun& run : app::colourRuns(line, m_rule)) {
                if (run.code) continue;
                const std::uint32_t rgb = app::gameColourRgb(run.colour);
                for (std::size_t k = run.start; k < run.start + run.length; ++k) {
                    SetTextColor(dc, RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
                    SetBkColor(dc, replaced[k] ? RGB(0x90, 0x20, 0x20) : RGB(0x20, 0x20, 0x20));
                    SIZE size{};
                    GetTextExtentPoint32A(dc, &line[k], 1, &size);
                    TextOutA(dc, x, y, &line[k], 1);
                    x += size.cx;
                }
            }
        }
        y += lineHeight;
        start = end + 1;
    }
    SelectObject(dc, oldFont);
    EndPaint(m_hwnd, &ps);
}

}  // namespace win32
