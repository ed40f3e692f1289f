#include "app/PlayerActions.h"

#include <algorithm>
#include <compare>

#include "support/Text.h"

namespace app {

using platform::PlayerAction;
using platform::PlayerColumn;
using platform::PlayerRow;

namespace {

// The dotted IPv4 address of an address column ("a.b.c.d", "a.b.c.d:port",
// SoF2's "a.b.c.d:-268"), or an empty text.
std::string ipv4Of(std::string_view address) {
    const std::string_view host = address.substr(0, address.find(':'));
    int octets = 0;
    for (std::string_view rest = host;; ++octets) {
        const std::string_view octet = rest.substr(0, rest.find('.'));
        if (octet.empty() || octet.size() > 3 || octet.find_first_not_of("0123456789") != std::string_view::npos ||
            std::stoi(std::string(octet)) > 255)
            return {};
        if (octet.size() == rest.size()) break;
        rest.remove_prefix(octet.size() + 1);
    }
    return octets == 3 ? std::string(host) : std::string();
}

// The text of a private message as one quoted word: a double quote would
// end it and a line end the command, so they go as a single quote and a blank.
std::string messageWord(std::string_view message) {
    std::string text;
    for (const char c : message) text += c == '"' ? '\'' : c == '\r' || c == '\n' ? ' ' : c;
    text = support::trimBlanks(text);
    return text.empty() ? text : '"' + text + '"';
}

std::strong_ordering caseBlind(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::lexicographical_compare_three_way(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) {
        return static_cast<unsigned char>(lower(x)) <=> static_cast<unsigned char>(lower(y));
    });
}

std::strong_ordering compare(const PlayerRow& a, const PlayerRow& b, PlayerColumn column) {
    switch (column) {
    case PlayerColumn::Slot: return a.slot <=> b.slot;
    case PlayerColumn::Name: return caseBlind(a.plainName, b.plainName);
    case PlayerColumn::Score: return a.score <=> b.score;
    case PlayerColumn::Ping:
        // A time before none, and connecting before gone.
        if (const auto timed = (b.ping >= 0) <=> (a.ping >= 0); timed != 0) return timed;
        if (a.ping != b.ping) return a.ping <=> b.ping;
        return a.pingText <=> b.pingText;
    case PlayerColumn::Address: return a.address <=> b.address;
    }
    return std::strong_ordering::equal;
}

}  // namespace

const char* actionText(PlayerAction action) {
    switch (action) {
    case platform::kKick: return "&Kick";
    case platform::kBan: return "&Ban";
    case platform::kMessage: return "&Message...";
    case platform::kCopyAddress: return "Copy &Address";
    }
    return "";
}

std::string pingText(const Player& player) {
    switch (player.state) {
    case PlayerState::Connecting: return "connecting";
    case PlayerState::Zombie: return "zombie";
    case PlayerState::Playing: break;
    }
    return std::to_string(player.ping);
}

std::uint8_t actionsFor(StatusFormat format, const Player& player) {
    std::uint8_t actions = 0;
    for (const PlayerAction action : kMenuOrder)
        if (!actionCommand(format, player, action, "-").empty()) actions |= action;
    if (isNetworkAddress(player.address)) actions |= platform::kCopyAddress;
    return actions;
}

std::string actionCommand(StatusFormat format, const Player& player, PlayerAction action, std::string_view message) {
    const std::string slot = std::to_string(player.slot);
    const bool gone = player.state == PlayerState::Zombie;
    switch (action) {
    case platform::kKick:
        // SV_KickNum_f refuses the host ("Cannot kick host player"); Quake
        // II's SV_Kick_f takes a slot number under "kick" (sv_ccmds.c). On ET,
        // clientkick keeps the player out for 300 s.
        if (gone || player.address == "loopback") return {};
        return (format == StatusFormat::QuakeII ? "kick " : "clientkick ") + slot;
    case platform::kBan: {
        // ioquake3's banaddr and OpenJK's sv_banaddr take the slot (only an
        // IPv4 address on OpenJK: "Can ban players connected via the
        // internet only"); the others ban in their game module, by the
        // address column: addip (g_svcmds.c), which Quake II's game reads
        // under the engine's "sv" command (ServerCommand). An octet 0 there
        // matches any value.
        const std::string ipv4 = ipv4Of(player.address);
        switch (format) {
        case StatusFormat::IoQuake3: return isNetworkAddress(player.address) ? "banaddr " + slot : "";
        case StatusFormat::OpenJK: return ipv4.empty() ? "" : "sv_banaddr " + slot;
        case StatusFormat::Classic: return ipv4.empty() ? "" : "addip " + ipv4;
        case StatusFormat::QuakeII: return ipv4.empty() ? "" : "sv addip " + ipv4;
        }
        return {};
    }
    case platform::kMessage: {
        const std::string start = messageCommandStart(format, player), word = messageWord(message);
        return start.empty() || word.empty() ? std::string() : start + word;
    }
    case platform::kCopyAddress: return {};
    }
    return {};
}

// ioquake3's SV_ConTell_f ("tell N text") and OpenJK's SV_ConTell_f
// ("svtell N text"); no other engine has one from rcon.
std::string messageCommandStart(StatusFormat format, const Player& player) {
    if (player.state == PlayerState::Zombie || player.bot) return {};
    const std::string slot = std::to_string(player.slot);
    if (format == StatusFormat::IoQuake3) return "tell " + slot + " ";
    if (format == StatusFormat::OpenJK) return "svtell " + slot + " ";
    return {};
}

std::string actionQuestion(const PlayerRow& row, PlayerAction action) {
    return std::string(action == platform::kBan ? "Ban " : "Kick ") + row.plainName + " (slot " +
           std::to_string(row.slot) + ")?";
}

std::string slotChangedText(const PlayerRow& row) {
    return "Slot " + std::to_string(row.slot) + " no longer holds " + row.plainName +
           " by the last status: nothing was sent. Look at the players again.";
}

std::vector<PlayerRow> playerRows(const ServerStatus& status, ColourCodes rule) {
    std::vector<PlayerRow> rows;
    for (const Player& p : status.players) {
        PlayerRow row{p.slot,      p.name,
                      {},          {},
                      p.score,     p.state == PlayerState::Playing ? p.ping : -1,
                      pingText(p), p.address,
                      p.bot,       actionsFor(status.format, p)};
        for (const ColourRun& run : colourRuns(p.name, rule)) {
            if (run.code) continue;
            row.runs.push_back({p.name.substr(run.start, run.length), gameColourRgb(run.colour)});
            row.plainName += row.runs.back().text;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

bool slotStillHolds(const ServerStatus& last, const PlayerRow& row) {
    const Player* now = last.inSlot(row.slot);
    return now && now->name == row.name && now->address == row.address;
}

void PlayerOrder::headerClicked(PlayerColumn clicked) {
    descending = clicked == column && !descending;
    column = clicked;
}

void PlayerOrder::sort(std::vector<PlayerRow>& rows) const {
    std::stable_sort(rows.begin(), rows.end(), [this](const PlayerRow& a, const PlayerRow& b) {
        const std::strong_ordering order = compare(a, b, column);
        if (order != 0) return descending ? order > 0 : order < 0;
        return a.slot < b.slot;
    });
}

}  // namespace app
