// Status replies in each format, split as servers split them, read into the
// server's state; what changed between two; what a row offers and sends. The
// replies are the status fuzz target's seeds (0x01 ends a datagram): a status
// of OpenArena 0.8.8 with 23 bots (three named with codes and blanks by
// addbot) as its two datagrams came, and each engine's rows as its
// SV_Status_f prints them (server/sv_ccmds.c).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/PlayerActions.h"
#include "support/Text.h"

using app::Player, app::PlayerState, app::StatusFormat;

namespace {

const platform::LocalDateTime kAt{2024, 5, 1, 14, 2, 0};
#ifdef _WIN32
const std::string kSeeds = std::string("Z:") + VEXMOND_STATUS_SEEDS + "/";  // wine's view of this file system
#else
const std::string kSeeds = std::string(VEXMOND_STATUS_SEEDS) + "/";
#endif

std::vector<std::string> seed(const std::string& name) {
    std::stringstream text;
    text << std::ifstream(kSeeds + name, std::ios::binary).rdbuf();
    return support::splitText(text.str(), "\x01");
}

std::vector<app::ServerStatus> readAll(const std::vector<std::string>& bodies, app::StatusReader reader = {}) {
    std::vector<app::ServerStatus> read;
    for (const std::string& body : bodies)
        if (auto status = reader.feed(std::string(app::StatusReader::kReplyHeader) + body, kAt))
            read.push_back(*status);
    return read;
}

// A player a line (slot, score, ping, [name], address), then the map and the number of players.
std::string describe(const app::ServerStatus& status) {
    std::string out;
    for (const Player& p : status.players)
        out += std::to_string(p.slot) + " " + std::to_string(p.score) + " " + app::pingText(p) + " [" + p.name + "] " +
               p.address + (p.bot ? " (bot)" : "") + "\n";
    return out + status.map + " " + std::to_string(status.players.size());
}

}  // namespace

TEST(StatusReader, EachFormatIsReadWhereverItsServerSplitsTheReply) {
    const struct {
        const char* seed;
        std::size_t bodySize;  // the engine's
        StatusFormat format;
        const char* last;  // the last rows, the map and the number of players
    } cases[] = {
        {"openarena-23-bots", 1007, StatusFormat::IoQuake3,
         "20 0 0 [^1Red ^7Baron] bot (bot)\n21 0 0 [^4Blue^7 Sky ^3Walker^5Long^6Na] bot (bot)\n"
         "22 0 0 [  two  blanks] bot (bot)\noa_dm1 23"},
        // RTCW and ET send 240-byte bodies; a name touching lastmsg keeps its digits apart.
        {"quake3-240", 240, StatusFormat::Classic,
         "0 12 48 [^1Red^7Baron] 192.168.1.20:27960\n1 -3 connecting [New Player] 10.0.0.7:27960\n"
         "3 0 zombie [Gone] 10.0.0.8:27961\n4 7 60 [^4A^5very^6long^7coloured^1name] 172.16.0.1:27960\n"
         "5 2 0 [Sarge] bot (bot)\n6 0 0 [Host] loopback\nq3dm17 6"},
        {"sof2-negative-port", 240, StatusFormat::Classic, "0 5 120 [^3SoF ^7Merc] 84.85.84.0:-268\nmp_jor1 1"},
        {"ioquake3", 1008, StatusFormat::IoQuake3,
         "0 3 35 [^2The ^3Dude] 203.0.113.9\n1 0 connecting [Joining] 198.51.100.2\n"
         "2 1 zombie [Left ^1Now] 198.51.100.3\n3 0 12 [map: v6 ^5user] 2001:db8::7\noa_dm1 4"},
        {"openjk", 1008, StatusFormat::OpenJK,
         "0 10 50 [^5Obi-Wan Kenob] 203.0.113.5:29070\n1 0 connecting [Padawan] 203.0.113.6:29071\n"
         "2 4 0 [Reborn] bot (bot)\nmp/ffa3 3"},
        {"quake2", 1384, StatusFormat::QuakeII,
         "0 14 80 [Player One] 203.0.113.20:27910\n1 0 connecting [newbie] 203.0.113.21:27910\n"
         "2 3 0 [host] loopback\nq2dm1 3"},
        {"empty", 1008, StatusFormat::IoQuake3, "oa_dm1 0"},
    };
    for (const auto& c : cases) {
        // As it came, in the engine's bodies, and in two anywhere below the
        // header (a reply's first datagram holds the lines above its rows:
        // the output buffer is empty when it begins).
        std::vector<std::vector<std::string>> splits{seed(c.seed), {}};
        std::string text;
        for (const std::string& body : splits[0]) text += body;
        for (std::size_t at = 0; at < text.size(); at += c.bodySize) splits[1].push_back(text.substr(at, c.bodySize));
        for (std::size_t at = text.find("\n--") + 1; at < text.size(); ++at)
            splits.push_back({text.substr(0, at), text.substr(at)});
        for (const auto& bodies : splits) {
            const auto read = readAll(bodies);
            ASSERT_EQ(read.size(), 1u) << c.seed << " split at " << bodies[0].size();
            EXPECT_EQ(read[0].format, c.format) << c.seed;
            EXPECT_TRUE(describe(read[0]).ends_with(c.last)) << describe(read[0]);
        }
    }
}

