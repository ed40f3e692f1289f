// The players of a real OpenArena server with bots, read from its status as
// its datagrams come, and a kick that empties a slot by the next status; rcon
// on a socket of the test's own, one datagram every 1.1 s (the server takes
// ten at once, then one a second from an address).
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/PlayerActions.h"
#include "tests/support/OpenArenaServer.h"

TEST(OpenArenaPlayers, TheBotsAreReadFromTheStatusAndAKickEmptiesTheirSlot) {
    if (const std::string missing = testsupport::OpenArenaServer::missing(); !missing.empty()) GTEST_SKIP() << missing;
    testsupport::OpenArenaServer server{"s3cret"};
    ASSERT_TRUE(server.start()) << server.log();
    testsupport::UdpPeer client;
    app::StatusReader reader;
    const auto rcon = [&](const std::string& command) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        client.sendTo(server.port(), std::string(4, '\xFF') + "rcon s3cret " + command);
    };
    const auto status = [&] {
        rcon("status");
        for (std::string datagram; (datagram = client.receive(3000)) != "<none>";)
            if (auto read = reader.feed(datagram, {})) return read;
        return std::optional<app::ServerStatus>();
    };
    // addbot's fifth argument names the bot: codes and blanks as a player's would be.
    const std::vector<std::string> names{"Sarge", "^1Red ^7Baron", "^4Blue^7 Sky"};
    for (const std::string& name : names) rcon("addbot Sarge 1 free 0 \"" + name + "\"");
    std::optional<app::ServerStatus> before;
    for (int tries = 0; tries < 10 && (!before || before->players.size() < names.size()); ++tries) before = status();
    ASSERT_TRUE(before && before->players.size() == names.size()) << server.log();
    EXPECT_EQ(app::statusSummary(*before).substr(0, 28), "0 players (3 bots) on oa_dm1");
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(before->players[i].name, names[i]);
        EXPECT_EQ(app::actionsFor(before->format, before->players[i]), platform::kKick) << "a bot's";
    }
    const std::vector<platform::PlayerRow> rows = app::playerRows(*before, app::ColourCodes::AnyCharacter);
    rcon(app::actionCommand(before->format, before->players[1], platform::kKick));
    const std::optional<app::ServerStatus> after = status();
    ASSERT_TRUE(after) << server.log();
    EXPECT_FALSE(app::slotStillHolds(*after, rows[1])) << "clientkick " << rows[1].slot;
    EXPECT_TRUE(app::slotStillHolds(*after, rows[0]));
    const app::StatusChange change = app::changeBetween(*before, *after);
    EXPECT_EQ(change.left.size(), 1u);
    EXPECT_TRUE(change.joined.empty());
}
