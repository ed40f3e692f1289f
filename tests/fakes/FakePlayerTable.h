#pragma once

#include <gtest/gtest.h>

#include "app/PlayerActions.h"

namespace fakes {

// The player table in memory, used as a user uses the real ones (the
// contract's side): the rows in the order of the header last clicked, a
// row's menu listing what it offers (none for a row that offers nothing),
// an item it does not list impossible to choose, a disabled Refresh deaf.
struct FakePlayerTable : platform::IPlayerTable {
    std::vector<platform::PlayerRow> shown;
    std::string line, copied;
    bool refreshOn = true;
    platform::IPlayerTableEvents* events = nullptr;
    app::PlayerOrder order;

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

    platform::IPlayerTable& table() { return *this; }
    std::string clipboard() const { return copied; }
    void clickRefresh() {
        if (refreshOn && events) events->refreshClicked();
    }
    void clickHeader(platform::PlayerColumn column) {
        order.headerClicked(column);
        order.sort(shown);
    }
    // What a screen reader reads of a row: slot, name, score, ping, address.
    std::vector<std::string> cells(std::size_t i) const {
        if (i >= shown.size()) return {};
        const platform::PlayerRow& r = shown[i];
        return {std::to_string(r.slot), r.plainName, std::to_string(r.score), r.pingText, r.address};
    }
    // A row's menu, whichever way it opens: its items; the one named is chosen.
    template <class Way>
    std::vector<std::string> menu(std::size_t i, Way, const std::string& choose) {
        std::vector<std::string> items;
        for (const platform::PlayerAction a : app::kMenuOrder) {
            if (shown.at(i).actions & a) items.push_back(app::actionText(a));
            if (!(shown[i].actions & a) || items.back() != choose) continue;
            if (a == platform::kCopyAddress) copied = shown[i].address;
            if (events) events->actionChosen(shown[i], a);
        }
        if (!choose.empty() && std::find(items.begin(), items.end(), choose) == items.end())
            ADD_FAILURE() << "row " << i << " offers no " << choose;
        return items;
    }
};

}  // namespace fakes
