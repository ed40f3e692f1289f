// What the players see of a line, and which lines the server echoed.
#include <gtest/gtest.h>

#include "app/GameProfiles.h"
#include "app/Hearing.h"
#include "app/PlayersView.h"

namespace {

struct Shown {
    std::string text;
    std::uint8_t marks;
    bool operator==(const Shown&) const = default;
};

std::vector<Shown> shown(const app::PreviewLine& line) {
    std::vector<Shown> out;
    for (const auto& run : line.runs) out.push_back({run.text, run.marks});
    return out;
}

}  // namespace

TEST(PlayersView, TheLineAsTheServerPassesItOnAndThePartThePlayersRead) {
    using namespace app;
    const std::string long150(150, 'x');
    const struct {
        const char* game;
        std::string bytes;
        std::vector<bool> notInCharset;
        std::vector<Shown> runs;
        std::size_t length, seen;
    } cases[] = {
        // The Quake 3 engine passes % and bytes above 127 on as dots; a code's colour is kept.
        // clang-format off
        {"Quake 3 Arena", "^1Sale 50% off \xE9t\xE9", {},
         {{"Sale 50", 0}, {".", kPassedAsDot}, {" off ", 0}, {".", kPassedAsDot}, {"t", 0}, {".", kPassedAsDot}}, 18, 18},
        // clang-format on
        {"Return to Castle Wolfenstein", "100%", {}, {{"100", 0}, {".", kPassedAsDot}}, 4, 0},
        // Quake II's engine passes the line as it stands.
        {"Quake II", "100% \xE9", {}, {{"100% \xE9", 0}}, 6, 0},
        // A character the 8-bit set lacks goes out as '?', which the server keeps.
        {"Jedi Knight II", "a?b", {false, true, false}, {{"a", 0}, {"?", kNotInCharset}, {"b", 0}}, 3, 3},
        // The chat form: the players read 140 bytes, colour codes counted.
        {"Elite Force", "^1" + long150, {}, {{std::string(138, 'x'), 0}, {std::string(12, 'x'), kNotSeen}}, 152, 140},
        {"Soldier of Fortune II", long150, {}, {{long150, 0}}, 150, 0},  // the plain form claims nothing
    };
    for (const auto& c : cases) {
        const std::vector<PreviewLine> preview = previewOf({{c.bytes, c.notInCharset}, {"", {}}}, c.game, {});
        ASSERT_EQ(preview.size(), 2u);
        EXPECT_EQ(shown(preview[0]), c.runs) << c.game;
        EXPECT_EQ(preview[0].length, c.length) << c.game;
        EXPECT_EQ(preview[0].seen, c.seen) << c.game;
        EXPECT_TRUE(preview[1].skipped && !preview[0].skipped);
    }
    EXPECT_EQ(passedOn("50% \xE9t\xE9", "Quake 3 Arena"), "50. .t.");  // as the server echoes it
    // The server's words, filled in with the values known now; {map} and
    // {players} marked until a status has come, and counted as filled in.
    const PlaceholderValues before{std::nullopt, std::nullopt, "09:05"}, after{"oa_dm1", 3, "09:05"};
    EXPECT_EQ(shown(previewOf({{"{map} at {time}{x}", {}}}, "Quake 3 Arena", before)[0]),
              (std::vector<Shown>{{"{map}", kNoValueYet}, {" at 09:05{x}", 0}}));
    EXPECT_EQ(previewOf({{"{players} on {map}{map", {}}}, "Quake 3 Arena", after)[0].length, 15u);
}

