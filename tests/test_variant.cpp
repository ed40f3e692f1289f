#include <gtest/gtest.h>

#include <cmath>

#include "base/AppError.h"
#include "base/ErrorTable.h"
#include "support/LeadingNumber.h"
#include "support/Variant.h"
#include "tests/support/Errors.h"

using support::Variant;

TEST(Variant, ConvertsToLongWithHalvesToEvenOrRefusesWithItsNumber) {
    using base::kErrOverflow;
    const struct {
        Variant v;
        std::int32_t expected, error;
    } cases[] = {
        {Variant::Double(2.5), 2, 0},
        {Variant::Double(-3.5), -4, 0},
        {Variant::Double(2147483647.4), 2147483647, 0},
        {Variant::CurrencyScaled(25000), 2, 0},
        {Variant::CurrencyScaled(-15000), -2, 0},
        {Variant::CurrencyScaled(35000), 4, 0},
        {Variant::String(" 42 "), 42, 0},
        {Variant::String("2.5"), 2, 0},
        {Variant::Double(2147483647.5), 0, kErrOverflow},
        {Variant::CurrencyScaled(30000000000000LL), 0, kErrOverflow},
        {Variant::Null(), 0, base::kErrInvalidUseOfNull},
        {Variant::Missing(), 0, base::kErrTypeMismatch},
        {Variant::String("12abc"), 0, base::kErrTypeMismatch},
    };
    for (const auto& c : cases) {
        std::int32_t got = 0;
        EXPECT_EQ(testsupport::errorNumber([&] { got = c.v.toLong(); }), static_cast<std::uint32_t>(c.error))
            << c.v.typeName() << " " << c.v.toText();
        EXPECT_EQ(got, c.expected) << c.v.typeName() << " " << c.v.toText();
    }
}

TEST(Variant, DatesAreTextOnlyInsideTheCalendar) {
    EXPECT_EQ(Variant::Date(46363.5).toText(), "2026-12-07 12:00:00");
    EXPECT_EQ(Variant::Date(0.25).toText(), "06:00:00");
    for (double outside : {2958466.0, -657435.0, std::nan("")})
        EXPECT_EQ(testsupport::errorNumber([&] { (void)Variant::Date(outside).toText(); }), 6u) << outside;
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
    const base::ErrorTable table(".CThing", 100, {{1, "First"}, {2, "Second", ".CThin"}});
    const std::tuple<std::int32_t, std::int32_t, const char*, const char*> cases[] = {
        {1, 1, "vexmond.CThing", "First"},
        {2, 2, "vexmond.CThin", "Second"},
        {3, 100, "vexmond.CThing", "CThing component failure"},
    };
    for (const auto& [offset, number, source, description] : cases) {
        const base::AppError e = table.error(offset);
        EXPECT_EQ(e.number(), base::objectError(number));
        EXPECT_EQ(e.source(), source);
        EXPECT_EQ(e.description(), description);
    }
    EXPECT_EQ(testsupport::errorNumber([&] { table.guard([] { throw std::bad_alloc(); }); }),
              static_cast<std::uint32_t>(base::objectError(100)));
}
