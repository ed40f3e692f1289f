#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PlayerActions.h"
#include "platform/PlayerTable.h"

namespace fakes {

// The player table in memory, used as a user uses the real ones: the rows in
// the order of the header last clicked, the menu of a row listing what it
// offers (none for a row that offers nothing), an item not in the menu
// impossible to choose, a disabled Refresh deaf to clicks.
struct FakePlayerTable : platform::IPlayerTable {
    std::vector<platform::PlayerRow> shown;
    std::string line;
    bool refreshOn = true;
    platform::IPlayerTableEvents* events = nullptr;
    app::PlayerOrder order;
    std::string clipboard;

    void showPlayers(const std::vector<platform::PlayerRow>& rows, const std::string& summary) override {
        shown = rows;
        order.sort(shown);
        line = summary;
    }
    std::vector<platform::PlayerRow> rows() const override { return shown; }
    std::string summary() const override { return line; }
    bool refreshEnabled() const override { return refreshOn; }
    void setRefreshEnabled(bool enabled) override { refreshOn = enabled; }
    void setEvents(platform::IPlayerTableEvents* e) override { events = e; }

    void clickRefresh() {
        if (refreshOn && events) events->refreshClicked();
    }
    void clickHeader(platform::PlayerColumn column) {
        order.headerClicked(column);
        order.sort(shown);
    }
    std::vector<platform::PlayerAction> menu(std::size_t index) const {
        std::vector<platform::PlayerAction> items;
        for (const platform::PlayerAction a : app::kMenuOrder)
            if (shown.at(index).actions & a) items.push_back(a);
        return items;
    }
    void choose(std::size_t index, platform::PlayerAction action) {
        if (index >= shown.size() || !(shown[index].actions & action)) {
            ADD_FAILURE() << "row " << index << " offers no action " << static_cast<int>(action);
            return;
        }
        if (action == platform::kCopyAddress) clipboard = shown[index].address;
        if (events) events->actionChosen(shown[index], action);
    }
};

}  // namespace fakes
