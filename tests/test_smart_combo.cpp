#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "settings/CAppSettings.h"
#include "settings/CSmartComboBox.h"
#include "support/AppError.h"
#include "tests/fakes/FakeComboBox.h"
#include "platform/posix/HiveRegistry.h"
#include "tests/support/Errors.h"
#include "tests/support/TempDir.h"

using settings::CSmartComboBox;
using support::Variant;
using Items = std::vector<std::string>;

namespace {

using testsupport::errorNumber;

struct HistoryTest : ::testing::Test {
    testsupport::TempDir tmp;
    platform::posix::HiveRegistry reg{tmp / "config"};
    settings::CAppSettings store{reg};
    fakes::FakeComboBox combo;
    CSmartComboBox history;
    void SetUp() override {
        store.Init("Quorlan", "_Vexmond");
        history.Init(&combo, true, true, &store, "IPs", 10);
    }
};

}  // namespace

TEST_F(HistoryTest, AddCurrentItemKeepsTheMostRecentOnTopOnce) {
    struct Case {
        Items before;
        std::string text;
        std::int16_t maxCount;
        Items after;
    } cases[] = {
        {{"b", "a"}, "A", 10, {"A", "b"}},          {{}, "x", 10, {"x"}},    {{"a", "b", "c"}, "d", 3, {"d", "a", "b"}},
        {{"a", "b", "c"}, "c", 3, {"c", "a", "b"}}, {{"a"}, "a", 10, {"a"}}, {{"a", "b"}, "z", 1, {"z"}},
        {{"a", "b"}, "", 10, {"a", "b"}},
    };
    for (const auto& c : cases) {
        combo.items = c.before;
        combo.edit = c.text;
        history.setMaxCount(c.maxCount);
        history.AddCurrentItem();
        EXPECT_EQ(combo.items, c.after) << c.text;
        EXPECT_EQ(combo.edit, c.text);
    }
}

TEST_F(HistoryTest, CompletesTypedTextFromTheFirstMatchingEntry) {
    combo.items = {"10.0.0.1", "Server1", "server2"};
    combo.typeText("s");
    EXPECT_EQ(combo.edit, "server1");
    EXPECT_EQ(combo.selectedText(), "erver1");
    combo.backspace();  // removes the completion, which is not put back
    EXPECT_EQ(combo.edit, "s");
    combo.typeText("erver2");
    EXPECT_EQ(combo.edit, "server2");
    combo.typeText("x");
    EXPECT_EQ(combo.edit, "server2x");  // nothing begins with it: stays as typed
    EXPECT_EQ(combo.selectedText(), "");

    // After AddCurrentItem completion waits for the next key.
    combo.edit = "";
    history.AddCurrentItem();
    combo.setText("1");
    EXPECT_EQ(combo.edit, "1");

    history.setPredictiveText(false);
    combo.typeText("1");
    EXPECT_EQ(combo.edit, "11");
}

TEST_F(HistoryTest, SaveAndLoadUseHistSlots) {
    combo.items = {"a", "b", "c"};
    history.Save();
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(store.GetSetting("IPs", "Hist" + std::to_string(i)), Variant::String(i < 3 ? combo.items[i] : ""));

    fakes::FakeComboBox other;
    other.items = {"kept"};
    CSmartComboBox loader;
    loader.Init(&other, true, true, &store, "IPs", 10);
    loader.Load();
    EXPECT_EQ(other.items, (Items{"kept", "a", "b", "c"}));  // Load appends
    EXPECT_EQ(other.edit, "kept");

    // Empty slots in between are skipped; later ones are still read.
    store.SaveSetting("IPs", "Hist1", Variant::String(""));
    fakes::FakeComboBox third;
    CSmartComboBox reader;
    reader.Init(&third, true, false, &store, "IPs", 10);
    reader.Load();
    EXPECT_EQ(third.items, (Items{"a", "c"}));
    EXPECT_EQ(third.edit, "a");
}

TEST_F(HistoryTest, ErrorsAndTheirSources) {
    CSmartComboBox fresh;
    std::string source;
    EXPECT_EQ(errorNumber([&] { fresh.Init(&combo, true, true, &store, "", 10); }, &source), 0x80044690u);
    EXPECT_EQ(source, "vexmond.CSmartComboBox");
    EXPECT_EQ(fresh.ComboBox(), &combo);  // attached before the failing check
    for (auto call : {&CSmartComboBox::Save, &CSmartComboBox::Load, &CSmartComboBox::AddCurrentItem}) {
        CSmartComboBox transient;
        transient.Init(&combo, false, true);
        EXPECT_EQ(errorNumber([&] { (transient.*call)(); }), 0x8004468Fu);
    }
    EXPECT_FALSE(std::filesystem::exists(tmp / "config/system.reg"));  // Save wrote nothing

    // A store that cannot write is a component failure of the history; the
    // event handling has a source of its own.
    combo.items = {"a"};
    std::filesystem::create_directories(tmp / "config");
    ::chmod((tmp / "config").c_str(), 0500);
    EXPECT_EQ(errorNumber([&] { history.Save(); }, &source), 0x80044693u);
    EXPECT_EQ(source, "vexmond.CSmartComboBox");
    CSmartComboBox bare;
    EXPECT_EQ(errorNumber([&] { bare.comboChanged(); }), 0u);  // completion off until a key goes down
    bare.comboKeyDown('A', 0);
    EXPECT_EQ(errorNumber([&] { bare.comboChanged(); }, &source), 0x80044693u);
    EXPECT_EQ(source, "vexmond.CSmartComboBoxBox");
}

TEST_F(HistoryTest, DetachesFromTheComboBoxWhenItEnds) {
    {
        CSmartComboBox temporary;
        temporary.Init(&combo, false, true);
    }
    fakes::FakeComboBox second;
    history.setComboBox(&second);
    EXPECT_TRUE(combo.listeners.empty());
    history.setComboBox(&combo);  // `second` ends before the fixture's history does
    EXPECT_TRUE(second.listeners.empty());
}
