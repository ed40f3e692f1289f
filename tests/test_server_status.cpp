// Status replies in each engine's format, split as their servers split
// them, read into the server's state; what changed between two; and what a
// row offers and sends.
#include <gtest/gtest.h>

#include "app/PlayerActions.h"
#include "app/ServerStatus.h"

using app::StatusFormat;

namespace {

const platform::LocalDateTime kAt{2024, 5, 1, 14, 2, 0};

// Captured from the OpenArena 0.8.8 server (ioquake3) with 23 bots, three
// named with codes and blanks by addbot's fifth argument: the bodies of the
// reply's two datagrams, the first cut after the address column's padding.
// The first body as it came: cut after the address column's padding.
const std::string kOpenArenaFirst = R"(map: oa_dm1
cl score ping name            address                                 rate 
-- ----- ---- --------------- --------------------------------------- -----
 0     0    0 Sarge           ^7bot                                     16384
 1     3    0 Angelyss        ^7bot                                     16384
 2     0    0 Major           ^7bot                                     16384
 3     0    0 Grism           ^7bot                                     16384
 4     0    0 Gargoyle        ^7bot                                     16384
 5     1    0 Kyonshi         ^7bot                                     16384
 6     1    0 Merman          ^7bot                                     16384
 7     1    0 Tony            ^7bot                                     16384
 8     0    0 Skelebot        ^7bot                                     16384
 9     0    0 Penguin         ^7bot                                     16384
10     0    0 Liz             ^7bot                            )";
const std::string kOpenArenaSecond = R"(         16384
11     3    0 Assassin        ^7bot                                     16384
12     1    0 Sergei          ^7bot                                     16384
13     1    0 Arachna         ^7bot                                     16384
14     0    0 Beret           ^7bot                                     16384
15     0    0 Ayumi           ^7bot                                     16384
16     2    0 Dark            ^7bot                                     16384
17     2    0 Ghost           ^7bot                                     16384
18     0    0 Grunt           ^7bot                                     16384
19     0    0 Kyonshi         ^7bot                                     16384
20     0    0 ^1Red ^7Baron       ^7bot                                     16384
21     0    0 ^4Blue^7 Sky ^3Walker^5Long^6Na ^7bot                                     16384
22     0    0   two  blanks   ^7bot                                     16384

)";

// Each engine's rows as its SV_Status_f prints them (server/sv_ccmds.c).
const char* kQuake3 =
    "map: q3dm17\n"
    "num score ping name            lastmsg address               qport rate\n"
    "--- ----- ---- --------------- ------- --------------------- ----- -----\n"
    "  0    12   48 ^1Red^7Baron^7          0 192.168.1.20:27960     1234 25000\n"
    "  1    -3 CNCT New Player^7         1450 10.0.0.7:27960          555  3000\n"
    "  3     0 ZMBI Gone^7               9999 10.0.0.8:27961          556  3000\n"
    "  4     7   60 ^4A^5very^6long^7coloured^1name^71234567 172.16.0.1:27960      65535 25000\n"
    "  5     2    0 Sarge^7                50 bot                       0 16384\n"
    "  6     0    0 Host^7                  0 loopback                  0 25000\n\n";
const char* kSoldierOfFortune2 =
    "map: mp_jor1\n"
    "num score ping name            lastmsg address               qport rate\n"
    "--- ----- ---- --------------- ------- --------------------- ----- -----\n"
    "  0     5  120 ^3SoF ^7Merc^7        100 84.85.84.0:-268         -12  4000\n\n";
const char* kIoQuake3 =
    "map: oa_dm1\n"
    "cl score ping name            address                                 rate \n"
    "-- ----- ---- --------------- --------------------------------------- -----\n"
    " 0     3   35 ^2The ^3Dude        ^7203.0.113.9                             25000\n"
    " 1     0 CON Joining         ^7198.51.100.2                             3000\n"
    " 2     1 ZMB Left ^1Now        ^7198.51.100.3                             3000\n"
    " 3     0   12 map: v6 ^5user    ^72001:db8::7                             25000\n\n";
