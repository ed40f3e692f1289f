#include "win32/GameToolbar.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string_view>

#include "app/GameProfiles.h"
#include "support/Text.h"
#include "win32/Controls.h"

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

constexpr const char* kLayoutMagic = "Vexmond toolbar layout 1";
constexpr const char* kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string toBase64(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 3; ++k) v = (v << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k) out += k <= n ? kBase64[(v >> (18 - 6 * k)) & 63] : '=';
    }
    return out;
}

std::string fromBase64(std::string_view text) {
    std::string out;
    std::uint32_t v = 0;
    int bits = 0;
    for (char c : text) {
        const char* at = c ? std::strchr(kBase64, c) : nullptr;
        if (!at) continue;  // padding, line ends
        v = (v << 6) | static_cast<std::uint32_t>(at - kBase64);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((v >> bits) & 0xFF);
        }
    }
    return out;
}

// The file keeps the game's name in UTF-8, as the Linux window writes it.
std::string convert(const std::string& text, UINT from, UINT to) {
    if (text.empty()) return {};
    const int wide = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), w.data(), wide);
    const int n = WideCharToMultiByte(to, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(to, 0, w.data(), wide, out.data(), n, nullptr, nullptr);
    return out;
}

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
    AppendMenuA(m_file, MF_STRING, kExit, "E&xit");
    AppendMenuA(m_games, MF_STRING, kSelect, "Select");
    AppendMenuA(m_games, MF_SEPARATOR, 0, nullptr);
    // A view setting, not a tool of the collection: the logic never sees it.
    AppendMenuA(m_games, MF_STRING, kColours, "&Colours in the Console");
    AppendMenuA(m_help, MF_STRING, kInformation, "Information");
    AppendMenuA(m_help, MF_STRING, kAbout, "&About");
    AppendMenuA(m_menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(m_file), "&File");
    AppendMenuA(m_menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(m_games), "&Games");
    AppendMenuA(m_menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(m_help), "&Help");
    SetMenu(window, m_menuBar);

    m_row = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                            WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_ADJUSTABLE |
                                CCS_NODIVIDER | CCS_NORESIZE,
                            0, 0, 100, 30, window, nullptr, instance, nullptr);
    SendMessageA(m_row, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(m_row, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
    SendMessageA(m_row, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    const INT_PTR label = SendMessageA(m_row, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>("Game\0"));
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
    // The games of the box, in the order of their names.
    std::vector<const app::GameProfile*> boxGames;
    for (const auto& g : app::gameProfiles())
        if (g.boxCode) boxGames.push_back(&g);
    std::sort(boxGames.begin(), boxGames.end(),
              [](const auto* a, const auto* b) { return std::string_view(a->gameName) < b->gameName; });
    for (const auto* g : boxGames) SendMessageA(m_gameBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(g->gameName));
    showGame("Return to Castle Wolfenstein");
    // The row's notifications (the box's changes among them) reach its
    // parent; the toolbar hands them on to the window.
    SetWindowSubclass(
        m_row,
        [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) -> LRESULT {
            if (message == WM_COMMAND) return SendMessageA(GetParent(hwnd), message, wParam, lParam);
            return DefSubclassProc(hwnd, message, wParam, lParam);
        },
        1, 0);

    m_tools.push_back(std::make_unique<Tool>("ID_File", "&File"));
    m_tools.push_back(std::make_unique<Tool>("ID_Exit", "E&xit"));
    m_tools.push_back(std::make_unique<Tool>("ID_Game", "Game"));
    m_tools.push_back(std::make_unique<Tool>("ID_Help", "&Help"));
    m_tools.push_back(std::make_unique<Tool>("ID_Information", "Information"));
    m_tools.push_back(std::make_unique<Tool>("ID_About", "&About"));
    m_tools.push_back(std::make_unique<Tool>("ID_SelectGame", "Select", m_gameBox));
    m_tools.push_back(std::make_unique<Tool>("ID_Games", "&Games"));
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

// The row's arrangement as the customize dialog left it: whether the Game
// tool is there, and on which side of the game box.
void GameToolbar::arrange(const std::string& state) {
    std::vector<std::string> pieces = support::splitText(state, ",");
    if (pieces.back().empty()) pieces.pop_back();  // each id is written with a comma after it
    std::vector<int> ids;
    for (const std::string& piece : pieces) ids.push_back(std::atoi(piece.c_str()));
    const auto game = std::find(ids.begin(), ids.end(), kGame);
    const auto box = std::find(ids.begin(), ids.end(), 0);
    const auto index = SendMessageA(m_row, TB_COMMANDTOINDEX, kGame, 0);
    if (game == ids.end() && index >= 0) SendMessageA(m_row, TB_DELETEBUTTON, static_cast<WPARAM>(index), 0);
    if (game != ids.end() && box != ids.end() && index >= 0)
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
            if (onComboSelChange) onComboSelChange(*tool(7));
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
        choose(7);
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

// The layout file: a first line naming the format, the game box's text, the
// row's arrangement (the buttons' commands in order), and the colours item.
void GameToolbar::saveLayout(const std::string& path) {
    std::string state;
    const auto count = SendMessageA(m_row, TB_BUTTONCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        TBBUTTON b{};
        SendMessageA(m_row, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        state += std::to_string(b.idCommand) + ",";
    }
    const std::string text = std::string(kLayoutMagic) + "\n" +
                             "game=" + toBase64(convert(windowText(m_gameBox), CP_ACP, CP_UTF8)) + "\n" +
                             "state=" + toBase64(state) + "\n" + "colours=" + (m_colours ? "1" : "0") + "\n";
    // Written beside the file and moved over it: a failure leaves the old layout.
    const std::string temporary = path + ".new";
    HANDLE file =
        CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write the toolbar layout");
    DWORD written = 0;
    const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (!ok || !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary.c_str());
        throw std::runtime_error("cannot write the toolbar layout");
    }
}

void GameToolbar::loadLayout(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot read the toolbar layout");
    std::string text(1 << 20, '\0');
    DWORD got = 0;
    const bool ok = ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
    CloseHandle(file);
    if (!ok) throw std::runtime_error("cannot read the toolbar layout");
    text.resize(got);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    if (lines.empty() || lines[0] != kLayoutMagic) throw std::runtime_error("not a toolbar layout");
    for (const std::string& line : lines) {
        if (line.rfind("game=", 0) == 0) showGame(convert(fromBase64(line.substr(5)), CP_UTF8, CP_ACP));
        if (line.rfind("colours=", 0) == 0) setConsoleColours(line.substr(8) == "1");
        if (line.rfind("state=", 0) == 0) arrange(fromBase64(line.substr(6)));
    }
}

}  // namespace win32