TEST(StatusReader, AReplyThatIsNoStatusOrWasCutShortChangesNothing) {
    const std::vector<std::string> between = seed("echo-between"), q2 = seed("quake2");
    const std::string half = between[0], rest = between[2], empty = seed("empty")[0];
    const struct {
        const char* what;
        std::vector<std::string> bodies;
        std::vector<std::string> maps;  // of the statuses read
    } cases[] = {
        {"refused password", {"Bad rconpassword.\n"}, {}},
        {"a say's echo between", between, {"oa_dm1"}},
        {"an empty reply between", {half, "", rest}, {"oa_dm1"}},
        {"cut short, then another", {half, q2[0], q2[1]}, {"q2dm1"}},
        {"a tail without its status", {rest, empty}, {"oa_dm1"}},
        {"a row that does not read", {std::string(empty).insert(empty.size() - 1, " 0 0 0 x ^7bot\n")}, {}},
        {"longer than any status", {half, std::string(app::StatusReader::kMaxText, 'x'), rest}, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> maps;
        for (const auto& s : readAll(c.bodies)) maps.push_back(s.map);
        EXPECT_EQ(maps, c.maps) << c.what;
    }
    app::StatusReader reader;
    EXPECT_FALSE(reader.feed(half, kAt) || reader.open()) << "no reply header: no reply";
}

TEST(ServerStatus, WhoJoinedAndLeftAndTheTextsOfTheCounts) {
    const Player alice{1, 5, PlayerState::Playing, 40, "^1Alice", "203.0.113.1", false};
    const Player bot{2, 0, PlayerState::Playing, 0, "Sarge", "bot", true};
    Player renamed = alice, taken = alice, otherBot = bot, thirdBot = bot;
    renamed.name = "^2Alicia";
    taken.address = "198.51.100.9";
    otherBot.name = thirdBot.name = "Major";
    thirdBot.slot = 3;
    const Player joining{3, 0, PlayerState::Connecting, 0, "Bob", "203.0.113.2", false};
    const Player gone{4, 0, PlayerState::Zombie, 0, "Carl", "203.0.113.3", false};
    const struct {
        std::vector<Player> after;
        const char* map;
        const char *change, *summary, *log;  // change: the slots joined, then those left
    } cases[] = {
        {{renamed, bot}, "oa_dm1", "+-", "1 player (1 bot) on oa_dm1 at 14:02", "players: 1 on oa_dm1 (1 bot)"},
        {{taken, otherBot}, "oa_dm1", "+12-12", "1 player (1 bot) on oa_dm1 at 14:02", nullptr},
        {{alice, bot, joining, gone}, "oa_dm1", "+34-*", "2 players (1 bot) on oa_dm1 at 14:02", nullptr},
        {{}, "oa_dm2", "+-12*", "0 players on oa_dm2 at 14:02", "players: 0 on oa_dm2"},
        {{bot, thirdBot}, "oa_dm1", "+3-1*", "0 players (2 bots) on oa_dm1 at 14:02", nullptr},
    };
    for (const auto& c : cases) {
        const app::ServerStatus after{StatusFormat::IoQuake3, c.map, c.after, kAt};
        const app::StatusChange change =
            app::changeBetween({StatusFormat::IoQuake3, "oa_dm1", {alice, bot}, kAt}, after);
        std::string told = "+";  // "*": the count or the map changed
        for (const Player& p : change.joined) told += std::to_string(p.slot);
        told += "-";
        for (const Player& p : change.left) told += std::to_string(p.slot);
        EXPECT_EQ(told + (change.countOrMapChanged ? "*" : ""), c.change) << c.summary;
        EXPECT_EQ(app::statusSummary(after), c.summary);
        EXPECT_TRUE(!c.log || app::playersLogLine(after) == c.log) << app::playersLogLine(after);
    }
    EXPECT_EQ(app::joinedLogLine(alice, app::nameColourCodes(StatusFormat::IoQuake3, "Quake 3 Arena")),
              "joined: Alice (slot 1, 203.0.113.1)");
    EXPECT_EQ(app::leftLogLine(alice, app::nameColourCodes(StatusFormat::QuakeII, "Quake 3 Arena")),
              "left: ^1Alice (slot 1)");
}

TEST(PlayerActions, EachFormatOffersAndSendsItsEnginesCommands) {
    using namespace platform;
    const auto player = [](const char* address, PlayerState state = PlayerState::Playing) {
        return Player{7, 0, state, 50, "^1Red", address, std::string(address) == "bot"};
    };
    const Player v4 = player("203.0.113.5:27960"), v6 = player("2001:db8::7");
    const std::uint8_t all = kKick | kBan | kMessage | kCopyAddress, noMessage = kKick | kBan | kCopyAddress;
    const char* tell = "tell 7 \"don't 'camp'\"";
    const struct {
        StatusFormat format;
        Player player;
        std::uint8_t offered;
        const char *kick, *ban, *message;
    } cases[] = {
        {StatusFormat::IoQuake3, v4, all, "clientkick 7", "banaddr 7", tell},
        {StatusFormat::IoQuake3, v6, all, "clientkick 7", "banaddr 7", tell},
        {StatusFormat::IoQuake3, player("bot"), kKick, "clientkick 7", "", ""},
        {StatusFormat::IoQuake3, player("203.0.113.3", PlayerState::Zombie), kBan | kCopyAddress, "", "banaddr 7", ""},
        {StatusFormat::OpenJK, v4, all, "clientkick 7", "sv_banaddr 7", "svtell 7 \"don't 'camp'\""},
        {StatusFormat::OpenJK, v6, kKick | kMessage | kCopyAddress, "clientkick 7", "", "svtell 7 \"don't 'camp'\""},
        {StatusFormat::Classic, v4, noMessage, "clientkick 7", "addip 203.0.113.5", ""},
        {StatusFormat::Classic, player("84.85.84.0:-268"), noMessage, "clientkick 7", "addip 84.85.84.0", ""},
        {StatusFormat::Classic, player("loopback"), 0, "", "", ""},
        {StatusFormat::QuakeII, v4, noMessage, "kick 7", "sv addip 203.0.113.5", ""},
    };
    for (const auto& c : cases) {
        const std::string what = c.player.address + " " + std::to_string(static_cast<int>(c.format));
        EXPECT_EQ(app::actionsFor(c.format, c.player), c.offered) << what;
        EXPECT_EQ(app::actionCommand(c.format, c.player, kKick), c.kick) << what;
        EXPECT_EQ(app::actionCommand(c.format, c.player, kBan), c.ban) << what;
        EXPECT_EQ(app::actionCommand(c.format, c.player, kMessage, " don\"t 'camp'\r\n"), c.message) << what;
    }
    EXPECT_EQ(app::actionCommand(StatusFormat::IoQuake3, v4, kMessage, "  "), "");  // nothing to say
}

TEST(PlayerActions, ARowIsActedOnOnlyWhileItsSlotHoldsItsPlayer) {
    const app::ServerStatus read = readAll(seed("quake3-240")).at(0);
    const std::vector<platform::PlayerRow> rows = app::playerRows(read, app::ColourCodes::AnyCharacter);
    EXPECT_EQ(rows[0].runs, (std::vector<platform::NameRun>{{"Red", 0xFF0000}, {"Baron", 0xFFFFFF}}));
    app::ServerStatus later = read;
    later.players[0].name = "^1Red^7Baron2";         // slot 0: another player
    later.players[1].address = "10.0.0.9:27960";     // slot 1: another machine
    later.players.erase(later.players.begin() + 2);  // slot 3: free
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(app::slotStillHolds(later, rows[i]), i > 2) << i;
}