const char* kOpenJK =
    "hostname: Jedi ^1Temple^7\n"
    "version : 1.0.1.0 26\n"
    "game    : base\n"
    "udp/ip  : 0.0.0.0:29070 os(Linux) type(public dedicated)\n"
    "map     : mp/ffa3 gametype(0)\n"
    "players : 2 humans, 1 bots (32 max)\n"
    "uptime  : 0h12m5s\n"
    "cl score ping name            address                                 rate \n"
    "-- ----- ---- --------------- --------------------------------------- -----\n"
    " 0    10   50 ^5Obi-Wan Kenob ^7                      203.0.113.5:29070 50000\n"
    " 1     0 CON  Padawan         ^7                      203.0.113.6:29071  4000\n"
    " 2     4    0 Reborn          ^7                                    bot 50000\n\n";
const char* kQuake2 =
    "map              : q2dm1\n"
    "num score ping name            lastmsg address               qport \n"
    "--- ----- ---- --------------- ------- --------------------- ------\n"
    "  0    14   80 Player One            0 203.0.113.20:27910     4321\n"
    "  1     0 CNCT newbie              500 203.0.113.21:27910       99\n"
    "  2     3    0 host                  0 loopback                  0\n\n";
const char* kEmpty =
    "map: oa_dm1\n"
    "cl score ping name            address                                 rate \n"
    "-- ----- ---- --------------- --------------------------------------- -----\n\n";

std::string datagram(std::string_view body) { return std::string(app::StatusReader::kReplyHeader) + std::string(body); }

// A player a line: slot, score, ping, [name], address.
std::string describe(const app::ServerStatus& status) {
    std::string out;
    for (const app::Player& p : status.players)
        out += std::to_string(p.slot) + " " + std::to_string(p.score) + " " + app::pingText(p) + " [" + p.name + "] " +
               p.address + (p.bot ? " (bot)" : "") + "\n";
    return out;
}

// What a reader makes of the datagrams, in turn.
std::vector<app::ServerStatus> readAll(const std::vector<std::string>& datagrams) {
    app::StatusReader reader;
    std::vector<app::ServerStatus> read;
    for (const std::string& d : datagrams)
        if (auto status = reader.feed(d, kAt)) read.push_back(*status);
    return read;
}

std::vector<std::string> inBodies(std::string_view text, std::size_t size) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at < text.size(); at += size) out.push_back(datagram(text.substr(at, size)));
    return out;
}

}  // namespace

