#include "app/ColourCodes.h"

#include <iterator>

#include "app/GameProfiles.h"

namespace app {

std::uint32_t gameColourRgb(GameColour colour) {
    // g_color_table of the engines' q_math.c, as 8-bit values: id Tech 3's
    // eight; Enemy Territory's 8 to 31 (id Software's GPL release,
    // src/game/q_math.c); OpenArena's '8' (OpenArena/gamecode,
    // code/qcommon/q_math.c); Urban Terror's '8' and '9'
    // (FrozenSand/ioq3-for-UrbanTerror-4, code/qcommon/q_math.c).
    static constexpr std::uint32_t table[] = {
        0x000000, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0x00FFFF, 0xFF00FF, 0xFFFFFF,  // 0 to 7
        0xFF8000, 0x808080, 0xBFBFBF, 0xBFBFBF, 0x008000, 0x808000, 0x000080, 0x800000,  // 8 to ?
        0x804000, 0xFF991A, 0x008080, 0x800080, 0x0080FF, 0x8000FF, 0x3399CC, 0xCCFFCC,  // @ to G
        0x006633, 0xFF0033, 0xB31A1A, 0x993300, 0xCC9933, 0x999933, 0xFFFFBF, 0xFFFF80,  // H to O
        0xFF6E00, 0xE04F21, 0x4A4D30,
    };
    const auto index = static_cast<std::size_t>(colour);
    return index < std::size(table) ? table[index] : table[static_cast<std::size_t>(GameColour::White)];
}

ColourCodes colourCodesOf(const std::string& gameName) {
    const GameProfile* profile = findGameProfile(gameName);
    return profile ? profile->colourCodes : ColourCodes::AnyCharacter;
}

namespace {

// Whether the two characters at `at` are a colour code under the rule.
bool isCode(std::string_view line, std::size_t at, ColourCodes rule) {
    if (line[at] != '^' || at + 1 >= line.size()) return false;
    const char next = line[at + 1];
    switch (rule) {
    case ColourCodes::None: return false;
    case ColourCodes::AnyCharacter:
    case ColourCodes::AnyCharacterTen:
    case ColourCodes::AnyCharacterThirtyTwo: return next != '^' && next != '\0';
    case ColourCodes::DigitsZeroToSeven: return next >= '0' && next <= '7';
    case ColourCodes::DigitsZeroToEight: return next >= '0' && next <= '8';
    }
    return false;
}

// ColorIndex of the engine, on its signed char: the low bits come out the
// same for a byte above 127 either way, the remainder of Urban Terror's % 10
// does not.
GameColour colourOf(char code, ColourCodes rule) {
    const int index = static_cast<signed char>(code) - '0';
    switch (rule) {
    case ColourCodes::AnyCharacterThirtyTwo: return static_cast<GameColour>(index & 31);
    case ColourCodes::DigitsZeroToEight:
        return index == 8 ? GameColour::OpenArenaOrange : static_cast<GameColour>(index);
    case ColourCodes::AnyCharacterTen:
        // Below '0' the index is negative: the engine reads before its table,
        // which no player can rely on; the text is shown white.
        if (index < 0) return GameColour::White;
        if (index % 10 == 8) return GameColour::UrbanTerrorOrange;
        if (index % 10 == 9) return GameColour::UrbanTerrorOlive;
        return static_cast<GameColour>(index % 10);
    default: return static_cast<GameColour>(index & 7);
    }
}

}  // namespace

std::vector<ColourRun> colourRuns(std::string_view line, ColourCodes rule) {
    std::vector<ColourRun> runs;
    GameColour colour = GameColour::White;
    std::size_t textStart = 0;
    auto endText = [&](std::size_t at) {
        if (at > textStart) runs.push_back({textStart, at - textStart, false, colour});
    };
    for (std::size_t i = 0; i < line.size();) {
        if (!isCode(line, i, rule)) {
            ++i;
            continue;
        }
        endText(i);
        colour = colourOf(line[i + 1], rule);
        runs.push_back({i, 2, true, colour});
        i += 2;
        textStart = i;
    }
    endText(line.size());
    return runs;
}

std::string withoutColourCodes(std::string_view line, ColourCodes rule) {
    std::string text;
    for (const ColourRun& run : colourRuns(line, rule))
        if (!run.code) text.append(line.substr(run.start, run.length));
    return text;
}

}  // namespace app
