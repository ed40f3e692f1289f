#include "app/ColourCodes.h"

#include "app/GameProfiles.h"

namespace app {

std::uint32_t gameColourRgb(GameColour colour) {
    // g_color_table of the engines' q_shared.c, as 8-bit values.
    static constexpr std::uint32_t table[] = {0x000000, 0xFF0000, 0x00FF00, 0xFFFF00,
                                              0x0000FF, 0x00FFFF, 0xFF00FF, 0xFFFFFF};
    return table[static_cast<int>(colour) & 7];
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
    case ColourCodes::AnyCharacter: return next != '^' && next != '\0';
    case ColourCodes::DigitsZeroToSeven: return next >= '0' && next <= '7';
    }
    return false;
}

GameColour colourOf(char code) {
    return static_cast<GameColour>((static_cast<unsigned char>(code) - static_cast<unsigned char>('0')) & 7u);
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
        colour = colourOf(line[i + 1]);
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
