#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/ColourCodes.h"
#include "app/Placeholders.h"

namespace app {

// What the server passes on of a broadcast line and what the players read of
// it, as the window's preview shows it and the session expects it back.

// The engine reads a command line with MSG_ReadStringLine, which turns '%'
// into '.', and in most games every byte above 127 too: the players see
// those as dots. Quake II's engine passes the line as it stands. A name no
// profile knows is read as the Quake 3 engine reads it.
std::string passedOn(std::string_view line, const std::string& gameName);

// How a stretch of the preview differs from what the admin typed.
enum PreviewMark : std::uint8_t {
    kAsTyped = 0,
    kNotInCharset = 1,  // no byte in the 8-bit set: sent as '?'
    kPassedAsDot = 2,   // the server passes it on as '.'
    kNotSeen = 4,       // beyond what the players read
    kNoValueYet = 8,    // a placeholder no status has given a value yet
};
// The marks the preview shows on red: what the players will not read as typed.
inline constexpr std::uint8_t kChangedMarks = kNotInCharset | kPassedAsDot | kNoValueYet;

struct PreviewRun {
    std::string text;  // as the players see it, without the colour codes
    GameColour colour = GameColour::White;
    std::uint8_t marks = kAsTyped;
};

struct PreviewLine {
    bool skipped = false;  // empty: the broadcast sends nothing for it
    std::vector<PreviewRun> runs;
    std::size_t length = 0;  // the bytes the players' game gets, colour codes counted
    std::size_t seen = 0;    // of those, the bytes they read; 0 where no limit applies
    std::size_t budget = 0;  // the bytes of a chat line the game shows; 0 where no limit applies
};

// A line as it goes on the wire: its bytes, and for each byte whether it
// stands for a character the 8-bit set has no byte for (sent as '?').
struct WireLine {
    std::string bytes;
    std::vector<bool> notInCharset;
};

// The preview of a message's lines for the game of that name, the
// placeholders filled in with the values known now.
std::vector<PreviewLine> previewOf(const std::vector<WireLine>& lines, const std::string& gameName,
                                   const PlaceholderValues& values);

// What the preview shows, as its tooltip says.
inline constexpr const char* kPreviewTip =
    "The message as the players see it in chat: the colour codes hidden, the text in their colours. A hatched line "
    "is empty and is not sent. On red: a character the message cannot carry, sent as ?, or one the server passes on "
    "as a dot (% and every character above 127), or {map} and {players} before a status has come. On grey: what the "
    "players do not see, past the first 140 bytes of "
    "a chat line; each chat line's bytes stand at its end.";

// What a mark tells of a line for the game of that name, for the preview's
// tooltips; charset names the 8-bit set.
std::string markTip(std::uint8_t marks, const std::string& charset, const std::string& gameName);

}  // namespace app
