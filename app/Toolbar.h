#pragma once

#include <string>
#include <vector>

#include "app/GameProfiles.h"
#include "platform/Controls.h"

namespace app {

// The toolbar's collection of tools, counted from 1, with their captions:
// the menus "&File", "&Games" and "&Help" of the menu bar (in that order),
// their items, the "Game" tool of the tool row and the game box.
struct ToolEntry {
    const char* id;
    const char* caption;
};
inline constexpr ToolEntry kTools[] = {
    {"ID_File", "&File"},
    {"ID_Exit", "E&xit"},
    {"ID_Game", "Game"},
    {"ID_Help", "&Help"},
    {"ID_Information", "Information"},
    {"ID_About", "&About"},
    {"ID_SelectGame", "Select"},
    {"ID_Games", "&Games"},
};
// The game box, by its number in the collection.
inline constexpr int kGameBoxTool = 7;
inline constexpr const char* kGameBoxTip = "Select the game type for your server";
inline constexpr const char* kFirstGame = "Return to Castle Wolfenstein";
// A view setting of the Games menu, not a tool: the logic never sees it.
inline constexpr const char* kConsoleColoursItem = "&Colours in the Console";
inline constexpr const char* kConsoleColoursTip =
    "Show the console's text in the game's colours; the codes stay in the text, dimmed";

// The games of the game box: the five of the first list in the order of
// their names, then those added since.
std::vector<const GameProfile*> boxGames();

// The layout before any was kept: the Game tool before the box, the row at the top.
platform::ToolbarLayout firstLayout();

// The layout file "ATBconfig.atb": a first line naming the format, then the
// game (base64 of its UTF-8), the row, its place and the colours, one a line.
// Reading takes the files of every earlier version too, and throws
// std::runtime_error for a file that is no layout.
std::string layoutText(const platform::ToolbarLayout& layout);
platform::ToolbarLayout layoutOfText(const std::string& text);

}  // namespace app
