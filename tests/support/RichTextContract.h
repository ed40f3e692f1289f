#pragma once

// What the logic asks of the console's view, of the fake and each window's.
// (At global scope: a typed suite is instantiated where its name is seen unqualified.)
#include <gtest/gtest.h>

#include "tests/fakes/FakeControls.h"

template <class Side>
struct RichTextContract : ::testing::Test {
    Side side;  // its view, and flush() to show what it holds
};
TYPED_TEST_SUITE_P(RichTextContract);

TYPED_TEST_P(RichTextContract, KeepsTheExactBytesGivesPartsAndHeadsAndTheCaretKeepsItsText) {
    platform::IRichText& view = this->side.view();
    const std::string bytes = std::string("first \xE9^1\r\nnul\0here\r\nlast", 25);
    view.appendText(bytes.substr(0, 10)), view.appendText(bytes.substr(10));
    view.setHeadLine("1.0 MB of earlier replies are kept for Save"), view.setSelStart(99);
    this->side.flush();
    EXPECT_EQ(view.text() + std::to_string(view.selStart()), bytes + "25");
    EXPECT_EQ(view.textPart(11, 9) + "|" + view.textPart(21, 99) + "|" + view.textPart(25, 5),
              std::string("nul\0here\r|last|", 15));
    for (const auto& [offset, count] : {std::pair{-1, 1}, {26, 0}, {0, -1}})
        EXPECT_THROW(view.textPart(offset, count), std::out_of_range) << offset << " " << count;
    view.setSelStart(13), view.removeHead(11);  // the caret before "l" of "nul"
    this->side.flush();
    EXPECT_EQ(view.text() + std::to_string(view.selStart()), bytes.substr(11) + "2");
    EXPECT_THROW(view.removeHead(15), std::out_of_range);
}

REGISTER_TYPED_TEST_SUITE_P(RichTextContract, KeepsTheExactBytesGivesPartsAndHeadsAndTheCaretKeepsItsText);

struct FakeRichTextSide {
    fakes::FakeRichText fake;
    platform::IRichText& view() { return fake; }
    void flush() {}
};
