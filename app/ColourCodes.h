#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// How a game reads a caret in chat text, and which colour a code starts.
enum class ColourCodes : std::uint8_t {
    None,                   // a caret is a caret (Quake II, Soldier of Fortune)
    AnyCharacter,           // '^' and any character but '^' or NUL; colour (c - '0') & 7 (id Tech 3)
    DigitsZeroToSeven,      // '^' and '0' to '7' only (Jedi Knight II 1.04, Jedi Academy)
    DigitsZeroToEight,      // '^' and '0' to '8' only; '8' is OpenArena's orange
    AnyCharacterTen,        // as id Tech 3, in Urban Terror's ten colours: (c - '0') % 10
    AnyCharacterThirtyTwo,  // as id Tech 3, in Enemy Territory's 32 colours: (c - '0') & 31
};

// A colour of the games' tables. The first eight are id Tech 3's, by index;
// 8 to 31 are the further entries of Enemy Territory's table, by its index;
// the last are the colours only OpenArena and Urban Terror have.
enum class GameColour : std::uint8_t {
    Black,
    Red,
    Green,
    Yellow,
    Blue,
    Cyan,
    Magenta,
    White,
    OpenArenaOrange = 32,
    UrbanTerrorOrange,
    UrbanTerrorOlive,
};

// A stretch of a line as the game draws it: a colour code (hidden in the
// game), or text in one colour. Offsets are bytes of the line.
struct ColourRun {
    std::size_t start = 0;
    std::size_t length = 0;
    bool code = false;
    GameColour colour = GameColour::White;  // for a code, the colour it starts

    bool operator==(const ColourRun&) const = default;
};

// The colour the game draws, as 0xRRGGBB.
std::uint32_t gameColourRgb(GameColour colour);

// The rule of the game of that name; the id Tech 3 rule for a name no
// profile knows, as most servers are of that family.
ColourCodes colourCodesOf(const std::string& gameName);

// The runs of one line, starting in white as chat and the console do. Line
// ends are not special: the caller cuts the text into lines.
std::vector<ColourRun> colourRuns(std::string_view line, ColourCodes rule);

// The line as the players read it: without its colour codes.
std::string withoutColourCodes(std::string_view line, ColourCodes rule);

}  // namespace app