TEST(Hearing, TheEchoesOfTheLinesSentMarkThemHeardAndARefusalIsTold) {
    using app::Hearing;
    // As a real ioquake3 server echoes each line sent as say "LINE".
    const std::pair<const char*, const char*> echoes[] = {
        {"a \"b\" c", "a  b  c"},
        {"two  spaces\tand tab", "two  spaces\tand tab"},
        {"a // comment", "a // comment"},
        {"quote\" at end", "quote at end "},
        {"  lead and trail  ", "  lead and trail  "},
        {"^1red^7 white", "^1red^7 white"},
    };
    for (const auto& [line, echo] : echoes) EXPECT_EQ(Hearing::echoOf(line), echo) << line;

    Hearing h;
    h.hear("console: early\r\n");  // before any broadcast: nothing
    h.begin({2026, 12, 8, 14, 2, 5});
    for (std::size_t n : {1, 3, 4}) h.expect(n, "line " + std::to_string(n));
    h.expect(5, "line 1");
    h.hear("console: line 4\r\n");
    h.hear("console: line 1\r\nconsole: line 1\r\n");
    h.hear("say: line 3 and more\r\nnot an echo: line 3\r\n");
    Hearing::Verdict v = h.close();
    EXPECT_EQ(app::heardText(v), "3 of 4 lines heard at 14:02; line 3 not heard");
    v.notHeard.push_back(5);
    EXPECT_EQ(app::heardText(v), "3 of 4 lines heard at 14:02; lines 3, 5 not heard");
    EXPECT_FALSE(h.waiting());

    for (const auto& [reply, refusal] : std::initializer_list<std::pair<const char*, const char*>>{
             {"Bad rconpassword.\r\n", "Bad rconpassword."},
             {"No rconpassword set on the server.\r\n", "No rconpassword set on the server."},
             {"console: Bad rconpassword.\r\n", ""},
         })
        EXPECT_EQ(Hearing::refusalIn(reply), refusal) << reply;
}

// The games of the box since the first five: each one's command for a line,
// its players' view of it and its server's echo, or none where the engine
// prints nothing back (no notice then). The notice's singular is pinned.
TEST(Games, EachSendsItsLineShowsItAsItsPlayersSeeItAndHearsOnlyAnEchoThatCanCome) {
    using namespace app;
    const std::string sale = "^8Sale 50% \xE9t\xE9", x160(160, 'x');
    const std::vector<Shown> dotted{{"Sale 50", 0}, {".", kPassedAsDot}, {" ", 0}, {".", kPassedAsDot},
                                    {"t", 0},       {".", kPassedAsDot}};
    // clang-format off
    const struct {
        const char* game;
        std::string line;
        const char* verbAndWord;
        GameColour colour;
        std::vector<Shown> runs;
        std::string reply;  // the server's answer to the line
        const char* notice;
    } cases[] = {
        {"OpenArena", sale, "rcon pw say", GameColour::OpenArenaOrange, dotted, "console: ^8Sale 50. .t.",
         "1 of 1 line heard at 14:02"},
        {"Urban Terror", sale, "rcon pw say", GameColour::UrbanTerrorOrange, dotted, "", ""},
        {"Wolfenstein: Enemy Territory", sale, "rcon pw say", GameColour{8}, dotted, "", ""},
        // '%' alone turns to a dot; a byte above 127 goes on, and '^8' is text.
        {"Jedi Academy", sale, "rcon pw svsay", GameColour::White,
         {{"^8Sale 50", 0}, {".", kPassedAsDot}, {" \xE9t\xE9", 0}},
         "broadcast: chat \"Server^7\x19: ^8Sale 50. \xE9t\xE9\\n\"", "1 of 1 line heard at 14:02"},
        // The players read 138 bytes; the server echoes 149.
        {"Jedi Academy", x160, "rcon pw svsay", GameColour::White,
         {{std::string(138, 'x'), 0}, {std::string(22, 'x'), kNotSeen}},
         "broadcast: chat \"Server^7\x19: " + std::string(149, 'x') + "\\n\"", "1 of 1 line heard at 14:02"},
    };
    // clang-format on
    for (const auto& c : cases) {
        const GameProfile* p = findGameProfile(c.game);
        ASSERT_TRUE(p && usesChatForm(c.game)) << c.game;
        EXPECT_EQ(broadcastCommand(c.game, p->rconWord, "pw", p->sayWord, c.line),
                  c.verbAndWord + (" \"" + c.line + "\""));
        const PreviewLine view = previewOf({{c.line, {}}}, c.game, {}).front();
        EXPECT_EQ(shown(view), c.runs) << c.game;
        EXPECT_EQ(view.runs.front().colour, c.colour) << c.game;
        Hearing h;
        h.begin({2026, 12, 8, 14, 2, 5});
        if (const auto echo = Hearing::echoFor(c.game, c.line)) h.expect(1, *echo);
        h.hear(c.reply + "\r\n");
        EXPECT_EQ(h.waiting() ? heardText(h.close()) : "", c.notice) << c.game;
    }
}
