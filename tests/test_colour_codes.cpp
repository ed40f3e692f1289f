// Colour codes as each game's engine reads them: one table per rule.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/ColourCodes.h"

using app::ColourCodes;
using app::ColourRun;
using C = app::GameColour;

namespace {

// A line written as runs: "[code]" for a code, "text:colour" for text; a
// colour beyond id Tech 3's eight by its RGB.
std::string describe(std::string_view line, ColourCodes rule) {
    static const char* names[] = {"black", "red", "green", "yellow", "blue", "cyan", "magenta", "white"};
    std::string out;
    for (const ColourRun& r : app::colourRuns(line, rule)) {
        const std::string piece(line.substr(r.start, r.length));
        char rgb[8];
        std::snprintf(rgb, sizeof rgb, "%06X", static_cast<unsigned>(app::gameColourRgb(r.colour)));
        const auto index = static_cast<std::size_t>(r.colour);
        out += r.code ? "[" + piece + "]" : piece + ":" + (index < 8 ? names[index] : rgb) + " ";
    }
    return out;
}

}  // namespace

TEST(ColourCodes, EachGameReadsACaretByItsEnginesRule) {
    const struct {
        ColourCodes rule;
        const char* line;
        const char* runs;
    } cases[] = {
        {ColourCodes::AnyCharacter, "^1Be nice ^7and have fun", "[^1]Be nice :red [^7]and have fun:white "},
        {ColourCodes::AnyCharacter, "plain", "plain:white "},
        {ColourCodes::AnyCharacter, "^^1x", "^:white [^1]x:red "},                  // "^^" is a caret, then a code
        {ColourCodes::AnyCharacter, "a^", "a^:white "},                             // a caret at the end is text
        {ColourCodes::AnyCharacter, "^9nine ^afar", "[^9]nine :red [^a]far:red "},  // (c - '0') & 7
        {ColourCodes::AnyCharacter, "^0^4", "[^0][^4]"},
        {ColourCodes::AnyCharacter, "x^ y", "x:white [^ ]y:black "},  // (' ' - '0') & 7 is 0
        {ColourCodes::DigitsZeroToSeven, "^1red ^8eight ^ax", "[^1]red ^8eight ^ax:red "},
        {ColourCodes::DigitsZeroToSeven, "^^7w", "^:white [^7]w:white "},
        {ColourCodes::None, "^1as typed", "^1as typed:white "},
        {ColourCodes::DigitsZeroToEight, "^8or ^9x^aa", "[^8]or ^9x^aa:FF6E00 "},
        {ColourCodes::AnyCharacterTen, "^8o^9l^:k^ w", "[^8]o:E04F21 [^9]l:4A4D30 [^:]k:black [^ ]w:white "},
        {ColourCodes::AnyCharacterThirtyTwo, "^8o^Al^ m^qr", "[^8]o:FF8000 [^A]l:FF991A [^ ]m:804000 [^q]r:red "},
    };
    for (const auto& c : cases) EXPECT_EQ(describe(c.line, c.rule), c.runs) << c.line;
}

TEST(ColourCodes, ATypedGameNameTakesIdTech3sRuleAndTextLosesOnlyItsCodes) {
    EXPECT_EQ(app::colourCodesOf("A typed name"), ColourCodes::AnyCharacter);  // id Tech 3's rule
    // The second caret of "^^" still opens a code: the game shows "^ice".
    EXPECT_EQ(app::withoutColourCodes("^1Be ^^nice^", ColourCodes::AnyCharacter), "Be ^ice^");
    EXPECT_EQ(app::withoutColourCodes("^1Be ^9nice", ColourCodes::DigitsZeroToSeven), "Be ^9nice");
}
