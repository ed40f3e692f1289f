#include "win32/ConsoleControl.h"

#include "win32/Win32Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

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
    m_lines.assign(text);  // Clear gives the memory back
    m_anchor = m_caret = 0;
    m_firstRow = 0;
    updateScroll();
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void ConsoleControl::appendText(const std::string& text) {
    if (text.empty()) return;
    m_lines.append(text);
    m_followEnd = true;
    refreshLater();
}

std::string ConsoleControl::textPart(std::int64_t offset, std::int64_t count) const {
    return m_lines.part(offset, count);
}

void ConsoleControl::removeHead(std::int64_t count) {
    const std::size_t linesBefore = m_lines.lineCount();
    m_lines.removeHead(count);
    const auto cut = static_cast<std::size_t>(count);
    m_anchor = m_anchor > cut ? m_anchor - cut : 0;
    m_caret = m_caret > cut ? m_caret - cut : 0;
    // The lines in sight stay in sight.
    scrollTo(m_firstRow - static_cast<std::int64_t>(linesBefore - m_lines.lineCount()));
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void ConsoleControl::setHeadLine(const std::string& line) {
    const int rowsBefore = headRows();
    m_headLine = line;
    scrollTo(m_firstRow > 0 ? m_firstRow + headRows() - rowsBefore : 0);
    InvalidateRect(m_hwnd, nullptr, FALSE);
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
    info.nMax = static_cast<int>(std::min<std::int64_t>(rows() - 1, INT32_MAX));
    info.nPage = static_cast<UINT>(visibleLines());
    info.nPos = static_cast<int>(m_firstRow);
    SetScrollInfo(m_hwnd, SB_VERT, &info, TRUE);
}

void ConsoleControl::scrollTo(std::int64_t firstRow) {
    firstRow = std::clamp<std::int64_t>(firstRow, 0, std::max<std::int64_t>(0, rows() - visibleLines()));
    if (firstRow != m_firstRow) {
        m_firstRow = firstRow;
        InvalidateRect(m_hwnd, nullptr, FALSE);
    }
    updateScroll();
}

void ConsoleControl::scrollToEnd() {
    scrollTo(rows());
    InvalidateRect(m_hwnd, nullptr, FALSE);  // the last line grew, wherever the view stands
}

std::size_t ConsoleControl::offsetAt(int x, int y) const {
    const auto line = static_cast<std::size_t>(std::clamp<std::int64_t>(
        m_firstRow + y / m_lineHeight - headRows(), 0, static_cast<std::int64_t>(m_lines.lineCount()) - 1));
    const std::size_t column = static_cast<std::size_t>(std::max(0, (x - 2 + m_charWidth / 2) / m_charWidth));
    return m_lines.lineStart(line) + std::min(column, m_lines.line(line).size());
}

void ConsoleControl::select(std::size_t anchor, std::size_t caret) {
    const auto end = static_cast<std::size_t>(m_lines.size());
    m_anchor = std::min(anchor, end);
    m_caret = std::min(caret, end);
    refreshLater();
}

void ConsoleControl::copySelection() const {
    const std::size_t from = std::min(m_anchor, m_caret), to = std::max(m_anchor, m_caret);
    if (from == to || !OpenClipboard(m_hwnd)) return;
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, to - from + 1)) {
        char* bytes = static_cast<char*>(GlobalLock(memory));
        m_lines.text().copy(bytes, to - from, from);
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
        const int y = i * m_lineHeight;
        if (m_firstRow + i < headRows()) {
            SetTextColor(dc, coloured ? kDimmed : GetSysColor(COLOR_GRAYTEXT));
            TextOutA(dc, 2, y, m_headLine.data(), static_cast<int>(m_headLine.size()));
            continue;
        }
        const auto line = static_cast<std::size_t>(m_firstRow + i - headRows());
        if (line >= m_lines.lineCount()) break;
        const std::string_view text = m_lines.line(line);
        const std::size_t start = m_lines.lineStart(line);
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

// WM_GETTEXT: the view's text, as much as the buffer of that size holds.
LRESULT ConsoleControl::copyText(WPARAM size, char* out) const {
    if (size == 0 || !out) return 0;
    const std::size_t n = std::min<std::size_t>(size - 1, m_lines.text().size());
    m_lines.text().copy(out, n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

void ConsoleControl::scrollBarUsed(WORD request) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(m_hwnd, SB_VERT, &info);
    const std::int64_t page = visibleLines();
    switch (request) {
    case SB_LINEUP: scrollTo(m_firstRow - 1); break;
    case SB_LINEDOWN: scrollTo(m_firstRow + 1); break;
    case SB_PAGEUP: scrollTo(m_firstRow - page); break;
    case SB_PAGEDOWN: scrollTo(m_firstRow + page); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: scrollTo(info.nTrackPos); break;
    case SB_TOP: scrollTo(0); break;
    case SB_BOTTOM: scrollToEnd(); break;
    default: break;
    }
}

// The caret's keys, Shift extending the selection; Ctrl+A, Ctrl+C and Ctrl+Insert.
void ConsoleControl::keyDown(WPARAM key) {
    const bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
    const std::size_t line = m_lines.lineOf(m_caret);
    const std::size_t column = m_caret - m_lines.lineStart(line);
    const auto end = static_cast<std::size_t>(m_lines.size());
    std::size_t to = m_caret;
    const auto onLine = [&](std::int64_t target) {
        const auto t = static_cast<std::size_t>(
            std::clamp<std::int64_t>(target, 0, static_cast<std::int64_t>(m_lines.lineCount()) - 1));
        return m_lines.lineStart(t) + std::min(column, m_lines.line(t).size());
    };
    const auto here = static_cast<std::int64_t>(line);
    switch (key) {
    case 'A':
        if (control) select(0, end);
        return;
    case 'C':
    case VK_INSERT:
        if (control) copySelection();
        return;
    case VK_HOME: to = control ? 0 : m_lines.lineStart(line); break;
    case VK_END: to = control ? end : m_lines.lineStart(line) + m_lines.line(line).size(); break;
    case VK_LEFT: to = m_caret > 0 ? m_caret - 1 : 0; break;
    case VK_RIGHT: to = std::min(m_caret + 1, end); break;
    case VK_UP: to = onLine(here - 1); break;
    case VK_DOWN: to = onLine(here + 1); break;
    case VK_PRIOR: to = onLine(here - visibleLines()); break;
    case VK_NEXT: to = onLine(here + visibleLines()); break;
    default: return;
    }
    select(shift ? m_anchor : to, to);
    const auto toRow = static_cast<std::int64_t>(m_lines.lineOf(to)) + headRows();
    if (toRow < m_firstRow) scrollTo(toRow == headRows() ? 0 : toRow);
    if (toRow >= m_firstRow + visibleLines()) scrollTo(toRow - visibleLines() + 1);
}

LRESULT ConsoleControl::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: paint(); return 0;
    case kRefresh: refresh(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: scrollTo(m_firstRow); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(m_lines.size());
    case WM_GETTEXT: return copyText(wParam, reinterpret_cast<char*>(lParam));
    case WM_SETTEXT: setText(lParam ? reinterpret_cast<const char*>(lParam) : ""); return TRUE;
    case WM_SETFONT: setFont(reinterpret_cast<HFONT>(wParam)); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m_font);
    case WM_VSCROLL: scrollBarUsed(LOWORD(wParam)); return 0;
    case WM_MOUSEWHEEL: scrollTo(m_firstRow - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3); return 0;
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
    case WM_KEYDOWN: keyDown(wParam); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(m_hwnd, nullptr, FALSE); return 0;
    case WM_UPDATEUISTATE:
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return DefWindowProcA(m_hwnd, message, wParam, lParam);
    default: return DefWindowProcA(m_hwnd, message, wParam, lParam);
    }
}

}  // namespace win32
