#include "win32/MessagePreview.h"

#include "win32/Win32Controls.h"

#include <algorithm>

namespace win32 {

namespace {
constexpr int kPad = 1;  // above the first row and below the last
constexpr COLORREF kGround = RGB(0x20, 0x20, 0x20);
}  // namespace

void MessagePreview::registerClass(HINSTANCE instance) {
    WNDCLASSA c{};
    c.lpfnWndProc = &MessagePreview::procedure;
    c.hInstance = instance;
    c.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    c.lpszClassName = kClassName;
    RegisterClassA(&c);
}

MessagePreview::MessagePreview(HWND parent, HINSTANCE instance, HFONT font) {
    m_hwnd = CreateWindowExA(WS_EX_CLIENTEDGE, kClassName, "Preview of the message as the players see it",
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 10, 10, parent, nullptr, instance, this);
    setFont(font);
}

LRESULT CALLBACK MessagePreview::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowObject<MessagePreview>(hwnd, message, lParam);
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    self->m_hwnd = hwnd;
    switch (message) {
    case WM_PAINT: self->paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: self->scrollTo(self->m_firstLine); return 0;
    case WM_MOUSEWHEEL: self->scrollTo(self->m_firstLine - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA); return 0;
    case WM_VSCROLL: {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS | SIF_PAGE;
        GetScrollInfo(hwnd, SB_VERT, &info);
        switch (LOWORD(wParam)) {
        case SB_LINEUP: self->scrollTo(self->m_firstLine - 1); break;
        case SB_LINEDOWN: self->scrollTo(self->m_firstLine + 1); break;
        case SB_PAGEUP: self->scrollTo(self->m_firstLine - static_cast<int>(info.nPage)); break;
        case SB_PAGEDOWN: self->scrollTo(self->m_firstLine + static_cast<int>(info.nPage)); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: self->scrollTo(info.nTrackPos); break;
        default: break;
        }
        return 0;
    }
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void MessagePreview::setFont(HFONT font) {
    m_font = font;
    const TEXTMETRICA metrics = fontMetrics(m_hwnd, m_font);
    m_lineHeight = std::max<int>(1, metrics.tmHeight + metrics.tmExternalLeading);
    scrollTo(m_firstLine);
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

int MessagePreview::heightFor(int rows) const {
    RECT r{0, 0, 0, rows * m_lineHeight + 2 * kPad};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(m_hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(m_hwnd, GWL_EXSTYLE)));
    return r.bottom - r.top;
}

void MessagePreview::showMessage(const std::wstring& message, app::ColourCodes rule) {
    m_message = message;
    m_rule = rule;
    m_lineStarts.assign(1, 0);
    for (std::size_t i = m_message.find(L'\n'); i != std::wstring::npos; i = m_message.find(L'\n', i + 1))
        m_lineStarts.push_back(i + 1);
    scrollTo(m_firstLine);
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

// The scroll bar shows only while some lines are out of view.
void MessagePreview::scrollTo(int firstLine) {
    RECT client{};
    GetClientRect(m_hwnd, &client);
    const int rows = std::max(1, static_cast<int>(client.bottom - 2 * kPad) / m_lineHeight);
    const int lines = static_cast<int>(m_lineStarts.size());
    m_firstLine = std::clamp(firstLine, 0, std::max(0, lines - rows));
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = lines - 1;
    info.nPage = static_cast<UINT>(rows);
    info.nPos = m_firstLine;
    SetScrollInfo(m_hwnd, SB_VERT, &info, TRUE);
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void MessagePreview::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    RECT client{};
    GetClientRect(m_hwnd, &client);
    HBRUSH ground = CreateSolidBrush(kGround);
    FillRect(dc, &client, ground);
    DeleteObject(ground);
    HGDIOBJ oldFont = SelectObject(dc, m_font);
    SetBkMode(dc, OPAQUE);
    int top = kPad;
    for (auto n = static_cast<std::size_t>(m_firstLine); n < m_lineStarts.size() && top < client.bottom;
         ++n, top += m_lineHeight) {
        const std::size_t start = m_lineStarts[n];
        const std::size_t end = n + 1 < m_lineStarts.size() ? m_lineStarts[n + 1] - 1 : m_message.size();
        std::wstring wide = m_message.substr(start, end - start);
        if (!wide.empty() && wide.back() == L'\r') wide.pop_back();
        if (wide.empty() && !m_message.empty()) {
            RECT bar{client.left, top, client.right, top + m_lineHeight};
            HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, RGB(0x60, 0x60, 0x60));
            SetBkColor(dc, kGround);
            FillRect(dc, &bar, hatch);
            DeleteObject(hatch);
            continue;
        }
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
                SetBkColor(dc, replaced[k] ? RGB(0x90, 0x20, 0x20) : kGround);
                SIZE size{};
                GetTextExtentPoint32A(dc, &line[k], 1, &size);
                TextOutA(dc, x, top, &line[k], 1);
                x += size.cx;
            }
        }
    }
    SelectObject(dc, oldFont);
    EndPaint(m_hwnd, &ps);
}

}  // namespace win32