TEST(StatusReader, EachFormatIsReadWhereverItsServerSplitsTheReply) {
    const std::string openArena = kOpenArenaFirst + kOpenArenaSecond;
    const struct {
        std::string text;
        std::size_t bodySize;  // the engine's
        StatusFormat format;
        const char* map;
        std::size_t players;
        const char* last;  // the last rows, described
    } cases[] = {
        {openArena, kOpenArenaFirst.size(), StatusFormat::IoQuake3, "oa_dm1", 23,
         "20 0 0 [^1Red ^7Baron] bot (bot)\n21 0 0 [^4Blue^7 Sky ^3Walker^5Long^6Na] bot (bot)\n"
         "22 0 0 [  two  blanks] bot (bot)\n"},
        // RTCW and ET send 240-byte bodies; the name touching lastmsg keeps its digits apart.
        {kQuake3, 240, StatusFormat::Classic, "q3dm17", 6,
         "0 12 48 [^1Red^7Baron] 192.168.1.20:27960\n1 -3 connecting [New Player] 10.0.0.7:27960\n"
         "3 0 zombie [Gone] 10.0.0.8:27961\n4 7 60 [^4A^5very^6long^7coloured^1name] 172.16.0.1:27960\n"
         "5 2 0 [Sarge] bot (bot)\n6 0 0 [Host] loopback\n"},
        {kSoldierOfFortune2, 240, StatusFormat::Classic, "mp_jor1", 1, "0 5 120 [^3SoF ^7Merc] 84.85.84.0:-268\n"},
        {kIoQuake3, 1008, StatusFormat::IoQuake3, "oa_dm1", 4,
         "0 3 35 [^2The ^3Dude] 203.0.113.9\n1 0 connecting [Joining] 198.51.100.2\n"
         "2 1 zombie [Left ^1Now] 198.51.100.3\n3 0 12 [map: v6 ^5user] 2001:db8::7\n"},
        {kOpenJK, 1008, StatusFormat::OpenJK, "mp/ffa3", 3,
         "0 10 50 [^5Obi-Wan Kenob] 203.0.113.5:29070\n1 0 connecting [Padawan] 203.0.113.6:29071\n"
         "2 4 0 [Reborn] bot (bot)\n"},
        {kQuake2, 1384, StatusFormat::QuakeII, "q2dm1", 3,
         "0 14 80 [Player One] 203.0.113.20:27910\n1 0 connecting [newbie] 203.0.113.21:27910\n"
         "2 3 0 [host] loopback\n"},
        {kEmpty, 1008, StatusFormat::IoQuake3, "oa_dm1", 0, ""},
    };
    for (const auto& c : cases) {
        // Anywhere below the header: a reply's first datagram holds the lines
        // above its rows whole, as the output buffer is empty when it begins.
        std::vector<std::vector<std::string>> splits{inBodies(c.text, c.bodySize)};
        for (std::size_t at = c.text.find("\n--") + 1; at < c.text.size(); ++at)
            splits.push_back({datagram(c.text.substr(0, at)), datagram(c.text.substr(at))});
        for (const auto& datagrams : splits) {
            const auto read = readAll(datagrams);
            ASSERT_EQ(read.size(), 1u) << c.map << " in " << datagrams.size() << " from " << datagrams[0].size();
            EXPECT_EQ(read[0].format, c.format) << c.map;
            EXPECT_EQ(read[0].map, c.map);
            EXPECT_EQ(read[0].players.size(), c.players) << c.map;
            EXPECT_TRUE(describe(read[0]).ends_with(c.last)) << describe(read[0]);
            EXPECT_EQ(read[0].at.minute, kAt.minute);
        }
    }
}

