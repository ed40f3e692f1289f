#include "win32/GameToolbar.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "app/Toolbar.h"
#include "support/Text.h"
#include "win32/Win32Controls.h"

namespace win32 {

class GameToolbar::Tool : public platform::ITool {
public:
    Tool(std::string id, std::string caption, HWND combo = nullptr)
        : m_id(std::move(id)), m_caption(std::move(caption)), m_combo(combo) {}
    std::string id() const override { return m_id; }
    std::string text() const override { return m_combo ? windowText(m_combo) : m_caption; }

private:
    std::string m_id, m_caption;
    HWND m_combo;
};

namespace {

std::string itemText(HWND combo, LRESULT index) {
    const auto n = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n < 0) return {};
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    text.resize(static_cast<std::size_t>(std::max<LRESULT>(
        0, SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data())))));
    return text;
}

}  // namespace

GameToolbar::GameToolbar(HWND window, HINSTANCE instance, HFONT font) : m_window(window) {
    m_menuBar = CreateMenu();
    m_file = CreatePopupMenu();
    m_games = CreatePopupMenu();
    m_help = CreatePopupMenu();
    const auto caption = [](int number) { return app::kTools[number - 1].caption; };
    AppendMenuA(m_file, MF_STRING, kExit, caption(2));
    AppendMenuA(m_games, MF_STRING, kSelect, caption(app::kGameBoxTool));
    AppendMenuA(m_games, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(m_games, MF_STRING, kColours, app::kConsoleColoursItem);
    AppendMenuA(m_help, MF_STRING, kInformation, caption(5));
    AppendMenuA(m_help, MF_STRING, kAbout, caption(6));
    AppendMenuA(m_menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(m_file), caption(1));
    AppendMenuA(m_menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(m_games), caption(8));
    AppendMenuA(m_menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(m_help), caption(4));
    SetMenu(window, m_menuBar);

    m_row = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                            WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_ADJUSTABLE |
                                CCS_NODIVIDER | CCS_NORESIZE,
                            0, 0, 100, 30, window, nullptr, instance, nullptr);
    SendMessageA(m_row, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(m_row, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
    SendMessageA(m_row, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    const std::string gameTool = std::string(app::kTools[2].caption) + '\0';
    const INT_PTR label = SendMessageA(m_row, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(gameTool.c_str()));
    TBBUTTON buttons[2] = {};
    buttons[0].iBitmap = I_IMAGENONE;
    buttons[0].idCommand = kGame;
    buttons[0].fsState = TBSTATE_ENABLED;
    buttons[0].fsStyle = BTNS_BUTTON | BTNS_SHOWTEXT | BTNS_AUTOSIZE;
    buttons[0].iString = label;
    buttons[1].iBitmap = 230;  // the room the game box takes
    buttons[1].fsStyle = BTNS_SEP;
    SendMessageA(m_row, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(buttons));

    m_gameBox = CreateWindowExA(
        0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, 0, 220,
        300, m_row, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGameBox)), instance, nullptr);
    SendMessageA(m_gameBox, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    for (const auto* g : app::boxGames())
        SendMessageA(m_gameBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(g->gameName));
    showGame(app::kFirstGame);
    // The row's notifications (the box's changes among them) reach its
    // parent; the toolbar hands them on to the window.
    SetWindowSubclass(
        m_row,
        [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) -> LRESULT {
            if (message == WM_COMMAND) return SendMessageA(GetParent(hwnd), message, wParam, lParam);
            return DefSubclassProc(hwnd, message, wParam, lParam);
        },
        1, 0);

    for (const app::ToolEntry& t : app::kTools)
        m_tools.push_back(
            std::make_unique<Tool>(t.id, t.caption, m_tools.size() + 1 == app::kGameBoxTool ? m_gameBox : nullptr));
    resize(400);
}

GameToolbar::~GameToolbar() {
    if (IsWindow(m_window) && GetMenu(m_window) == m_menuBar) SetMenu(m_window, nullptr);
    DestroyMenu(m_menuBar);
}

platform::ITool* GameToolbar::tool(int number) {
    if (number < 1 || number > static_cast<int>(m_tools.size())) return nullptr;
    return m_tools[static_cast<std::size_t>(number - 1)].get();
}

void GameToolbar::choose(int number) {
    if (onToolClick) onToolClick(*tool(number));
}

int GameToolbar::height() const {
    RECT box{};
    GetWindowRect(m_gameBox, &box);
    const DWORD size = static_cast<DWORD>(SendMessageA(m_row, TB_GETBUTTONSIZE, 0, 0));
    return std::max<int>(HIWORD(size), box.bottom - box.top) + 4;
}

int GameToolbar::boxPlace() const {
    const auto count = SendMessageA(m_row, TB_BUTTONCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        TBBUTTON b{};
        SendMessageA(m_row, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        if (b.fsStyle & BTNS_SEP) return static_cast<int>(i);
    }
    return -1;
}

// The game box as wide as its longest name in its font (which grows with the
// dots per inch), and its place in the row with it.
void GameToolbar::resize(int width) {
    const auto font = reinterpret_cast<HFONT>(SendMessageA(m_gameBox, WM_GETFONT, 0, 0));
    int longest = 0;
    for (LRESULT i = 0; i < SendMessageA(m_gameBox, CB_GETCOUNT, 0, 0); ++i)
        longest = std::max(longest, textWidth(m_gameBox, font, itemText(m_gameBox, i)));
    TBBUTTONINFOA room{};
    room.cbSize = sizeof room;
    room.dwMask = TBIF_BYINDEX | TBIF_SIZE;
    room.cx = static_cast<WORD>(longest + GetSystemMetrics(SM_CXVSCROLL) + 24);
    SendMessageA(m_row, TB_SETBUTTONINFOA, static_cast<WPARAM>(boxPlace()), reinterpret_cast<LPARAM>(&room));
    MoveWindow(m_row, 0, 0, width, height(), TRUE);
    RECT place{};
    SendMessageA(m_row, TB_GETITEMRECT, static_cast<WPARAM>(boxPlace()), reinterpret_cast<LPARAM>(&place));
    SetWindowPos(m_gameBox, nullptr, place.left + 2, 2, place.right - place.left - 4, 300, SWP_NOZORDER);
}

// The row's arrangement: whether the Game tool is there (the customize
// dialog may take it away), and on which side of the game box.
void GameToolbar::arrange(const std::vector<std::string>& row) {
    const auto game = std::find(row.begin(), row.end(), "ID_Game");
    const auto box = std::find(row.begin(), row.end(), "ID_SelectGame");
    const auto index = SendMessageA(m_row, TB_COMMANDTOINDEX, kGame, 0);
    if (game == row.end() && index >= 0) SendMessageA(m_row, TB_DELETEBUTTON, static_cast<WPARAM>(index), 0);
    if (game != row.end() && box != row.end() && index >= 0)
        SendMessageA(m_row, TB_MOVEBUTTON, static_cast<WPARAM>(index), game < box ? 0 : 1);
    RECT r{};
    GetClientRect(m_window, &r);
    resize(r.right);
}

void GameToolbar::showGame(const std::string& name) {
    const auto index =
        SendMessageA(m_gameBox, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name.c_str()));
    // A name not in the list (a hand-edited layout) shows with nothing picked.
    const bool exact = index != CB_ERR && itemText(m_gameBox, index) == name;
    SendMessageA(m_gameBox, CB_SETCURSEL, exact ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
    if (!exact) SetWindowTextA(m_gameBox, name.c_str());
    if (onShownChange) onShownChange();
}

void GameToolbar::setConsoleColours(bool on) {
    m_colours = on;
    CheckMenuItem(m_games, kColours, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    if (onShownChange) onShownChange();
}

bool GameToolbar::command(WORD id, WORD code, HWND control) {
    if (control == m_gameBox) {
        if (code == CBN_SELCHANGE) {
            // The edit line takes the picked text only after this notification.
            const auto index = SendMessageA(m_gameBox, CB_GETCURSEL, 0, 0);
            if (index != CB_ERR) SetWindowTextA(m_gameBox, itemText(m_gameBox, index).c_str());
            if (onShownChange) onShownChange();
            if (onComboSelChange) onComboSelChange(*tool(app::kGameBoxTool));
        } else if (code == CBN_EDITCHANGE && onShownChange) {
            onShownChange();
        }
        return true;
    }
    switch (id) {
    case kExit: choose(2); return true;
    case kInformation: choose(5); return true;
    case kAbout: choose(6); return true;
    case kColours: setConsoleColours(!m_colours); return true;
    case kSelect:
        SetFocus(m_gameBox);
        SendMessageA(m_gameBox, CB_SHOWDROPDOWN, TRUE, 0);
        choose(app::kGameBoxTool);
        return true;
    case kGame:
        SetFocus(m_gameBox);
        SendMessageA(m_gameBox, CB_SHOWDROPDOWN, TRUE, 0);
        choose(3);
        return true;
    default: return false;
    }
}

void GameToolbar::menuOpening(HMENU menu) {
    if (menu == m_file) choose(1);
    if (menu == m_help) choose(4);
    if (menu == m_games) choose(8);
}

// The customize dialog (a double click on the row) offers the row's own
// buttons: the game tool and the game box's place.
bool GameToolbar::notify(const NMHDR& header, LRESULT* result) {
    if (header.hwndFrom != m_row) return false;
    switch (header.code) {
    case TBN_QUERYINSERT: *result = TRUE; return true;
    case TBN_QUERYDELETE:  // the game box's place stays
        *result = reinterpret_cast<const NMTOOLBARA&>(header).tbButton.fsStyle & BTNS_SEP ? FALSE : TRUE;
        return true;
    case TBN_GETBUTTONINFOA: {
        auto& info = *reinterpret_cast<NMTOOLBARA*>(const_cast<NMHDR*>(&header));
        if (info.iItem != 0) {
            *result = FALSE;
            return true;
        }
        info.tbButton.iBitmap = I_IMAGENONE;
        info.tbButton.idCommand = kGame;
        info.tbButton.fsState = TBSTATE_ENABLED;
        info.tbButton.fsStyle = BTNS_BUTTON | BTNS_SHOWTEXT | BTNS_AUTOSIZE;
        info.tbButton.iString = 0;
        if (info.pszText && info.cchText > 4) lstrcpynA(info.pszText, "Game", info.cchText);
        *result = TRUE;
        return true;
    }
    case TBN_ENDADJUST:
    case TBN_TOOLBARCHANGE: {
        RECT r{};
        GetClientRect(m_window, &r);
        resize(r.right);
        *result = 0;
        return true;
    }
    default: return false;
    }
}

platform::ToolbarLayout GameToolbar::layout() const {
    platform::ToolbarLayout layout;
    layout.game = windowText(m_gameBox);
    const auto count = SendMessageA(m_row, TB_BUTTONCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        TBBUTTON b{};
        SendMessageA(m_row, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        layout.row.push_back(b.fsStyle & BTNS_SEP ? "ID_SelectGame" : "ID_Game");
    }
    layout.place = "top";  // the row stands at the top of the window
    layout.consoleColours = m_colours;
    return layout;
}

void GameToolbar::setLayout(const platform::ToolbarLayout& layout) {
    showGame(layout.game);
    setConsoleColours(layout.consoleColours);
    if (layout.earlierState.empty()) {
        arrange(layout.row);
        return;
    }
    // The first layout files kept the row's command ids (the Game tool's, and
    // 0 for the game box's place); another toolbar's state is none of them.
    if (layout.earlierState.find_first_not_of("0123456789,") != std::string::npos) return;
    std::vector<std::string> row;
    for (const std::string& id : support::splitText(layout.earlierState, ","))
        if (!id.empty()) row.push_back(std::atoi(id.c_str()) == kGame ? "ID_Game" : "ID_SelectGame");
    arrange(row);
}

}  // namespace win32
