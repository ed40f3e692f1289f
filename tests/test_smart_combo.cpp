// The address history over a combo box that types like the real one, and a
// real settings store.
#include <gtest/gtest.h>

#include <filesystem>

#include "settings/CAppSettings.h"
#include "settings/CSmartComboBox.h"
#include "tests/fakes/FakeComboBox.h"
#include "tests/support/Errors.h"
#include "tests/support/NativeStore.h"
#include "tests/support/TempDir.h"

using settings::CSmartComboBox;
using support::Variant;
using testsupport::errorNumber;
using Items = std::vector<std::string>;

namespace {

struct HistoryTest : ::testing::Test {
    testsupport::TempDir tmp;
    testsupport::NativeStore native{tmp};
    settings::CAppSettings store{native.registry()};
    fakes::FakeComboBox combo;
    CSmartComboBox history;
    void SetUp() override {
        store.Init("Quorlan", "_Vexmond");
        history.Init(&combo, true, true, &store, "IPs", 10);
    }
};

}  // namespace

TEST_F(HistoryTest, AddCurrentItemKeepsTheMostRecentOnTopOnce) {
    const struct {
        Items before;
        std::string text;
        std::int16_t maxCount;
        Items after;
    } cases[] = {
        {{"b", "a"}, "A", 10, {"A", "b"}},
        {{"a", "b", "c"}, "d", 3, {"d", "a", "b"}},
        {{"a", "b", "c"}, "c", 3, {"c", "a", "b"}},
        {{"10.0.0.10", "10.0.0.1", "b"}, "10.0.0.1", 10, {"10.0.0.1", "10.0.0.10", "b"}},  // only an equal one goes
        {{"a", "b"}, "", 10, {"a", "b"}},
    };
    for (const auto& c : cases) {
        combo.items = c.before;
        combo.edit = c.text;
        history.setMaxCount(c.maxCount);
        history.AddCurrentItem();
        EXPECT_EQ(combo.items, c.after) << c.text;
    }
}

// Completion key by key is a contract of the combo boxes (tests/qt/test_contracts.cpp).
TEST_F(HistoryTest, AfterAddCurrentItemCompletionWaitsForTheNextKey) {
    combo.items = {"10.0.0.1"};
    history.AddCurrentItem();
    combo.setText("1");
    EXPECT_EQ(combo.edit, "1");
}

TEST_F(HistoryTest, LoadAppendsTheSavedSlotsSkippingEmptyOnes) {
    combo.items = {"a", "b", "c"};
    history.Save();
    store.SaveSetting("IPs", "Hist1", Variant::String(""));
    EXPECT_EQ(store.GetSetting("IPs", "Hist9"), Variant::String(""));  // every slot is written
    fakes::FakeComboBox other;
    other.items = {"kept"};
    CSmartComboBox loader;
    loader.Init(&other, true, true, &store, "IPs", 10);
    loader.Load();
    EXPECT_EQ(other.items, (Items{"kept", "a", "c"}));
    EXPECT_EQ(other.edit, "kept");
}

TEST_F(HistoryTest, ATransientHistoryStoresNothingAndAStoreThatCannotWriteFailsTheHistory) {
    for (auto call : {&CSmartComboBox::Save, &CSmartComboBox::Load, &CSmartComboBox::AddCurrentItem}) {
        CSmartComboBox transient;
        transient.Init(&combo, false, true);
        EXPECT_EQ(errorNumber([&] { (transient.*call)(); }), 0x8004468Fu);
    }
#ifndef _WIN32  // a store that cannot be written: wine grants every right
    EXPECT_FALSE(std::filesystem::exists(tmp / "config/system.reg"));
    native.setReadOnly(true);
    std::string source;
    EXPECT_EQ(errorNumber([&] { history.Save(); }, &source), 0x80044693u);
    EXPECT_EQ(source, "vexmond.CSmartComboBox");
#endif
}