TEST(StatusReader, AReplyThatIsNoStatusOrWasCutShortChangesNothing) {
    const std::string ioq3 = kIoQuake3, half = ioq3.substr(0, 200), rest = ioq3.substr(200);
    const std::string damaged = std::string(kEmpty).insert(std::string(kEmpty).size() - 1, " 0 0 0 x ^7bot\n");
    const struct {
        const char* what;
        std::vector<std::string> datagrams;
        std::vector<const char*> maps;  // of the statuses read
    } cases[] = {
        {"refused password", {datagram("Bad rconpassword.\n")}, {}},
        {"a say's echo between", {datagram(half), datagram("console: hi\n"), datagram(rest)}, {"oa_dm1"}},
        {"an empty reply between", {datagram(half), datagram(""), datagram(rest)}, {"oa_dm1"}},
        {"cut short, then another", {datagram(half), datagram(kQuake2)}, {"q2dm1"}},
        {"no reply header", {datagram(half), rest}, {}},
        {"a row that does not read", {datagram(damaged)}, {}},
        {"a tail without its status", {datagram(rest), datagram(kEmpty)}, {"oa_dm1"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> maps;
        for (const auto& s : readAll(c.datagrams)) maps.push_back(s.map);
        EXPECT_EQ(maps, std::vector<std::string>(c.maps.begin(), c.maps.end())) << c.what;
    }
    app::StatusReader reader;
    EXPECT_FALSE(reader.feed(datagram(half), kAt));
    EXPECT_TRUE(reader.open());
    EXPECT_FALSE(reader.feed(datagram(std::string(app::StatusReader::kMaxText, 'x')), kAt));
    EXPECT_FALSE(reader.feed(datagram(rest), kAt));  // given up: longer than any status
    EXPECT_FALSE(reader.open());
}

TEST(ServerStatus, WhoJoinedAndLeftAndTheTextsOfTheCounts) {
    using app::Player;
    const Player alice{1, 5, app::PlayerState::Playing, 40, "^1Alice", "203.0.113.1", false};
    const Player bot{2, 0, app::PlayerState::Playing, 0, "Sarge", "bot", true};
    const Player joining{3, 0, app::PlayerState::Connecting, 0, "Bob", "203.0.113.2", false};
    const Player gone{4, 0, app::PlayerState::Zombie, 0, "Carl", "203.0.113.3", false};
    Player renamed = alice, otherBot = bot, taken = alice;
    renamed.name = "^2Alicia";
    otherBot.name = "Major";
    Player thirdBot = otherBot;
    thirdBot.slot = 3;
    taken.address = "198.51.100.9";
    const app::ServerStatus before{StatusFormat::IoQuake3, "oa_dm1", {alice, bot}, kAt};
    const struct {
        std::vector<Player> after;
        const char* map;
        std::vector<int> joined, left;  // slots
        bool countOrMap;
        const char *summary, *log;
    } cases[] = {
        {{alice, bot}, "oa_dm1", {}, {}, false, "1 player (1 bot) on oa_dm1 at 14:02", "players: 1 on oa_dm1 (1 bot)"},
        {{renamed, bot}, "oa_dm1", {}, {}, false, "1 player (1 bot) on oa_dm1 at 14:02", nullptr},
        {{taken, otherBot}, "oa_dm1", {1, 2}, {1, 2}, false, nullptr, nullptr},
        {{alice, bot, joining, gone},
         "oa_dm1",
         {3, 4},
         {},
         true,
         "2 players (1 bot) on oa_dm1 at 14:02",
         "players: 2 on oa_dm1 (1 bot)"},
        {{}, "oa_dm2", {}, {1, 2}, true, "0 players on oa_dm2 at 14:02", "players: 0 on oa_dm2"},
        {{bot, thirdBot}, "oa_dm1", {3}, {1}, true, "0 players (2 bots) on oa_dm1 at 14:02", nullptr},
    };
    for (const auto& c : cases) {
        const app::ServerStatus after{StatusFormat::IoQuake3, c.map, c.after, kAt};
        const app::StatusChange change = app::changeBetween(before, after);
        std::vector<int> joined, left;
        for (const Player& p : change.joined) joined.push_back(p.slot);
        for (const Player& p : change.left) left.push_back(p.slot);
        EXPECT_EQ(joined, c.joined) << c.after.size();
        EXPECT_EQ(left, c.left) << c.after.size();
        EXPECT_EQ(change.countOrMapChanged, c.countOrMap) << c.after.size();
        if (c.summary) {
            EXPECT_EQ(app::statusSummary(after), c.summary);
        }
        if (c.log) {
            EXPECT_EQ(app::playersLogLine(after), c.log);
        }
    }
    const auto rule = app::nameColourCodes(StatusFormat::IoQuake3, "Quake 3 Arena");
    EXPECT_EQ(app::joinedLogLine(alice, rule), "joined: Alice (slot 1, 203.0.113.1)");
    EXPECT_EQ(app::leftLogLine(alice, app::nameColourCodes(StatusFormat::QuakeII, "Quake 3 Arena")),
              "left: ^1Alice (slot 1)");
}

TEST(PlayerActions, EachFormatOffersAndSendsItsEnginesCommands) {
    using app::Player;
    using namespace platform;
    const Player v4{7, 0, app::PlayerState::Playing, 50, "^1Red", "203.0.113.5:27960", false};
    const Player v6{7, 0, app::PlayerState::Playing, 50, "Six", "2001:db8::7", false};
    const Player sof{7, 0, app::PlayerState::Playing, 50, "Merc", "84.85.84.0:-268", false};
    const Player bot{7, 0, app::PlayerState::Playing, 0, "Sarge", "bot", true};
    const Player host{7, 0, app::PlayerState::Playing, 0, "Host", "loopback", false};
    const Player gone{7, 0, app::PlayerState::Zombie, 0, "Carl", "203.0.113.3", false};
    const struct {
        StatusFormat format;
        Player player;
        std::uint8_t offered;
        const char *kick, *ban, *message;
    } cases[] = {
        {StatusFormat::IoQuake3, v4, kKick | kBan | kMessage | kCopyAddress, "clientkick 7", "banaddr 7",
         "tell 7 \"don't 'camp'\""},
        {StatusFormat::IoQuake3, v6, kKick | kBan | kMessage | kCopyAddress, "clientkick 7", "banaddr 7", nullptr},
        {StatusFormat::IoQuake3, bot, kKick, "clientkick 7", "", ""},
        {StatusFormat::IoQuake3, gone, kBan | kCopyAddress, "", "banaddr 7", ""},
        {StatusFormat::OpenJK, v4, kKick | kBan | kMessage | kCopyAddress, "clientkick 7", "sv_banaddr 7",
         "svtell 7 \"don't 'camp'\""},
        {StatusFormat::OpenJK, v6, kKick | kMessage | kCopyAddress, "clientkick 7", "", nullptr},
        {StatusFormat::Classic, v4, kKick | kBan | kCopyAddress, "clientkick 7", "addip 203.0.113.5", ""},
        {StatusFormat::Classic, sof, kKick | kBan | kCopyAddress, "clientkick 7", "addip 84.85.84.0", ""},
        {StatusFormat::Classic, host, 0, "", "", ""},
        {StatusFormat::Classic, bot, kKick, "clientkick 7", "", ""},
        {StatusFormat::QuakeII, v4, kKick | kBan | kCopyAddress, "kick 7", "sv addip 203.0.113.5", ""},
    };
    for (const auto& c : cases) {
        const std::string what = c.player.address + " " + std::to_string(static_cast<int>(c.format));
        EXPECT_EQ(app::actionsFor(c.format, c.player), c.offered) << what;
        EXPECT_EQ(app::actionCommand(c.format, c.player, kKick), c.kick) << what;
        EXPECT_EQ(app::actionCommand(c.format, c.player, kBan), c.ban) << what;
        if (c.message) {
            EXPECT_EQ(app::actionCommand(c.format, c.player, kMessage, " don\"t 'camp'\r\n"), c.message) << what;
        }
    }
    EXPECT_EQ(app::actionCommand(StatusFormat::IoQuake3, v4, kMessage, "  "), "");  // nothing to say
}

TEST(PlayerActions, ARowIsActedOnOnlyWhileItsSlotHoldsItsPlayerAndSortsByEachColumn) {
    const auto read = readAll({datagram(kQuake3)});
    ASSERT_EQ(read.size(), 1u);
    const std::vector<platform::PlayerRow> rows = app::playerRows(read[0], app::ColourCodes::AnyCharacter);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].plainName, "RedBaron");
    EXPECT_EQ(rows[0].runs, (std::vector<platform::NameRun>{{"Red", 0xFF0000}, {"Baron", 0xFFFFFF}}));
    app::ServerStatus later = read[0];
    later.players[0].name = "^1Red^7Baron2";         // slot 0: another player
    later.players[1].address = "10.0.0.9:27960";     // slot 1: another machine
    later.players.erase(later.players.begin() + 2);  // slot 3: free
    const bool holds[] = {false, false, false, true, true, true};
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(app::slotStillHolds(later, rows[i]), holds[i]) << i;

    const struct {
        std::vector<platform::PlayerColumn> clicks;
        std::vector<int> slots;
    } orders[] = {
        {{platform::PlayerColumn::Name}, {4, 3, 6, 1, 0, 5}},  // by the name as read, case aside
        {{platform::PlayerColumn::Ping, platform::PlayerColumn::Ping}, {3, 1, 4, 0, 5, 6}},  // turned round
        {{platform::PlayerColumn::Score}, {1, 3, 6, 5, 4, 0}},
        {{platform::PlayerColumn::Address, platform::PlayerColumn::Slot}, {0, 1, 3, 4, 5, 6}},
    };
    for (const auto& o : orders) {
        app::PlayerOrder order;
        for (const auto column : o.clicks) order.headerClicked(column);
        std::vector<platform::PlayerRow> sorted = rows;
        order.sort(sorted);
        std::vector<int> slots;
        for (const auto& r : sorted) slots.push_back(r.slot);
        EXPECT_EQ(slots, o.slots) << static_cast<int>(o.clicks.back());
    }
}
