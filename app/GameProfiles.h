#pragma once

#include <span>
#include <string>

#include "app/ColourCodes.h"

namespace app {

// The two words of a game's remote-console language.
struct GameProfile {
    const char* gameName;
    const char* rconWord;      // opens a remote command
    const char* sayWord;       // prints a chat line to all players
    const char* boxCode;       // its short code in the game box; nullptr for a game only recognised
    ColourCodes colourCodes;   // how its chat reads a caret
    bool quake3Engine = true;  // reads a command line as the Quake 3 engine does
};

// The verb for a game name no profile knows: every server of both engine
// families takes it.
inline constexpr const char* kUnknownGameRconWord = "rcon";

// Every game Vexmond knows.
std::span<const GameProfile> gameProfiles();

// The profile whose name is exactly the given text (case included), or nullptr.
const GameProfile* findGameProfile(const std::string& gameName);

// Quake 3 Arena, Elite Force and Jedi Knight II take a broadcast line as a
// quoted chat command; every other game takes the line itself as the command.
bool usesChatForm(const std::string& gameName);

// The command texts, without the four 0xFF bytes that open every datagram.
std::string broadcastCommand(const std::string& gameName, const std::string& rconWord, const std::string& rconPassword,
                             const std::string& sayWord, const std::string& line);
std::string statusCommand(const std::string& rconWord, const std::string& passwordField);
std::string manualCommand(const std::string& passwordField, const std::string& commandField);

}  // namespace app
