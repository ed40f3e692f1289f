#include "app/ServerStatus.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

#include "app/Hearing.h"
#include "support/Text.h"

namespace app {

namespace {

using Words = std::vector<std::string_view>;

Words wordsOf(std::string_view line) {
    Words words;
    for (std::size_t at = 0;;) {
        at = line.find_first_not_of(' ', at);
        if (at == std::string_view::npos) return words;
        const std::size_t end = std::min(line.find(' ', at), line.size());
        words.push_back(line.substr(at, end - at));
        at = end;
    }
}

// The header lines, as words: ioquake3's ends with a blank, which words drop.
const Words kClassicHeader{"num", "score", "ping", "name", "lastmsg", "address", "qport", "rate"};
const Words kIoQuake3Header{"cl", "score", "ping", "name", "address", "rate"};
const Words kQuakeIIHeader{"num", "score", "ping", "name", "lastmsg", "address", "qport"};

// The complete lines of a text, each without its line feed (and a carriage
// return before it); what follows the last line feed is not a line yet.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : m_text(text) {}
    std::optional<std::string_view> next() {
        const std::size_t end = m_text.find('\n', m_at);
        if (end == std::string_view::npos) return std::nullopt;
        std::string_view line = m_text.substr(m_at, end - m_at);
        if (line.ends_with('\r')) line.remove_suffix(1);
        m_at = end + 1;
        return line;
    }

private:
    std::string_view m_text;
    std::size_t m_at = 0;
};

// What stands above the rows: the map line, or OpenJK's block of
// "key   : value" lines, then the header.
struct Top {
    StatusFormat format;
    std::string map;
};

// At most this many lines before the header: OpenJK prints seven.
constexpr int kMaxLinesAboveHeader = 10;

std::optional<Top> readTop(LineCursor& lines) {
    bool openJkBlock = false;
    std::optional<std::string> map;
    for (int n = 0; n <= kMaxLinesAboveHeader; ++n) {
        const std::optional<std::string_view> line = lines.next();
        if (!line) return std::nullopt;
        const Words words = wordsOf(*line);
        if (n > 0 && map) {
            if (words == kClassicHeader) return Top{StatusFormat::Classic, *map};
            if (words == kQuakeIIHeader) return Top{StatusFormat::QuakeII, *map};
            if (words == kIoQuake3Header) return Top{openJkBlock ? StatusFormat::OpenJK : StatusFormat::IoQuake3, *map};
        }
        const std::size_t colon = line->find(':');
        if (colon == std::string_view::npos) return std::nullopt;
        const std::string key = support::trimBlanks(line->substr(0, colon));
        if (n == 0) {
            if (key != "map" && key != "hostname") return std::nullopt;
            openJkBlock = key == "hostname";
        }
        // A map is a file name, without blanks; OpenJK adds " gametype(N)".
        if (key == "map") {
            const Words value = wordsOf(line->substr(colon + 1));
            map = value.empty() ? std::string() : std::string(value.front());
        }
    }
    return std::nullopt;
}

template <class Int>
bool readInt(std::string_view word, Int& value, bool signedToo) {
    if (word.empty() || (!signedToo && word.front() == '-')) return false;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc() && end == word.data() + word.size();
}

// A row read from both ends: its fields hold no blanks, the name may.
class RowCursor {
public:
    explicit RowCursor(std::string_view row) : m_rest(row) {}
    std::string_view left() {
        const std::size_t start = m_rest.find_first_not_of(' ');
        if (start == std::string_view::npos) return {};
        const std::size_t end = std::min(m_rest.find(' ', start), m_rest.size());
        const std::string_view word = m_rest.substr(start, end - start);
        m_rest.remove_prefix(end);
        return word;
    }
    std::string_view right() {
        const std::size_t last = m_rest.find_last_not_of(' ');
        if (last == std::string_view::npos) return {};
        const std::size_t blank = m_rest.find_last_of(' ', last);
        const std::size_t start = blank == std::string_view::npos ? 0 : blank + 1;
        const std::string_view word = m_rest.substr(start, last + 1 - start);
        m_rest = m_rest.substr(0, start);
        return word;
    }
    // Gives back the first part of the word right() took last.
    void giveBack(std::size_t length) { m_rest = std::string_view(m_rest.data(), m_rest.size() + length); }
    // The blanks that separate the next field, and no more.
    bool skipBlanks(std::size_t count) {
        if (m_rest.substr(0, count).find_first_not_of(' ') != std::string_view::npos) return false;
        m_rest.remove_prefix(std::min(count, m_rest.size()));
        return true;
    }
    // What lies between the fields taken, without the blanks at its end.
    std::string_view middle() const { return m_rest.substr(0, m_rest.find_last_not_of(' ') + 1); }
    bool dropRight(std::string_view suffix) {
        m_rest = middle();
        if (!m_rest.ends_with(suffix)) return false;
        m_rest.remove_suffix(suffix.size());
        return true;
    }

private:
    std::string_view m_rest;
};

// "%7i ": a wider number leaves no blank before it, nor does a shorter one
// after a name that overran its 16 columns without a blank of padding.
constexpr std::size_t kLastMsgWidth = 7;

// The address column, in the formats whose rows print "^7" before it
// (ioquake3 glued to it, OpenJK before its right-aligned field).
bool takeColouredAddress(RowCursor& row, Player& player) {
    std::string_view address = row.right();
    if (address.starts_with("^7"))
        address.remove_prefix(2);
    else if (!row.dropRight("^7"))
        return false;
    player.address = address;
    return !address.empty();
}

// The lastmsg column of the formats that print it, taken and dropped.
bool dropLastMsg(RowCursor& row) {
    const std::string_view word = row.right();
    std::size_t digits = 0;
    while (digits < word.size() && std::isdigit(static_cast<unsigned char>(word[word.size() - 1 - digits]))) ++digits;
    if (digits == 0) return false;
    if (digits < word.size()) row.giveBack(word.size() - std::min(digits, kLastMsgWidth));
    return true;
}

std::optional<Player> readRow(std::string_view line, StatusFormat format) {
    RowCursor row(line);
    Player player;
    int ignored = 0;
    if (!readInt(row.left(), player.slot, false) || player.slot > 999) return std::nullopt;
    if (!readInt(row.left(), player.score, true)) return std::nullopt;
    const bool shortWords = format == StatusFormat::IoQuake3 || format == StatusFormat::OpenJK;
    const std::string_view ping = row.left();
    if (ping == (shortWords ? "CON" : "CNCT"))
        player.state = PlayerState::Connecting;
    else if (ping == (shortWords ? "ZMB" : "ZMBI"))
        player.state = PlayerState::Zombie;
    else if (!readInt(ping, player.ping, false))
        return std::nullopt;
    // The name begins after one blank (OpenJK: "CON " and " "), and may
    // begin with blanks of its own.
    const bool wordAndBlank = format == StatusFormat::OpenJK && player.state != PlayerState::Playing;
    if (!row.skipBlanks(wordAndBlank ? 2 : 1)) return std::nullopt;
    if (format != StatusFormat::QuakeII && !readInt(row.right(), ignored, false)) return std::nullopt;  // rate
    if (shortWords) {
        if (!takeColouredAddress(row, player)) return std::nullopt;
    } else {
        if (!readInt(row.right(), ignored, true)) return std::nullopt;  // qport; SoF2's ports are negative
        player.address = row.right();
        if (player.address.empty() || !dropLastMsg(row)) return std::nullopt;
        // Quake 3 1.32 prints "^7" after the name (TTimo's colour reset).
        if (format == StatusFormat::Classic) row.dropRight("^7");
    }
    player.name = row.middle();
    player.bot = player.address == "bot";
    return player;
}

enum class Reading { complete, incomplete, damaged };

// The status a text holds, once the empty line below its rows has come.
Reading read(std::string_view text, const platform::LocalDateTime& at, ServerStatus& status) {
    LineCursor lines(text);
    const std::optional<Top> top = readTop(lines);
    if (!top) return Reading::damaged;
    status = ServerStatus{top->format, top->map, {}, at};
    const std::optional<std::string_view> dashes = lines.next();
    if (!dashes) return Reading::incomplete;
    if (dashes->empty() || dashes->find_first_not_of("- ") != std::string_view::npos) return Reading::damaged;
    while (const std::optional<std::string_view> line = lines.next()) {
        if (line->empty()) return Reading::complete;
        const std::optional<Player> player = readRow(*line, top->format);
        // The server lists its slots in order: a slot out of order is a
        // row of two replies joined.
        if (!player || (!status.players.empty() && player->slot <= status.players.back().slot)) return Reading::damaged;
        status.players.push_back(*player);
    }
    return Reading::incomplete;
}

bool beginsStatus(std::string_view body) {
    LineCursor lines(body);
    return readTop(lines).has_value();
}

bool samePlayer(const Player& a, const Player& b) {
    return a.slot == b.slot && a.address == b.address && (isNetworkAddress(a.address) || a.name == b.name);
}

std::string counted(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// " (1 bot)", " (23 bots)", or nothing.
std::string botsText(const ServerStatus& status) {
    return status.bots() ? " (" + counted(status.bots(), "bot", "bots") + ")" : std::string();
}

}  // namespace

bool isNetworkAddress(const std::string& address) {
    return !address.empty() && address != "bot" && address != "loopback";
}

std::size_t ServerStatus::playersOn() const {
    return static_cast<std::size_t>(std::count_if(
        players.begin(), players.end(), [](const Player& p) { return !p.bot && p.state != PlayerState::Zombie; }));
}

std::size_t ServerStatus::bots() const {
    return static_cast<std::size_t>(std::count_if(
        players.begin(), players.end(), [](const Player& p) { return p.bot && p.state != PlayerState::Zombie; }));
}

const Player* ServerStatus::inSlot(int slot) const {
    for (const Player& p : players)
        if (p.slot == slot) return &p;
    return nullptr;
}

std::optional<ServerStatus> readStatus(std::string_view text, const platform::LocalDateTime& at) {
    ServerStatus status;
    if (read(text, at, status) != Reading::complete) return std::nullopt;
    return status;
}

std::optional<ServerStatus> StatusReader::feed(std::string_view datagram, const platform::LocalDateTime& at) {
    if (!datagram.starts_with(kReplyHeader)) return std::nullopt;
    const std::string_view body = datagram.substr(kReplyHeader.size());
    ServerStatus status;
    if (beginsStatus(body)) {
        m_text = body;
        m_at = at;
        m_open = true;
    } else if (!m_open) {
        return std::nullopt;
    } else {
        // A body whose rows do not read on from the open text is another
        // reply (its tail is still to come) and is passed over.
        std::string joined = m_text + std::string(body);
        if (read(joined, m_at, status) == Reading::damaged) return std::nullopt;
        m_text = std::move(joined);
    }
    const Reading reading = read(m_text, m_at, status);
    if (reading == Reading::incomplete && m_text.size() <= kMaxText) return std::nullopt;
    m_open = false;
    m_text.clear();
    if (reading != Reading::complete) return std::nullopt;
    return status;
}

StatusChange changeBetween(const ServerStatus& before, const ServerStatus& after) {
    StatusChange change;
    const auto isIn = [](const Player& p, const ServerStatus& s) {
        return std::any_of(s.players.begin(), s.players.end(), [&](const Player& q) { return samePlayer(p, q); });
    };
    for (const Player& p : before.players)
        if (!isIn(p, after)) change.left.push_back(p);
    for (const Player& p : after.players)
        if (!isIn(p, before)) change.joined.push_back(p);
    change.countOrMapChanged =
        before.playersOn() != after.playersOn() || before.bots() != after.bots() || before.map != after.map;
    return change;
}

ColourCodes nameColourCodes(StatusFormat format, const std::string& gameName) {
    return format == StatusFormat::QuakeII ? ColourCodes::None : colourCodesOf(gameName);
}

std::string statusSummary(const ServerStatus& status) {
    return counted(status.playersOn(), "player", "players") + botsText(status) + " on " + status.map + " at " +
           hoursAndMinutes(status.at);
}

std::string playersLogLine(const ServerStatus& status) {
    return "players: " + std::to_string(status.playersOn()) + " on " + status.map + botsText(status);
}

std::string joinedLogLine(const Player& player, ColourCodes rule) {
    return "joined: " + withoutColourCodes(player.name, rule) + " (slot " + std::to_string(player.slot) + ", " +
           player.address + ")";
}

std::string leftLogLine(const Player& player, ColourCodes rule) {
    return "left: " + withoutColourCodes(player.name, rule) + " (slot " + std::to_string(player.slot) + ")";
}

}  // namespace app
