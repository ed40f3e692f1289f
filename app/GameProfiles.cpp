#include "app/GameProfiles.h"

#include <iterator>

#include "support/Text.h"

namespace app {

namespace {

// The colour rules, from the engines' released sources (q_shared.h,
// Q_IsColorString and ColorIndex):
// - Quake 3 Arena: id Software's GPL release (2005), code/game/q_shared.h:
//   '^' and any character but '^' or NUL; colour ((c - '0') & 7).
// - Return to Castle Wolfenstein: id Software's GPL release (2010),
//   src/game/q_shared.h: the same rule and the same eight colours.
// - Jedi Knight II: Raven's GPL release of the 1.04 code (2013),
//   code/game/q_shared.h: '^' and '0' to '7' only (1.02 took any character,
//   which read bytes of Asian text as codes).
// - Elite Force and Soldier of Fortune II: their engines' sources have not
//   been released. Both are built on Quake 3's engine and are given its
//   rule; change it here if a release shows otherwise.
// - Quake II and Soldier of Fortune (Quake II's engine): no colour codes.
constexpr GameProfile kProfiles[] = {
    {"Quake 3 Arena", "rcon", "say", "Q3", ColourCodes::AnyCharacter},
    {"Return to Castle Wolfenstein", "rcon", "say", "RTCW", ColourCodes::AnyCharacter},
    {"Soldier of Fortune II", "rcon", "say", "SOF2", ColourCodes::AnyCharacter},
    {"Jedi Knight II", "rcon", "svsay", "JK2", ColourCodes::DigitsZeroToSeven},
    {"Elite Force", "rcon", "svsay", "EF", ColourCodes::AnyCharacter},
    // Quake II's server (sv_main.c, SV_ConnectionlessPacket) takes only "rcon"
    // and drops any other verb as a bad packet; Soldier of Fortune runs on
    // that engine.
    {"Quake II", "rcon", "say", nullptr, ColourCodes::None, false},
    {"Soldier of Fortune", "rcon", "say", nullptr, ColourCodes::None, false},
};

}  // namespace

std::span<const GameProfile> gameProfiles() { return kProfiles; }

const GameProfile* findGameProfile(const std::string& gameName) {
    for (const auto& p : kProfiles)
        if (gameName == p.gameName) return &p;
    return nullptr;
}

bool usesChatForm(const std::string& gameName) {
    return gameName == "Quake 3 Arena" || gameName == "Elite Force" || gameName == "Jedi Knight II";
}

std::string broadcastCommand(const std::string& gameName, const std::string& rconWord, const std::string& rconPassword,
                             const std::string& sayWord, const std::string& line) {
    if (usesChatForm(gameName)) return rconWord + " " + rconPassword + " " + sayWord + " \"" + line + "\"";
    return rconWord + " " + rconPassword + " " + line;
}

std::string statusCommand(const std::string& rconWord, const std::string& passwordField) {
    return rconWord + " " + passwordField + " status";
}

std::string manualCommand(const std::string& passwordField, const std::string& commandField) {
    return "rcon " + passwordField + " " + support::trimBlanks(commandField);
}

}  // namespace app
