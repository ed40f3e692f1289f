#include "win32/MessagePreview.h"

#include "win32/Win32Controls.h"

#include <algorithm>

namespace win32 {

namespace {
constexpr int kPad = 1;  // above the first row and below the last
constexpr COLORREF kGround = RGB(0x20, 0x20, 0x20);
constexpr COLORREF kChanged = RGB(0x90, 0x20, 0x20);
constexpr COLORREF kNotSeen = RGB(0x50, 0x50, 0x50);
}  // namespace

void MessagePreview::registerClass(HINSTANCE instance) {
    registerControlClass(instance, kClassName, &MessagePreview::procedure);
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

void MessagePreview::showMessage(const std::wstring& message, const std::string& gameName,
                                 const app::PlaceholderValues& values) {
    // What goes on the wire: each line in the ANSI code page, a character it
    // has no byte for sent as '?'.
    std::vector<app::WireLine> wire(1);
    for (std::size_t i = 0; i < message.size(); ++i) {
        if (message[i] == L'\n') {
            if (!wire.back().bytes.empty() && wire.back().bytes.back() == '\r') {
                wire.back().bytes.pop_back();
                wire.back().notInCharset.pop_back();
            }
            wire.emplace_back();
            continue;
        }
        BOOL lost = FALSE;
        char byte = '?';
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &message[i], 1, &byte, 1, nullptr, &lost);
        wire.back().bytes += lost ? '?' : byte;
        wire.back().notInCharset.push_back(lost != FALSE);
    }
    m_lines = app::previewOf(wire, gameName, values);
    if (message.empty()) m_lines.front().skipped = false;  // nothing typed: nothing to mark
    scrollTo(m_firstLine);
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

// The scroll bar shows only while some lines are out of view.
void MessagePreview::scrollTo(int firstLine) {
    RECT client{};
    GetClientRect(m_hwnd, &client);
    const int rows = std::max(1, static_cast<int>(client.bottom - 2 * kPad) / m_lineHeight);
    const int lines = static_cast<int>(m_lines.size());
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
    for (auto n = static_cast<std::size_t>(m_firstLine); n < m_lines.size() && top < client.bottom;
         ++n, top += m_lineHeight) {
        const app::PreviewLine& line = m_lines[n];
        if (line.skipped) {
            RECT bar{client.left, top, client.right, top + m_lineHeight};
            HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, RGB(0x60, 0x60, 0x60));
            SetBkColor(dc, kGround);
            FillRect(dc, &bar, hatch);
            DeleteObject(hatch);
            continue;
        }
        int x = 3;
        for (const app::PreviewRun& run : line.runs) {
            const std::uint32_t rgb = app::gameColourRgb(run.colour);
            SetTextColor(dc, RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
            SetBkColor(dc, run.marks & app::kChangedMarks ? kChanged : run.marks & app::kNotSeen ? kNotSeen : kGround);
            SIZE size{};
            GetTextExtentPoint32A(dc, run.text.data(), static_cast<int>(run.text.size()), &size);
            TextOutA(dc, x, top, run.text.data(), static_cast<int>(run.text.size()));
            x += size.cx;
        }
        if (line.seen) {
            const std::string bytes = std::to_string(line.length) + "/" + std::to_string(line.budget);
            SetTextColor(dc, line.length > line.seen ? RGB(0xE0, 0x60, 0x60) : RGB(0x90, 0x90, 0x90));
            SetBkColor(dc, kGround);
            RECT right{client.left, top, client.right - 3, top + m_lineHeight};
            DrawTextA(dc, bytes.c_str(), static_cast<int>(bytes.size()), &right,
                      DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
    SelectObject(dc, oldFont);
    EndPaint(m_hwnd, &ps);
}

}  // namespace win32
