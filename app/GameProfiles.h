#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "app/ColourCodes.h"

namespace app {

// The players' game keeps a chat line in a buffer of 150 bytes, of which the
// server's "console: " takes 9 and the closing NUL one: the players read the
// first 140 bytes of a line in the chat form (colour codes counted, as the
// game counts them) and never know there was more.
inline constexpr std::size_t kSeenChatBytes = 140;

// What the engine's MSG_ReadStringLine makes of a command line's bytes.
enum class Dots : std::uint8_t {
    None,                 // the line as it stands (Quake II's engine)
    PercentAndHighBytes,  // '%' and every byte above 127 become '.' (id Tech 3)
    PercentOnly,          // '%' becomes '.', the rest is kept for the game's languages
};

// What Vexmond knows of a game's remote console and chat.
struct GameProfile {
    const char* gameName;
    const char* rconWord;     // opens a remote command
    const char* sayWord;      // prints a chat line to all players
    const char* boxCode;      // its short code in the game box; nullptr for a game only recognised
    ColourCodes colourCodes;  // how its chat reads a caret
    bool chatForm;            // a broadcast line goes as a quoted chat command, not as a command of its own
    // The line the server prints back to the rcon sender for a chat line it
    // took: echoOpening (the engine's name, a colon and a blank first), the
    // line as its engine joined the quoted words (at most echoLimit bytes of
    // it where echoLimit is set), echoClosing. No opening: the server prints
    // nothing back, and no echo can come.
    const char* echoOpening = "console: ";
    Dots dots = Dots::PercentAndHighBytes;
    std::size_t seenChatBytes = kSeenChatBytes;  // of a chat line's text, the bytes the players read
    const char* echoClosing = "";
    std::size_t echoLimit = 0;
};

// The verb for a game name no profile knows: every server of both engine
// families takes it.
inline constexpr const char* kUnknownGameRconWord = "rcon";

// Every game Vexmond knows, those of the game box first and in its order.
std::span<const GameProfile> gameProfiles();

// The profile whose name is exactly the given text (case included), or nullptr.
const GameProfile* findGameProfile(const std::string& gameName);

// Whether the game takes a broadcast line as a quoted chat command; a name no
// profile knows takes the line itself as the command.
bool usesChatForm(const std::string& gameName);

// The command texts, without the four 0xFF bytes that open every datagram.
std::string broadcastCommand(const std::string& gameName, const std::string& rconWord, const std::string& rconPassword,
                             const std::string& sayWord, const std::string& line);
std::string statusCommand(const std::string& rconWord, const std::string& passwordField);
std::string manualCommand(const std::string& passwordField, const std::string& commandField);

}  // namespace app
