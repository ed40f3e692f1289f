#include "app/GameProfiles.h"

#include "support/Text.h"

namespace app {

namespace {

// Each game as its engine's released source has it. The first five are the
// game box's list of the first version, in the order of their names; the
// games added since follow in the order they were added; the last two are
// only recognised.
//
// The colour rules of the first five (q_shared.h, Q_IsColorString and
// ColorIndex):
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
constexpr GameProfile kProfiles[] = {
    {"Elite Force", "rcon", "svsay", "EF", ColourCodes::AnyCharacter, true},
    {"Jedi Knight II", "rcon", "svsay", "JK2", ColourCodes::DigitsZeroToSeven, true},
    {"Quake 3 Arena", "rcon", "say", "Q3", ColourCodes::AnyCharacter, true},
    {"Return to Castle Wolfenstein", "rcon", "say", "RTCW", ColourCodes::AnyCharacter, false, nullptr},
    {"Soldier of Fortune II", "rcon", "say", "SOF2", ColourCodes::AnyCharacter, false, nullptr},
    // OpenArena's servers run ioquake3 (0.8.8: its revision 1910;
    // OpenArena/engine). ioquake/ioq3, code/server/sv_ccmds.c:
    // SV_AddOperatorCommands gives a dedicated server "say" (SV_ConSay_f),
    // which sends "console: " and the line as chat and prints the same with
    // Com_Printf, which the rcon's redirect sends back (so measured on the
    // 0.8.8 server). code/qcommon/msg.c, MSG_ReadStringLine: '%' and bytes
    // above 127 read as '.'. The engine's console draws the chat:
    // OpenArena/engine, code/qcommon/q_shared.h, Q_IsColorString takes '^'
    // and '0' to '8' only, ColorIndex (c - '0'), '8' the menus' orange.
    // OpenArena/gamecode, code/cgame/cg_servercmds.c, CG_ServerCommand: the
    // chat line in MAX_SAY_TEXT (150) bytes.
    {"OpenArena", "rcon", "say", "OA", ColourCodes::DigitsZeroToEight, true},
    // FrozenSand/ioq3-for-UrbanTerror-4 (the 4.x engine, ioquake3's):
    // code/server/sv_ccmds.c, SV_ConSay_f sends sv_sayprefix ("console: ",
    // code/server/sv_init.c) and the line as chat but prints nothing, so no
    // echo comes back. code/qcommon/q_shared.h: Q_IsColorString '^' and any
    // character but '^', ColorIndex (c - '0') % 10 into the ten colours of
    // code/qcommon/q_math.c. Its game code is not public: the chat budget is
    // Quake 3's for the same prefix.
    {"Urban Terror", "rcon", "say", "UrT", ColourCodes::AnyCharacterTen, true, nullptr},
    // id Software's GPL release (2010) of 2.60b, and ET: Legacy
    // (etlegacy/etlegacy) alike: src/server/sv_ccmds.c, SV_ConSay_f sends
    // "console: " and the line as chat but prints nothing, so no echo comes
    // back. src/qcommon/msg.c: MSG_ReadStringLine reads only '%' as '.',
    // but MSG_WriteString, which carries the chat to the players, writes
    // every byte above 127 as '.': they see both as dots.
    // src/game/q_shared.h: Q_IsColorString '^' and any character but '^',
    // ColorIndex (c - '0') & 31 into the 32 colours of src/game/q_math.c.
    // src/cgame/cg_servercmds.c, CG_ServerCommand: the chat line in
    // MAX_SAY_TEXT (150) bytes.
    {"Wolfenstein: Enemy Territory", "rcon", "say", "ET", ColourCodes::AnyCharacterThirtyTwo, true, nullptr},
    // Raven's GPL release (2013), codemp/server/sv_ccmds.cpp:
    // SV_AddOperatorCommands gives "svsay" (SV_ConSay_f); codemp/qcommon/
    // msg.cpp, MSG_ReadStringLine reads only '%' as '.' and keeps bytes
    // above 127 for the game's languages, on the way to the players too;
    // codemp/game/q_shared.h, Q_IsColorString '^' and '0' to '7'. Jedi
    // Academy's servers run OpenJK today (JACoders/OpenJK), whose
    // codemp/server/sv_ccmds.cpp, SV_ConSay_f keeps MAX_SAY_TEXT - 1 (149)
    // bytes of the line, prints it back as 'broadcast: chat "Server^7\x19:
    // TEXT\n"' (a backslash and an n) and sends "Server^7\x19: " and the
    // line as chat, which codemp/cgame/cg_servercmds.c, CG_Chat_f keeps in
    // MAX_SAY_TEXT (150) bytes: 138 of the line. Raven's own server prints
    // nothing back.
    {"Jedi Academy", "rcon", "svsay", "JA", ColourCodes::DigitsZeroToSeven, true,
     "broadcast: chat \"Server^7\x19: ", Dots::PercentOnly, 138, "\\n\"", 149},
    // Quake II's server (sv_main.c, SV_ConnectionlessPacket) takes only "rcon"
    // and drops any other verb as a bad packet; Soldier of Fortune runs on
    // that engine. Neither has colour codes.
    {"Quake II", "rcon", "say", nullptr, ColourCodes::None, false, nullptr, Dots::None},
    {"Soldier of Fortune", "rcon", "say", nullptr, ColourCodes::None, false, nullptr, Dots::None},
};

}  // namespace

std::span<const GameProfile> gameProfiles() { return kProfiles; }

const GameProfile* findGameProfile(const std::string& gameName) {
    for (const auto& p : kProfiles)
        if (gameName == p.gameName) return &p;
    return nullptr;
}

bool usesChatForm(const std::string& gameName) {
    const GameProfile* profile = findGameProfile(gameName);
    return profile && profile->chatForm;
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
