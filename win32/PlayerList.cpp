#include "win32/PlayerList.h"

#include <windowsx.h>

#include <algorithm>

#include "win32/Win32Controls.h"

namespace win32 {

namespace {

constexpr COLORREF kGround = RGB(0x20, 0x20, 0x20);
constexpr COLORREF kText = RGB(0xFF, 0xFF, 0xFF);
constexpr int kNameColumn = static_cast<int>(platform::PlayerColumn::Name);
constexpr UINT_PTR kListSubclass = 1;
// Each column's usual width in average characters.
constexpr int kColumnChars[platform::kPlayerColumnCount] = {4, 20, 6, 11, 20};

COLORREF colourRef(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

}  // namespace

void PlayerList::registerClass(HINSTANCE instance) {
    registerControlClass(instance, kClassName, &PlayerList::procedure, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

PlayerList::PlayerList(HWND parent, HINSTANCE instance, HFONT font) {
    m_hwnd = CreateWindowExA(WS_EX_CONTROLPARENT, kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10,
                             parent, nullptr, instance, this);
    const auto child = [&](DWORD exStyle, const char* className, const char* text, DWORD style) {
        return CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, m_hwnd, nullptr,
                               instance, nullptr);
    };
    // In the order Tab takes them: the line, Refresh beside it, the list.
    m_summary = child(0, "STATIC", app::kNoStatusYet, SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS | SS_CENTERIMAGE);
    m_refresh = child(0, "BUTTON", app::kRefreshText, WS_TABSTOP | BS_PUSHBUTTON);
    m_list = child(WS_EX_CLIENTEDGE, WC_LISTVIEWA, app::kPlayersName,
                   WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS);
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    ListView_SetBkColor(m_list, kGround);
    ListView_SetTextBkColor(m_list, kGround);
    ListView_SetTextColor(m_list, kText);
    for (int c = 0; c < platform::kPlayerColumnCount; ++c) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = c == 2 || c == 3 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.pszText = const_cast<char*>(app::kPlayerColumnTitles[static_cast<std::size_t>(c)]);
        column.iSubItem = c;
        SendMessageA(m_list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
    SetWindowSubclass(m_list, &PlayerList::listProcedure, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
    setFont(font);
    fill();
}

PlayerList::~PlayerList() {
    if (IsWindow(m_list)) RemoveWindowSubclass(m_list, &PlayerList::listProcedure, kListSubclass);
    if (IsWindow(m_hwnd)) {
        SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
    if (m_italic) DeleteObject(m_italic);
}

void PlayerList::setFont(HFONT font) {
    m_font = font;
    LOGFONTA italic{};
    GetObjectA(font, sizeof italic, &italic);
    italic.lfItalic = TRUE;
    if (m_italic) DeleteObject(m_italic);
    m_italic = CreateFontIndirectA(&italic);
    for (HWND control : {m_summary, m_refresh, m_list})
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    layout();
}

LRESULT CALLBACK PlayerList::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = windowObject<PlayerList>(hwnd, message, lParam);
    if (!self || !self->m_list) return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_SIZE: self->layout(); return 0;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == self->m_refresh && HIWORD(wParam) == BN_CLICKED &&
            IsWindowEnabled(self->m_refresh) && self->m_events)
            self->m_events->refreshClicked();
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom != self->m_list) break;
        if (header->code == LVN_COLUMNCLICK) {
            self->m_order.headerClicked(
                static_cast<platform::PlayerColumn>(reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem));
            self->m_order.sort(self->m_rows);
            self->fill();
            return 0;
        }
        if (header->code == NM_CUSTOMDRAW) return self->customDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
        break;
    }
    case WM_CONTEXTMENU: {
        if (lParam == -1) {  // from the keyboard
            self->openMenuOfFocusedRow();
            return 0;
        }
        // The right button's press selected the row under it (and nothing
        // below the rows); the point told may be the last message's.
        const int item = ListView_GetNextItem(self->m_list, -1, LVNI_SELECTED);
        if (item >= 0) self->openMenu(item, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    }
    default: break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The menu key opens the menu on its release, as Windows does, and
// Shift+F10 on its press; neither goes on to the list (F10 would also wake
// the window's menu bar).
LRESULT CALLBACK PlayerList::listProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR self) {
    const bool shiftF10 = wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0;
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (shiftF10) reinterpret_cast<PlayerList*>(self)->openMenuOfFocusedRow();
        if (shiftF10 || wParam == VK_APPS) return 0;
        break;
    case WM_KEYUP:
        if (wParam != VK_APPS) break;
        reinterpret_cast<PlayerList*>(self)->openMenuOfFocusedRow();
        return 0;
    default: break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void PlayerList::layout() {
    RECT client{};
    GetClientRect(m_hwnd, &client);
    const TEXTMETRICA metrics = fontMetrics(m_hwnd, m_font);
    const int rowHeight = metrics.tmHeight + 10;
    const int buttonWidth = textWidth(m_hwnd, m_font, app::kRefreshText) + 4 * metrics.tmAveCharWidth;
    const int gap = metrics.tmAveCharWidth;
    MoveWindow(m_summary, 0, 0, std::max<int>(0, client.right - buttonWidth - gap), rowHeight, TRUE);
    MoveWindow(m_refresh, std::max<int>(0, client.right - buttonWidth), 0, buttonWidth, rowHeight, TRUE);
    const int top = rowHeight + gap / 2;
    MoveWindow(m_list, 0, top, client.right, std::max<int>(0, client.bottom - top), TRUE);
    // Each column as wide as its title with the sort arrow, or its usual
    // content; the name takes what the list has left.
    RECT inside{};
    GetClientRect(m_list, &inside);
    int others = GetSystemMetrics(SM_CXVSCROLL);
    int widths[platform::kPlayerColumnCount] = {};
    for (int c = 0; c < platform::kPlayerColumnCount; ++c) {
        const char* title = app::kPlayerColumnTitles[static_cast<std::size_t>(c)];
        widths[c] = std::max<int>(kColumnChars[c] * metrics.tmAveCharWidth,
                                  textWidth(m_hwnd, m_font, title) + 6 * metrics.tmAveCharWidth);
        if (c != kNameColumn) others += widths[c];
    }
    widths[kNameColumn] = std::max<int>(widths[kNameColumn], inside.right - others);
    for (int c = 0; c < platform::kPlayerColumnCount; ++c) ListView_SetColumnWidth(m_list, c, widths[c]);
}

std::string PlayerList::summary() const { return windowText(m_summary); }

void PlayerList::showPlayers(const std::vector<platform::PlayerRow>& rows, const std::string& summary) {
    SetWindowTextA(m_summary, summary.c_str());
    m_rows = rows;
    m_order.sort(m_rows);
    fill();
}

// The rows into the list, the keyboard's row kept on the same slot.
void PlayerList::fill() {
    const int focused = ListView_GetNextItem(m_list, -1, LVNI_FOCUSED);
    char slotText[16] = {};
    if (focused >= 0) ListView_GetItemText(m_list, focused, 0, slotText, sizeof slotText);
    SendMessageA(m_list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(m_list);
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const platform::PlayerRow& row = m_rows[i];
        const std::string cells[] = {std::to_string(row.slot), row.plainName, std::to_string(row.score), row.pingText,
                                     row.address};
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<char*>(cells[0].c_str());
        SendMessageA(m_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        for (int c = 1; c < platform::kPlayerColumnCount; ++c)
            ListView_SetItemText(m_list, item.iItem, c, const_cast<char*>(cells[c].c_str()));
        if (slotText[0] && cells[0] == slotText)
            ListView_SetItemState(m_list, item.iItem, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    }
    HWND header = ListView_GetHeader(m_list);
    for (int c = 0; c < platform::kPlayerColumnCount; ++c) {
        HDITEMA arrow{};
        arrow.mask = HDI_FORMAT;
        Header_GetItem(header, c, &arrow);
        arrow.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (c == static_cast<int>(m_order.column)) arrow.fmt |= m_order.descending ? HDF_SORTDOWN : HDF_SORTUP;
        Header_SetItem(header, c, &arrow);
    }
    SendMessageA(m_list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_list, nullptr, TRUE);
}

// Bots in italics; the name drawn by its runs, in their colours, over the
// ground or the selection.
LRESULT PlayerList::customDraw(NMLVCUSTOMDRAW& draw) {
    const auto item = static_cast<std::size_t>(draw.nmcd.dwItemSpec);
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: break;
    default: return CDRF_DODEFAULT;
    }
    if (item >= m_rows.size()) return CDRF_DODEFAULT;
    const platform::PlayerRow& row = m_rows[item];
    SelectObject(draw.nmcd.hdc, row.bot ? m_italic : m_font);
    if (draw.iSubItem != kNameColumn) return CDRF_NEWFONT;
    RECT cell{};
    ListView_GetSubItemRect(m_list, static_cast<int>(item), kNameColumn, LVIR_LABEL, &cell);
    const bool selected = ListView_GetItemState(m_list, static_cast<int>(item), LVIS_SELECTED) != 0;
    const HBRUSH ground = CreateSolidBrush(selected ? GetSysColor(COLOR_HIGHLIGHT) : kGround);
    FillRect(draw.nmcd.hdc, &cell, ground);
    DeleteObject(ground);
    SetBkMode(draw.nmcd.hdc, TRANSPARENT);
    const int saved = SaveDC(draw.nmcd.hdc);
    IntersectClipRect(draw.nmcd.hdc, cell.left, cell.top, cell.right, cell.bottom);
    const TEXTMETRICA metrics = fontMetrics(m_hwnd, row.bot ? m_italic : m_font);
    int x = cell.left + metrics.tmAveCharWidth / 2;
    const int y = cell.top + (cell.bottom - cell.top - metrics.tmHeight) / 2;
    for (const platform::NameRun& run : row.runs) {
        SetTextColor(draw.nmcd.hdc, colourRef(run.rgb));
        TextOutA(draw.nmcd.hdc, x, y, run.text.data(), static_cast<int>(run.text.size()));
        SIZE size{};
        GetTextExtentPoint32A(draw.nmcd.hdc, run.text.data(), static_cast<int>(run.text.size()), &size);
        x += size.cx;
    }
    RestoreDC(draw.nmcd.hdc, saved);
    return CDRF_SKIPDEFAULT;
}

void PlayerList::openMenuOfFocusedRow() {
    if (m_rows.empty()) return;
    int item = ListView_GetNextItem(m_list, -1, LVNI_FOCUSED);
    if (item < 0) {
        item = 0;
        ListView_SetItemState(m_list, item, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    }
    RECT cell{};
    ListView_GetSubItemRect(m_list, item, kNameColumn, LVIR_LABEL, &cell);
    POINT at{cell.left + (cell.right - cell.left) / 2, cell.top + (cell.bottom - cell.top) / 2};
    ClientToScreen(m_list, &at);
    openMenu(item, at);
}

void PlayerList::openMenu(int item, POINT at) {
    const platform::PlayerRow row = m_rows.at(static_cast<std::size_t>(item));
    HMENU menu = CreatePopupMenu();
    for (const platform::PlayerAction action : app::kMenuOrder)
        if (row.actions & action) AppendMenuA(menu, MF_STRING, action, app::actionText(action));
    const UINT chosen = GetMenuItemCount(menu) > 0
                            ? static_cast<UINT>(TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN,
                                                                 at.x, at.y, m_hwnd, nullptr))
                            : 0;
    DestroyMenu(menu);
    if (!chosen) return;
    const auto action = static_cast<platform::PlayerAction>(chosen);
    if (action == platform::kCopyAddress) setClipboardText(m_hwnd, row.address);
    if (m_events) m_events->actionChosen(row, action);
}

}  // namespace win32
