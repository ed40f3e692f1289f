#include "app/GameProfiles.h"

#include <iterator>

#include "support/Text.h"

namespace app {

namespace {

constexpr GameProfile kProfiles[] = {
    {"Quake 3 Arena", "rcon", "say", "Q3"},
    {"Return to Castle Wolfenstein", "rcon", "say", "RTCW"},
    {"Soldier of Fortune II", "rcon", "say", "SOF2"},
    {"Jedi Knight II", "rcon", "svsay", "JK2"},
    {"Elite Force", "rcon", "svsay", "EF"},
    {"Quake II", "rcon_password", "say", nullptr},
    {"Soldier of Fortune", "rcon_password", "say", nullptr},
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
