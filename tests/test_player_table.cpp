// The fake player table runs the contract the windows' tables run.
#include "tests/fakes/FakePlayerTable.h"
#include "tests/support/PlayerTableContract.h"

namespace {

struct FakePlayerTableSide {
    fakes::FakePlayerTable fake;
    platform::IPlayerTable& table() { return fake; }
    std::string summaryShown() { return fake.line; }
    void clickRefresh() { fake.clickRefresh(); }
    void clickHeader(platform::PlayerColumn column) { fake.clickHeader(column); }
    std::vector<std::string> cells(std::size_t i) {
        if (i >= fake.shown.size()) return {};
        const platform::PlayerRow& r = fake.shown[i];
        return {std::to_string(r.slot), r.plainName, std::to_string(r.score), r.pingText, r.address};
    }
    std::vector<std::string> menu(std::size_t i, MenuWay, const std::string& choose) {
        std::vector<std::string> items;
        for (const platform::PlayerAction a : fake.menu(i)) {
            items.push_back(app::actionText(a));
            if (items.back() == choose) fake.choose(i, a);
        }
        return items;
    }
    std::string clipboard() { return fake.clipboard; }
};

using Sides = ::testing::Types<FakePlayerTableSide>;
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, PlayerTableContract, Sides);

}  // namespace
