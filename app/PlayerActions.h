#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/ColourCodes.h"
#include "app/ServerStatus.h"
#include "platform/PlayerTable.h"

namespace app {

// The table's texts, the same in both windows.
inline constexpr const char* kPlayersName = "Players";
inline constexpr const char* kRefreshText = "&Refresh";
inline constexpr std::array<const char*, platform::kPlayerColumnCount> kPlayerColumnTitles{"Slot", "Name", "Score",
                                                                                           "Ping", "Address"};
// The button that shows the players in the console's place, and again the console.
inline constexpr const char* kShowPlayersText = "Pla&yers";
inline constexpr const char* kShowPlayersName = "Show the players";
inline constexpr const char* kShowPlayersTip =
    "The players of the last status in the console's place, with their menu (right click, the menu key or "
    "Shift+F10); again for the console";

// The menu items in the order a row's menu lists them.
inline constexpr std::array<platform::PlayerAction, 4> kMenuOrder{platform::kKick, platform::kBan, platform::kMessage,
                                                                  platform::kCopyAddress};
const char* actionText(platform::PlayerAction action);

// What the ping column shows: "48", "connecting", "zombie".
std::string pingText(const Player& player);

// Which actions a player's menu offers on a server of that format: a kick
// for anyone but the host of a listen server (the engines refuse it) and
// no one gone already; a ban where the server has a way for that address;
// a private message where the server has a command for it, to people only;
// a copy of any address that names a machine.
std::uint8_t actionsFor(StatusFormat format, const Player& player);

// The rcon command that carries the action out, or an empty text where the
// format has none for that player (or the message is empty).
std::string actionCommand(StatusFormat format, const Player& player, platform::PlayerAction action,
                          std::string_view message = {});

// A private message's command up to its text ("tell 3 "), for the admin to
// finish in the command field; empty where the format has none for that player.
std::string messageCommandStart(StatusFormat format, const Player& player);
// "Kick NAME (slot N)?" and "Ban NAME (slot N)?", the name without its codes.
std::string actionQuestion(const platform::PlayerRow& row, platform::PlayerAction action);
// Said when the slot of a row holds someone else now, or no one.
std::string slotChangedText(const platform::PlayerRow& row);

// The rows of a status as the table shows them, the names in the rule's colours.
std::vector<platform::PlayerRow> playerRows(const ServerStatus& status, ColourCodes rule);

// Whether the slot of a row still holds the player it showed, by the last
// status (name with its codes and address equal): a player gone and his
// slot taken meanwhile must not be kicked in his stead.
bool slotStillHolds(const ServerStatus& last, const platform::PlayerRow& row);

// The order the table shows its rows in: by one column, up or down, ties by
// slot. A click on a column's header sorts by it; a second click on the
// same one turns the order round.
struct PlayerOrder {
    platform::PlayerColumn column = platform::PlayerColumn::Slot;
    bool descending = false;

    void headerClicked(platform::PlayerColumn clicked);
    void sort(std::vector<platform::PlayerRow>& rows) const;
};

}  // namespace app
