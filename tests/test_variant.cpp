#include <gtest/gtest.h>

#include <cmath>

#include "support/AppError.h"
#include "support/ErrorTable.h"
#include "support/LeadingNumber.h"
#include "support/Variant.h"
#include "tests/support/Errors.h"

using support::Variant;

TEST(Variant, ConvertsToLongWithHalvesToEven) {
    struct Case {
        Variant v;
        std::int32_t expected;
    } cases[] = {
        {Variant(), 0},
        {Variant::Integer(7), 7},
        {Variant::Double(2.5), 2},
        {Variant::Double(3.5), 4},
        {Variant::Double(-2.5), -2},
        {Variant::Double(-3.5), -4},
        {Variant::Single(0.5f), 0},
        {Variant::Double(2147483647.4), 2147483647},
        {Variant::CurrencyScaled(25000), 2},
        {Variant::CurrencyScaled(35000), 4},
        {Variant::CurrencyScaled(-15000), -2},
        {Variant::CurrencyScaled(12345), 1},
        {Variant::Byte(255), 255},
        {Variant::Boolean(true), -1},
        {Variant::String(" 42 "), 42},
        {Variant::String("2.5"), 2},
    };
    for (const auto& c : cases) EXPECT_EQ(c.v.toLong(), c.expected) << c.v.typeName() << " " << c.v.toText();
}

TEST(Variant, RefusesValuesThatAreNoLong) {
    struct Case {
        Variant v;
        std::int32_t error;
    } cases[] = {
        {Variant::Double(2147483647.5), support::kErrOverflow},
        {Variant::Double(-2147483649.0), support::kErrOverflow},
        {Variant::Double(std::nan("")), support::kErrOverflow},
        {Variant::CurrencyScaled(30000000000000LL), support::kErrOverflow},
        {Variant::Null(), support::kErrInvalidUseOfNull},
        {Variant::Missing(), support::kErrTypeMismatch},
        {Variant::String("abc"), support::kErrTypeMismatch},
        {Variant::String("12abc"), support::kErrTypeMismatch},
    };
    for (const auto& c : cases) {
        try {
            c.v.toLong();
            ADD_FAILURE() << c.v.typeName() << " converted";
        } catch (const support::AppError& e) {
            EXPECT_EQ(e.number(), c.error) << c.v.typeName();
        }
    }
}

TEST(Variant, TextForms) {
    EXPECT_EQ(Variant::Boolean(true).toText(), "True");
    EXPECT_EQ(Variant::Boolean(false).toText(), "False");
    EXPECT_EQ(Variant::Double(2.5).toText(), "2.5");
    EXPECT_EQ(Variant::Single(0.1f).toText(), "0.1");
    EXPECT_EQ(Variant::CurrencyScaled(12345).toText(), "1.2345");
    EXPECT_EQ(Variant::Date(46363.5).toText(), "2026-12-07 12:00:00");
    EXPECT_EQ(Variant::Date(46363.0).toText(), "2026-12-07");
    EXPECT_EQ(Variant::Date(0.25).toText(), "06:00:00");
    EXPECT_EQ(Variant::Date(0.0).toText(), "1899-12-30");
    EXPECT_EQ(Variant::Date(-657434.0).toText(), "0100-01-01");
    EXPECT_EQ(Variant::Date(2958465.0).toText(), "9999-12-31");
    for (double outside : {1e300, -1e300, 2958466.0, -657435.0, std::nan("")})
        EXPECT_EQ(testsupport::errorNumber([&] { (void)Variant::Date(outside).toText(); }), 6u) << outside;
    EXPECT_STREQ(Variant::Missing().typeName(), "Error");
    EXPECT_STREQ(Variant::CurrencyScaled(1).typeName(), "Currency");
}

TEST(LeadingNumber, ReadsTheLongestLeadingDecimalNumber) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {
        {"", 0},    {"abc", 0},  {"5", 5},  {"2.5", 2.5},      {"  7 minutes", 7}, {"1.5s", 1.5},
        {"-3", -3}, {".5", 0.5}, {"3.", 3}, {"27960 ", 27960}, {"1 2", 12},        {"2e3", 2000},
        {"2e", 2},  {"1,5", 1},  {"+4", 4}, {"-", 0},          {".", 0},           {"0x10", 0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(support::leadingNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_TRUE(std::isinf(support::leadingNumber("1e999")));
    EXPECT_EQ(support::leadingNumber("1e-999"), 0.0);
}

TEST(ErrorTable, AnOffsetNotInTheTableIsTheComponentFailureNeverAnotherRow) {
    const support::ErrorTable table(".CThing", 100, {{1, "First"}, {2, "Second", ".CThin"}});
    const std::tuple<std::int32_t, std::int32_t, const char*, const char*> cases[] = {
        {1, 1, "vexmond.CThing", "First"},
        {2, 2, "vexmond.CThin", "Second"},
        {3, 100, "vexmond.CThing", "CThing component failure"},
    };
    for (const auto& [offset, number, source, description] : cases) {
        const support::AppError e = table.error(offset);
        EXPECT_EQ(e.number(), support::objectError(number));
        EXPECT_EQ(e.source(), source);
        EXPECT_EQ(e.description(), description);
    }
    EXPECT_EQ(testsupport::errorNumber([&] { table.guard([] { throw std::bad_alloc(); }); }),
              static_cast<std::uint32_t>(support::objectError(100)));
}
