#pragma once

// The pointer's contract, for the fake and each platform's pointer: the
// codes the window uses are taken, an unknown one is refused. (At global
// scope: a typed suite is instantiated where its name is seen unqualified.)
#include <gtest/gtest.h>

#include <cstdint>

template <class Cursor>
struct CursorContract : ::testing::Test {
    Cursor cursor;
    ~CursorContract() override { cursor.set(0); }
};
TYPED_TEST_SUITE_P(CursorContract);

TYPED_TEST_P(CursorContract, TakesTheHourglassAndThePointerTheWindowUses) {
    auto& c = this->cursor;
    for (const std::int16_t code : {std::int16_t{11}, std::int16_t{0}}) {
        EXPECT_TRUE(c.set(code)) << code;
        EXPECT_EQ(c.current(), code);
    }
    EXPECT_FALSE(c.set(99));  // no such pointer: refused, the last one stays
    EXPECT_EQ(c.current(), 0);
}
REGISTER_TYPED_TEST_SUITE_P(CursorContract, TakesTheHourglassAndThePointerTheWindowUses);
