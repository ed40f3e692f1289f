#pragma once

// The player table's contract, for the fake and each window's table; the type
// parameter is a side that knows how a user clicks Refresh or a header there,
// opens a row's menu one of three ways, reads and picks its items, and what the
// cells and the clipboard hold. (At global scope, where a typed suite is seen.)
#include <gtest/gtest.h>

#include "app/PlayerActions.h"

enum class MenuWay { rightClick, menuKey, shiftF10 };

template <class Side>
struct PlayerTableContract : ::testing::Test, platform::IPlayerTableEvents {
    Side side;
    int refreshes = 0;
    std::vector<std::pair<int, platform::PlayerAction>> chosen;  // slot, action
    std::vector<platform::PlayerRow> rows;

    void refreshClicked() override { ++refreshes; }
    void actionChosen(const platform::PlayerRow& row, platform::PlayerAction action) override {
        for (const auto& r : rows) EXPECT_TRUE(r.slot != row.slot || r == row) << "the row as it was shown";
        chosen.emplace_back(row.slot, action);
    }
    PlayerTableContract() {
        using app::Player, app::PlayerState;
        const std::vector<Player> players{{0, 12, PlayerState::Playing, 48, "^1Red^7Baron", "203.0.113.5", false},
                                          {2, 3, PlayerState::Playing, 0, "Sarge", "bot", true},
                                          {5, -1, PlayerState::Connecting, 0, "^4Zed ^7Blank", "198.51.100.7", false}};
        rows = app::playerRows({app::StatusFormat::IoQuake3, "oa_dm1", players, {}}, app::ColourCodes::AnyCharacter);
        // A listen server's host on a classic server: it offers nothing.
        const Player host{6, 0, PlayerState::Playing, 0, "Host", "loopback", false};
        rows.push_back(app::playerRows({app::StatusFormat::Classic, "q3dm17", {host}, {}}, {}).front());
        side.table().setEvents(this);
    }
    // The slots shown, top to bottom, which the table tells too.
    std::vector<int> shown() {
        std::vector<int> cells, told;
        for (std::size_t i = 0; !side.cells(i).empty(); ++i) cells.push_back(std::stoi(side.cells(i).front()));
        for (const auto& r : side.table().rows()) told.push_back(r.slot);
        EXPECT_EQ(cells, told);
        return cells;
    }
};
TYPED_TEST_SUITE_P(PlayerTableContract);

TYPED_TEST_P(PlayerTableContract, ShowsTheRowsUnderTheirLineSortsThemByTheHeaderClickedAndTellsRefresh) {
    platform::IPlayerTable& table = this->side.table();
    table.showPlayers(this->rows, "2 players (1 bot) on oa_dm1 at 14:02");
    EXPECT_EQ(table.summary(), "2 players (1 bot) on oa_dm1 at 14:02");
    EXPECT_EQ(table.rows(), this->rows);
    // The names as a screen reader reads them: without their codes.
    EXPECT_EQ(this->side.cells(0), (std::vector<std::string>{"0", "RedBaron", "12", "48", "203.0.113.5"}));
    EXPECT_EQ(this->side.cells(2), (std::vector<std::string>{"5", "Zed Blank", "-1", "connecting", "198.51.100.7"}));
    this->side.clickHeader(platform::PlayerColumn::Name);
    EXPECT_EQ(this->shown(), (std::vector<int>{6, 0, 2, 5}));
    this->side.clickHeader(platform::PlayerColumn::Name);
    EXPECT_EQ(this->shown(), (std::vector<int>{5, 2, 0, 6}));
    table.showPlayers({this->rows[0], this->rows[2], this->rows[3]}, "1 player on oa_dm1 at 14:03");
    EXPECT_EQ(this->shown(), (std::vector<int>{5, 0, 6})) << "new rows in the order chosen";
    this->side.clickHeader(platform::PlayerColumn::Ping);
    EXPECT_EQ(this->shown(), (std::vector<int>{6, 0, 5}));
    table.showPlayers({}, app::kNoStatusYet);
    EXPECT_EQ(this->shown(), std::vector<int>{});
    EXPECT_EQ(table.summary(), app::kNoStatusYet);

    // Refresh is told while it is enabled, to whom listens.
    this->side.clickRefresh();
    table.setRefreshEnabled(false);
    EXPECT_FALSE(table.refreshEnabled());
    this->side.clickRefresh();
    table.setRefreshEnabled(true);
    table.setEvents(nullptr);
    this->side.clickRefresh();
    EXPECT_EQ(this->refreshes, 1);
}

TYPED_TEST_P(PlayerTableContract, EachWayToARowsMenuOffersItsActionsAndTellsTheOneChosen) {
    this->side.table().showPlayers(this->rows, "2 players (1 bot) on oa_dm1 at 14:02");
    const std::vector<std::string> all{"&Kick", "&Ban", "&Message...", "Copy &Address"}, none;
    for (const MenuWay way : {MenuWay::rightClick, MenuWay::menuKey, MenuWay::shiftF10}) {
        EXPECT_EQ(this->side.menu(0, way, "&Ban"), all);
        EXPECT_EQ(this->side.menu(1, way, ""), std::vector<std::string>{"&Kick"});  // a bot's, closed unchosen
        EXPECT_EQ(this->side.menu(3, way, ""), none);                               // no menu at all
        EXPECT_EQ(this->side.menu(2, way, "&Kick"), all);
    }
    this->side.menu(0, MenuWay::rightClick, "Copy &Address");
    EXPECT_EQ(this->side.clipboard(), "203.0.113.5");
    using platform::kBan, platform::kKick;
    const std::vector<std::pair<int, platform::PlayerAction>> expected{
        {0, kBan}, {5, kKick}, {0, kBan}, {5, kKick}, {0, kBan}, {5, kKick}, {0, platform::kCopyAddress}};
    EXPECT_EQ(this->chosen, expected);
}

REGISTER_TYPED_TEST_SUITE_P(PlayerTableContract, ShowsTheRowsUnderTheirLineSortsThemByTheHeaderClickedAndTellsRefresh,
                            EachWayToARowsMenuOffersItsActionsAndTellsTheOneChosen);
