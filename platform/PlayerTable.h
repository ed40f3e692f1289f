#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// What a player's menu can offer, as bits of a row's actions.
enum PlayerAction : std::uint8_t { kKick = 1, kBan = 2, kMessage = 4, kCopyAddress = 8 };

// A stretch of a player's name in one colour, its colour codes taken out.
struct NameRun {
    std::string text;
    std::uint32_t rgb = 0xFFFFFF;
    bool operator==(const NameRun&) const = default;
};

// One row of the player table, as the core made it ready to show.
struct PlayerRow {
    int slot = 0;
    std::string name;           // with its colour codes, as the server keeps it
    std::vector<NameRun> runs;  // the name as the game draws it
    std::string plainName;      // what it reads as: the text of the runs
    int score = 0;
    int ping = -1;         // milliseconds; -1 while connecting or gone
    std::string pingText;  // "48", "connecting", "zombie"
    std::string address;   // as the server printed it
    bool bot = false;
    std::uint8_t actions = 0;  // the PlayerAction bits its menu offers

    bool operator==(const PlayerRow&) const = default;
};

enum class PlayerColumn : std::uint8_t { Slot, Name, Score, Ping, Address };
inline constexpr int kPlayerColumnCount = 5;

// What the table reports.
class IPlayerTableEvents {
public:
    virtual ~IPlayerTableEvents() = default;
    virtual void refreshClicked() = 0;
    // An item of a row's menu, chosen on that row (Copy Address has put the
    // address on the clipboard already).
    virtual void actionChosen(const PlayerRow& row, PlayerAction action) = 0;
};

// The players of the last status: a line above them, a Refresh button, a
// table sortable by each column, and each row's menu (right click, the menu
// key, Shift+F10) with the actions the row offers.
class IPlayerTable {
public:
    virtual ~IPlayerTable() = default;
    // Replaces the rows, kept in the order the user chose, and the line above.
    virtual void showPlayers(const std::vector<PlayerRow>& rows, const std::string& summary) = 0;
    // The rows as shown, top to bottom.
    virtual std::vector<PlayerRow> rows() const = 0;
    virtual std::string summary() const = 0;
    virtual bool refreshEnabled() const = 0;
    virtual void setRefreshEnabled(bool enabled) = 0;
    // Who is told; nullptr for nobody.
    virtual void setEvents(IPlayerTableEvents* events) = 0;
};

}  // namespace platform
