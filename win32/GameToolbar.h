#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Controls.h"

namespace win32 {

// The toolbar component: the menu bar "&File", "&Games", "&Help", a tool row
// (a comctl32 toolbar, customisable) with the game box, and the collection
// of tools counted from 1: ID_File, ID_Exit, ID_Game, ID_Help,
// ID_Information, ID_About, ID_SelectGame (the game box), ID_Games.
class GameToolbar : public platform::IToolbar {
public:
    GameToolbar(HWND window, HINSTANCE instance, HFONT font);
    ~GameToolbar() override;

    platform::ITool* tool(int number) override;
    platform::ToolbarLayout layout() const override;
    void setLayout(const platform::ToolbarLayout& layout) override;

    // The window's messages that concern the toolbar; true when handled.
    bool command(WORD id, WORD code, HWND control);
    bool notify(const NMHDR& header, LRESULT* result);
    void menuOpening(HMENU menu);

    HWND row() const { return m_row; }
    HWND gameBox() const { return m_gameBox; }
    int height() const;
    void resize(int width);
    bool consoleColours() const { return m_colours; }
    void setConsoleColours(bool on);

    // The two events, a tool chosen and an item picked in the game box; and
    // a change of what the game box or the colours item show.
    std::function<void(const platform::ITool&)> onToolClick;
    std::function<void(const platform::ITool&)> onComboSelChange;
    std::function<void()> onShownChange;

    enum : WORD { kExit = 101, kSelect, kColours, kInformation, kAbout, kGame, kGameBox = 110 };

private:
    class Tool;
    void choose(int number);
    int boxPlace() const;
    void arrange(const std::vector<std::string>& row);
    void showGame(const std::string& name);

    HWND m_window;
    HMENU m_menuBar = nullptr, m_file = nullptr, m_games = nullptr, m_help = nullptr;
    HWND m_row = nullptr;
    HWND m_gameBox = nullptr;
    bool m_colours = false;
    std::vector<std::unique_ptr<Tool>> m_tools;
};

}  // namespace win32
