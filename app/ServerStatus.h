#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ColourCodes.h"
#include "platform/Clock.h"

namespace app {

// How a server prints its status, told by the lines above the rows, never by
// the game chosen (SV_Status_f of each engine's server/sv_ccmds.c):
enum class StatusFormat : std::uint8_t {
    // Quake 3 1.32, RTCW, ET, JK2, Jedi Academy, SoF2, ioquake3 before 2014:
    // "map: NAME", "num score ping name lastmsg address qport rate".
    Classic,
    // ioquake3 since 2014 (OpenArena, ioEF): "map: NAME", "cl score ping
    // name address rate ", the address after "^7" and without its port.
    IoQuake3,
    // OpenJK: "hostname:", "version :", "map     :", "players :" ... above
    // the ioquake3 header; the row "%2i %5i %s %-15.15s ^7%39s %5i".
    OpenJK,
    // Quake II: "map              : NAME", no rate column, no colour codes.
    QuakeII,
};

// What the ping column says: a time, or a player still connecting (CNCT,
// CON) or one gone whose slot is not free yet (ZMBI, ZMB).
enum class PlayerState : std::uint8_t { Playing, Connecting, Zombie };

struct Player {
    int slot = 0;
    int score = 0;
    PlayerState state = PlayerState::Playing;
    int ping = 0;         // milliseconds, while playing
    std::string name;     // with its colour codes, as the server keeps it
    std::string address;  // as printed: "a.b.c.d:port", "a.b.c.d", an IPv6 address, "bot", "loopback"
    bool bot = false;

    bool operator==(const Player&) const = default;
};

// Whether the address column names a machine (not "bot", nor "loopback",
// the host of a listen server).
bool isNetworkAddress(const std::string& address);

// One status the server sent, read.
struct ServerStatus {
    StatusFormat format = StatusFormat::IoQuake3;
    std::string map;
    std::vector<Player> players;  // in the server's order, by slot
    platform::LocalDateTime at;   // when its reply began to arrive

    // The people on the server: connecting players counted, bots and
    // zombies (gone already) not.
    std::size_t playersOn() const;
    std::size_t bots() const;
    const Player* inSlot(int slot) const;
};

// The text of one status reply (its bodies joined) read into a status:
// nothing when it is no status, or when a row does not read as its format's
// rows do (a reply cut short, or joined across a lost datagram).
std::optional<ServerStatus> readStatus(std::string_view text, const platform::LocalDateTime& at);

// Joins the bodies of each status reply across its datagrams and reads it.
//
// A reply comes in as many datagrams as the server's output buffer fills
// (bodies of 1008 bytes on ioquake3 and OpenJK, 240 on RTCW and ET, 16368
// on JK2, 1384 on Quake II), cut between two prints, so often mid-row, and
// the server adds no end marker of its own. But every engine's SV_Status_f
// ends its table with an empty line (Com_Printf("\n") after the rows), and a
// row is never empty: a status is complete when its text holds the empty
// line below the header. That needs no timing, so a tail that waited in the
// socket (while the program paused after a broadcast line) is still joined,
// and a reply whose tail was lost is never taken for a whole one.
//
// A body begins a status when its first lines are the map line (or OpenJK's
// block) and a header line; a new reply starts with an empty output buffer,
// so its first datagram always holds them whole. Any other body continues
// the open status when the rows it completes read as rows; otherwise it is
// another reply (a say's echo, a command's output, "Bad rconpassword."),
// passed over without touching the open status, as is any body while no
// status is open. A status still open when the next begins was cut short
// (a datagram lost) and is dropped: it changes nothing.
class StatusReader {
public:
    // The reply header of every datagram: four 0xFF bytes, "print", a line feed.
    static constexpr std::string_view kReplyHeader{"\xFF\xFF\xFF\xFFprint\n"};
    // Longer than a full server's status (64 slots): no status, let go.
    static constexpr std::size_t kMaxText = 64 * 1024;

    // One datagram as it arrived; the status it completes, if it does. A
    // datagram without the reply header is no reply and is passed over.
    std::optional<ServerStatus> feed(std::string_view datagram, const platform::LocalDateTime& at);
    // Whether a status has begun and its end not come yet.
    bool open() const { return m_open; }

private:
    bool m_open = false;
    std::string m_text;
    platform::LocalDateTime m_at;
};

// The difference between two statuses of one server. A player stays the
// same player while his slot holds the same address (for bots and the
// host, whose addresses say nothing, the same name too): a rename is no
// leaving, a slot taken over by someone else is one leaving and one joining.
struct StatusChange {
    std::vector<Player> joined;
    std::vector<Player> left;
    bool countOrMapChanged = false;  // players on, bots or map
};
StatusChange changeBetween(const ServerStatus& before, const ServerStatus& after);

// The colour rule of the names in a status: the game's, but Quake II's
// status has no codes whatever the game box says.
ColourCodes nameColourCodes(StatusFormat format, const std::string& gameName);

// The texts of a status, here alone: the line above the player table, and
// what the service logs (names without their codes).
inline constexpr const char* kNoStatusYet = "No player list yet";
// "3 players (1 bot) on oa_dm1 at 14:02", "1 player on q3dm17 at 09:30",
// "0 players (23 bots) on oa_dm1 at 14:02".
std::string statusSummary(const ServerStatus& status);
// "players: 3 on oa_dm1 (1 bot)"
std::string playersLogLine(const ServerStatus& status);
// "joined: NAME (slot N, ADDRESS)" and "left: NAME (slot N)"
std::string joinedLogLine(const Player& player, ColourCodes rule);
std::string leftLogLine(const Player& player, ColourCodes rule);

}  // namespace app
