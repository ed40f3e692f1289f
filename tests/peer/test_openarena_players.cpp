// The players of a real OpenArena server with bots, read from its status as
// its datagrams come, and a kick that empties a slot by the next status. The
// test speaks rcon on a socket of its own, one datagram every 1.1 s (the
// server takes ten at once, then one a second from an address).
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/PlayerActions.h"
#include "app/ServerStatus.h"
#include "tests/support/OpenArenaServer.h"

namespace {

class OpenArenaPlayers : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string missing = testsupport::OpenArenaServer::missing(); !missing.empty())
            GTEST_SKIP() << missing;
        ASSERT_TRUE(server.start()) << server.log();
    }
    void rcon(const std::string& command) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        client.sendTo(server.port(), std::string(4, '\xFF') + "rcon s3cret " + command);
    }
    // The next status, read as the datagrams of the replies come.
    std::optional<app::ServerStatus> status() {
        rcon("status");
        for (std::string datagram; (datagram = client.receive(3000)) != "<none>";)
            if (auto read = reader.feed(datagram, {})) return read;
        return std::nullopt;
    }

    testsupport::OpenArenaServer server{"s3cret"};
    testsupport::UdpPeer client;
    app::StatusReader reader;
};

}  // namespace

TEST_F(OpenArenaPlayers, TheBotsAreReadFromTheStatusAndAKickEmptiesTheirSlot) {
    // addbot's fifth argument names the bot: codes and blanks as a player's would be.
    const std::vector<std::string> names{"Sarge", "^1Red ^7Baron", "Major", "^4Blue^7 Sky"};
    for (const std::string& name : names) rcon("addbot Sarge 1 free 0 \"" + name + "\"");
    std::optional<app::ServerStatus> before;
    for (int tries = 0; tries < 10 && (!before || before->players.size() < names.size()); ++tries) before = status();
    ASSERT_TRUE(before) << server.log();
    ASSERT_EQ(before->players.size(), names.size()) << server.log();
    EXPECT_EQ(before->format, app::StatusFormat::IoQuake3);
    EXPECT_EQ(before->map, "oa_dm1");
    for (std::size_t i = 0; i < names.size(); ++i) {
        const app::Player& bot = before->players[i];
        EXPECT_EQ(bot.name, names[i]);
        EXPECT_TRUE(bot.bot && bot.address == "bot") << bot.address;
        EXPECT_EQ(app::actionsFor(before->format, bot), platform::kKick) << bot.name;
    }
    EXPECT_EQ(app::statusSummary(*before).substr(0, 28), "0 players (4 bots) on oa_dm1");

    const std::vector<platform::PlayerRow> rows = app::playerRows(*before, app::ColourCodes::AnyCharacter);
    const platform::PlayerRow& baron = rows[1];
    EXPECT_EQ(baron.plainName, "Red Baron");
    rcon(app::actionCommand(before->format, before->players[1], platform::kKick));
    const std::optional<app::ServerStatus> after = status();
    ASSERT_TRUE(after) << server.log();
    EXPECT_EQ(after->inSlot(baron.slot), nullptr) << "clientkick " << baron.slot;
    EXPECT_FALSE(app::slotStillHolds(*after, baron));
    EXPECT_TRUE(app::slotStillHolds(*after, rows[0]));
    const app::StatusChange change = app::changeBetween(*before, *after);
    ASSERT_EQ(change.left.size(), 1u);
    EXPECT_EQ(change.left[0].name, baron.name);
    EXPECT_TRUE(change.joined.empty());
}
