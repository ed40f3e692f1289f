#include "win32/ConsoleControl.h"

#include "win32/Win32Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>
#include <stdexcept>

namespace win32 {

namespace {
constexpr COLORREF kGround = RGB(0x20, 0x20, 0x20);
constexpr COLORREF kDimmed = RGB(0x70, 0x70, 0x70);
COLORREF colourRef(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }
}  // namespace

void ConsoleControl::registerClass(HINSTANCE instance) {
    // No background: it is painted whole in WM_PAINT.
    registerControlClass(instance, kClassName, &ConsoleControl::procedure, nullptr, IDC_IBEAM, CS_DBLCLKS);
}

ConsoleControl::ConsoleControl(HWND parent, int id, HINSTANCE instance) {
    m_hwnd = CreateWindowExA(WS_EX_CLIENTEDGE, kClassName, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP, 0, 0,
                             10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
}

LRESULT CALLBACK ConsoleControl::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowObject<ConsoleControl>(hwnd, message, lParam);
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    self->m_hwnd = hwnd;
    return self->handle(message, wParam, lParam);
}

void ConsoleControl::setFont(HFONT font) {
    m_font = font;
    const TEXTMETRICA metrics = fontMetrics(m_hwnd, m_font);
    m_lineHeight = std::max<int>(1, metrics.tmHeight + metrics.tmExternalLeading);
    m_charWidth = std::max<int>(1, metrics.tmAveCharWidth);
    updateScroll();
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void ConsoleControl::setColours(const app::ColourCodes* rule) {
    m_rule.clear();
    if (rule) m_rule.push_back(*rule);
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void ConsoleControl::setText(const std::string& text) {
    m_text = text;
    m_text.shrink_to_fit();  // Clear gives the memory back
    m_lineStarts.assign(1, 0);
    m_lineStarts.shrink_to_fit();
    indexFrom(0);
    m_anchor = m_caret = std::min(m_caret, m_text.size());
    m_firstLine = 0;
    updateScroll();
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void ConsoleControl::appendText(const std::string& text) {
    if (text.empty()) return;
    const std::size_t from = m_text.size();
    m_text += text;
    indexFrom(from);
    m_followEnd = true;
    refreshLater();
}

// The view catches up once per pass of the message loop, however many
// appends and caret moves the pass made: a flood of replies is laid out and
// painted once, not once a reply.
void ConsoleControl::refreshLater() {
    if (m_refreshPosted) return;
    m_refreshPosted = PostMessageA(m_hwnd, kRefresh, 0, 0) != FALSE;
}

void ConsoleControl::refresh() {
    m_refreshPosted = false;
    if (std::exchange(m_followEnd, false))
        scrollToEnd();
    else
        updateScroll();
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void ConsoleControl::setSelStart(std::int64_t position) {
    const auto at = static_cast<std::size_t>(std::clamp<std::int64_t>(position, 0, length()));
    select(at, at);
}

void ConsoleControl::saveFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("The file cannot be written: " + path);
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < m_text.size()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(m_text.size() - done, 1u << 30));
        ok = WriteFile(file, m_text.data() + done, chunk, &written, nullptr) && written > 0;
        done += written;
    }
    if (!CloseHandle(file) || !ok) throw std::runtime_error("The file could not be written whole: " + path);
}

void ConsoleControl::indexFrom(std::size_t offset) {
    for (std::size_t i = m_text.find('\n', offset); i != std::string::npos; i = m_text.find('\n', i + 1))
        m_lineStarts.push_back(i + 1);
}

std::string ConsoleControl::lineText(std::size_t line) const {
    const std::size_t start = m_lineStarts[line];
    std::size_t end = line + 1 < m_lineStarts.size() ? m_lineStarts[line + 1] - 1 : m_text.size();
    if (end > start && m_text[end - 1] == '\r') --end;
    return m_text.substr(start, end - start);
}

int ConsoleControl::visibleLines() const {
    RECT r{};
    GetClientRect(m_hwnd, &r);
    return std::max<int>(1, (r.bottom - r.top) / m_lineHeight);
}

void ConsoleControl::updateScroll() {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = static_cast<int>(std::min<std::size_t>(m_lineStarts.size() - 1, INT32_MAX));
    info.nPage = static_cast<UINT>(visibleLines());
    info.nPos = static_cast<int>(m_firstLine);
    SetScrollInfo(m_hwnd, SB_VERT, &info, TRUE);
}

void ConsoleControl::scrollTo(std::int64_t firstLine) {
    const std::int64_t last =
        std::max<std::int64_t>(0, static_cast<std::int64_t>(m_lineStarts.size()) - visibleLines());
    firstLine = std::clamp<std::int64_t>(firstLine, 0, last);
    if (firstLine != m_firstLine) {
        m_firstLine = firstLine;
        InvalidateRect(m_hwnd, nullptr, FALSE);
    }
    updateScroll();
}

void ConsoleControl::scrollToEnd() {
    scrollTo(static_cast<std::int64_t>(m_lineStarts.size()));
    InvalidateRect(m_hwnd, nullptr, FALSE);  // the last line grew, wherever the view stands
}

std::size_t ConsoleControl::offsetAt(int x, int y) const {
    const std::int64_t line =
        std::clamp<std::int64_t>(m_firstLine + y / m_lineHeight, 0, static_cast<std::int64_t>(m_lineStarts.size()) - 1);
    const std::size_t column = static_cast<std::size_t>(std::max(0, (x - 2 + m_charWidth / 2) / m_charWidth));
    return m_lineStarts[static_cast<std::size_t>(line)] +
           std::min(column, lineText(static_cast<std::size_t>(line)).size());
}

void ConsoleControl::select(std::size_t anchor, std::size_t caret) {
    m_anchor = std::min(anchor, m_text.size());
    m_caret = std::min(caret, m_text.size());
    refreshLater();
}

void ConsoleControl::copySelection() const {
    const std::size_t from = std::min(m_anchor, m_caret), to = std::max(m_anchor, m_caret);
    if (from == to || !OpenClipboard(m_hwnd)) return;
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, to - from + 1)) {
        char* bytes = static_cast<char*>(GlobalLock(memory));
        std::copy(m_text.begin() + static_cast<std::ptrdiff_t>(from), m_text.begin() + static_cast<std::ptrdiff_t>(to),
                  bytes);
        bytes[to - from] = '\0';
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
}

void ConsoleControl::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    RECT client{};
    GetClientRect(m_hwnd, &client);
    const bool coloured = !m_rule.empty();
    const COLORREF ground = coloured ? kGround : GetSysColor(COLOR_WINDOW);
    HBRUSH brush = CreateSolidBrush(ground);
    FillRect(dc, &ps.rcPaint, brush);
    DeleteObject(brush);
    HGDIOBJ oldFont = SelectObject(dc, m_font ? m_font : GetStockObject(ANSI_FIXED_FONT));
    SetBkMode(dc, TRANSPARENT);
    const std::size_t from = std::min(m_anchor, m_caret), to = std::max(m_anchor, m_caret);
    const int lines = visibleLines() + 1;
    for (int i = 0; i < lines; ++i) {
        const auto line = static_cast<std::size_t>(m_firstLine) + static_cast<std::size_t>(i);
        if (line >= m_lineStarts.size()) break;
        const std::string text = lineText(line);
        const int y = i * m_lineHeight;
        const std::size_t start = m_lineStarts[line];
        // The selection's part of this line, on the highlight colour.
        const std::size_t selFrom = std::clamp(from, start, start + text.size()) - start;
        const std::size_t selTo = std::clamp(to, start, start + text.size()) - start;
        if (selTo > selFrom) {
            RECT band{2 + static_cast<int>(selFrom) * m_charWidth, y, 2 + static_cast<int>(selTo) * m_charWidth,
                      y + m_lineHeight};
            FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        std::vector<app::ColourRun> runs;
        if (coloured)
            runs = app::colourRuns(text, m_rule.front());
        else
            runs.push_back(app::ColourRun{0, text.size(), false, app::GameColour::White});
        for (const app::ColourRun& run : runs) {
            COLORREF colour = coloured ? (run.code ? kDimmed : colourRef(app::gameColourRgb(run.colour)))
                                       : GetSysColor(COLOR_WINDOWTEXT);
            // Each stretch of the run in or out of the selection.
            for (std::size_t k = run.start; k < run.start + run.length;) {
                const bool selected = k >= selFrom && k < selTo;
                std::size_t end = k + 1;
                while (end < run.start + run.length && (end >= selFrom && end < selTo) == selected) ++end;
                SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : colour);
                TextOutA(dc, 2 + static_cast<int>(k) * m_charWidth, y, text.data() + k, static_cast<int>(end - k));
                k = end;
            }
        }
    }
    SelectObject(dc, oldFont);
    // The focus mark, as the other controls draw theirs: where the keyboard
    // has been used (the window's keyboard cues).
    if (GetFocus() == m_hwnd && !(SendMessageA(m_hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        RECT mark = client;
        InflateRect(&mark, -1, -1);
        DrawFocusRect(dc, &mark);
    }
    EndPaint(m_hwnd, &ps);
}

LRESULT ConsoleControl::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: paint(); return 0;
    case kRefresh: refresh(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: scrollTo(m_firstLine); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(m_text.size());
    case WM_GETTEXT: {
        if (wParam == 0 || lParam == 0) return 0;
        const std::size_t n = std::min<std::size_t>(wParam - 1, m_text.size());
        char* out = reinterpret_cast<char*>(lParam);
        std::copy(m_text.begin(), m_text.begin() + static_cast<std::ptrdiff_t>(n), out);
        out[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_SETTEXT: setText(lParam ? reinterpret_cast<const char*>(lParam) : ""); return TRUE;
    case WM_SETFONT: setFont(reinterpret_cast<HFONT>(wParam)); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m_font);
    case WM_VSCROLL: {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(m_hwnd, SB_VERT, &info);
        const std::int64_t page = visibleLines();
        switch (LOWORD(wParam)) {
        case SB_LINEUP: scrollTo(m_firstLine - 1); break;
        case SB_LINEDOWN: scrollTo(m_firstLine + 1); break;
        case SB_PAGEUP: scrollTo(m_firstLine - page); break;
        case SB_PAGEDOWN: scrollTo(m_firstLine + page); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: scrollTo(info.nTrackPos); break;
        case SB_TOP: scrollTo(0); break;
        case SB_BOTTOM: scrollToEnd(); break;
        default: break;
        }
        return 0;
    }
    case WM_MOUSEWHEEL: scrollTo(m_firstLine - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3); return 0;
    case WM_LBUTTONDOWN: {
        SetFocus(m_hwnd);
        const std::size_t at = offsetAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        select((wParam & MK_SHIFT) ? m_anchor : at, at);
        m_dragging = true;
        SetCapture(m_hwnd);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (m_dragging) select(m_anchor, offsetAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_LBUTTONUP:
        m_dragging = false;
        ReleaseCapture();
        return 0;
    case WM_KEYDOWN: {
        const bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
        const std::size_t line = static_cast<std::size_t>(
            std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), m_caret) - m_lineStarts.begin() - 1);
        const std::size_t column = m_caret - m_lineStarts[line];
        std::size_t to = m_caret;
        const auto onLine = [&](std::int64_t target) {
            target = std::clamp<std::int64_t>(target, 0, static_cast<std::int64_t>(m_lineStarts.size()) - 1);
            const auto t = static_cast<std::size_t>(target);
            return m_lineStarts[t] + std::min(column, lineText(t).size());
        };
        const auto here = static_cast<std::int64_t>(line);
        switch (wParam) {
        case 'A':
            if (control) select(0, m_text.size());
            return 0;
        case 'C':
        case VK_INSERT:
            if (control) copySelection();
            return 0;
        case VK_HOME: to = control ? 0 : m_lineStarts[line]; break;
        case VK_END: to = control ? m_text.size() : m_lineStarts[line] + lineText(line).size(); break;
        case VK_LEFT: to = m_caret > 0 ? m_caret - 1 : 0; break;
        case VK_RIGHT: to = std::min(m_caret + 1, m_text.size()); break;
        case VK_UP: to = onLine(here - 1); break;
        case VK_DOWN: to = onLine(here + 1); break;
        case VK_PRIOR: to = onLine(here - visibleLines()); break;
        case VK_NEXT: to = onLine(here + visibleLines()); break;
        default: return 0;
        }
        select(shift ? m_anchor : to, to);
        const std::int64_t toLine =
            std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), to) - m_lineStarts.begin() - 1;
        if (toLine < m_firstLine) scrollTo(toLine);
        if (toLine >= m_firstLine + visibleLines()) scrollTo(toLine - visibleLines() + 1);
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(m_hwnd, nullptr, FALSE); return 0;
    case WM_UPDATEUISTATE:
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return DefWindowProcA(m_hwnd, message, wParam, lParam);
    default: return DefWindowProcA(m_hwnd, message, wParam, lParam);
    }
}

}  // namespace win32
