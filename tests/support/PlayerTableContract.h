#pragma once

// The player table's contract, for the fake and each window's table: what a
// user sees and does with it and what it reports. The type parameter is a
// side that knows how a user does it there: clicks Refresh or a column's
// header, opens a row's menu one of three ways and reads its items, and
// what the cells and the clipboard then hold. (At global scope: a typed
// suite is instantiated where its name is seen unqualified.)
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/PlayerActions.h"
#include "platform/PlayerTable.h"

enum class MenuWay { rightClick, menuKey, shiftF10 };

struct PlayerTableEvents : platform::IPlayerTableEvents {
    int refreshes = 0;
    std::vector<std::pair<platform::PlayerRow, platform::PlayerAction>> chosen;
    void refreshClicked() override { ++refreshes; }
    void actionChosen(const platform::PlayerRow& row, platform::PlayerAction action) override {
        chosen.emplace_back(row, action);
    }
};

template <class Side>
struct PlayerTableContract : ::testing::Test {
    Side side;
    PlayerTableEvents events;
    std::vector<platform::PlayerRow> rows;
    PlayerTableContract() {
        using app::Player;
        const Player human{0, 12, app::PlayerState::Playing, 48, "^1Red^7Baron", "203.0.113.5", false};
        const Player bot{2, 3, app::PlayerState::Playing, 0, "Sarge", "bot", true};
        const Player joining{5, -1, app::PlayerState::Connecting, 0, "^4Zed ^7Blank", "198.51.100.7", false};
        rows = app::playerRows({app::StatusFormat::IoQuake3, "oa_dm1", {human, bot, joining}, {}},
                               app::ColourCodes::AnyCharacter);
        // The host of a listen server, on a classic server: it offers nothing.
        const Player host{6, 0, app::PlayerState::Playing, 0, "Host", "loopback", false};
        rows.push_back(app::playerRows({app::StatusFormat::Classic, "q3dm17", {host}, {}}, {}).front());
        side.table().setEvents(&events);
    }
    std::vector<int> slotsShown() {
        std::vector<int> shown;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::vector<std::string> cells = side.cells(i);
            if (cells.empty()) break;
            shown.push_back(std::stoi(cells.front()));
        }
        std::vector<int> told;
        for (const auto& r : side.table().rows()) told.push_back(r.slot);
        EXPECT_EQ(shown, told) << "the rows told are the rows shown";
        return shown;
    }
};
TYPED_TEST_SUITE_P(PlayerTableContract);

TYPED_TEST_P(PlayerTableContract, ShowsTheRowsUnderTheirLineAndSortsThemByTheHeaderClicked) {
    platform::IPlayerTable& table = this->side.table();
    table.showPlayers(this->rows, "2 players (1 bot) on oa_dm1 at 14:02");
    EXPECT_EQ(table.summary(), "2 players (1 bot) on oa_dm1 at 14:02");
    EXPECT_EQ(this->side.summaryShown(), "2 players (1 bot) on oa_dm1 at 14:02");
    EXPECT_EQ(table.rows(), this->rows);
    EXPECT_EQ(this->slotsShown(), (std::vector<int>{0, 2, 5, 6}));
    // The cells as a screen reader reads them: the name without its codes.
    EXPECT_EQ(this->side.cells(0), (std::vector<std::string>{"0", "RedBaron", "12", "48", "203.0.113.5"}));
    EXPECT_EQ(this->side.cells(2), (std::vector<std::string>{"5", "Zed Blank", "-1", "connecting", "198.51.100.7"}));

    this->side.clickHeader(platform::PlayerColumn::Name);
    EXPECT_EQ(this->slotsShown(), (std::vector<int>{6, 0, 2, 5}));
    this->side.clickHeader(platform::PlayerColumn::Name);
    EXPECT_EQ(this->slotsShown(), (std::vector<int>{5, 2, 0, 6}));
    // New rows keep the order chosen.
    std::vector<platform::PlayerRow> fewer = this->rows;
    fewer.erase(fewer.begin() + 1);
    table.showPlayers(fewer, "1 player on oa_dm1 at 14:03");
    EXPECT_EQ(this->slotsShown(), (std::vector<int>{5, 0, 6}));
    this->side.clickHeader(platform::PlayerColumn::Ping);
    EXPECT_EQ(this->slotsShown(), (std::vector<int>{6, 0, 5}));
    table.showPlayers({}, app::kNoStatusYet);
    EXPECT_EQ(this->slotsShown(), std::vector<int>{});
    EXPECT_EQ(this->side.summaryShown(), app::kNoStatusYet);
}

TYPED_TEST_P(PlayerTableContract, EachWayToARowsMenuOffersItsActionsAndTellsTheOneChosen) {
    this->side.table().showPlayers(this->rows, "2 players (1 bot) on oa_dm1 at 14:02");
    const std::vector<std::string> all{"&Kick", "&Ban", "&Message...", "Copy &Address"};
    auto& chosen = this->events.chosen;
    for (const MenuWay way : {MenuWay::rightClick, MenuWay::menuKey, MenuWay::shiftF10}) {
        const int w = static_cast<int>(way);
        EXPECT_EQ(this->side.menu(0, way, "&Ban"), all) << w;
        ASSERT_EQ(chosen.size(), 1u) << w;
        EXPECT_EQ(chosen[0].first, this->rows[0]);
        EXPECT_EQ(chosen[0].second, platform::kBan);
        EXPECT_EQ(this->side.menu(1, way, ""), std::vector<std::string>{"&Kick"}) << w;  // a bot, closed unchosen
        EXPECT_EQ(this->side.menu(3, way, ""), std::vector<std::string>{}) << w;         // no menu at all
        EXPECT_EQ(this->side.menu(2, way, "&Kick"), all) << w;
        ASSERT_EQ(chosen.size(), 2u) << w;
        EXPECT_EQ(chosen[1].first.slot, 5);
        EXPECT_EQ(chosen[1].second, platform::kKick);
        chosen.clear();
    }
    this->side.menu(0, MenuWay::rightClick, "Copy &Address");
    EXPECT_EQ(this->side.clipboard(), "203.0.113.5");
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].second, platform::kCopyAddress);
}

TYPED_TEST_P(PlayerTableContract, RefreshIsToldOnlyWhileItIsEnabled) {
    platform::IPlayerTable& table = this->side.table();
    EXPECT_TRUE(table.refreshEnabled());
    this->side.clickRefresh();
    EXPECT_EQ(this->events.refreshes, 1);
    table.setRefreshEnabled(false);
    EXPECT_FALSE(table.refreshEnabled());
    this->side.clickRefresh();
    EXPECT_EQ(this->events.refreshes, 1);
    table.setRefreshEnabled(true);
    table.setEvents(nullptr);
    this->side.clickRefresh();
    EXPECT_EQ(this->events.refreshes, 1);
}

REGISTER_TYPED_TEST_SUITE_P(PlayerTableContract, ShowsTheRowsUnderTheirLineAndSortsThemByTheHeaderClicked,
                            EachWayToARowsMenuOffersItsActionsAndTellsTheOneChosen, RefreshIsToldOnlyWhileItIsEnabled);
