#include <gtest/gtest.h>

#include "support/ErrorTable.h"

using support::ErrorTable;

TEST(ErrorTable, RaisesItsRowsAndMakesEverythingElseTheComponentFailure) {
    const ErrorTable table(".CThing", 100, {{1, "First"}, {2, "Second", ".CThin"}});
    const struct {
        std::int32_t offset;
        const char* source;
        const char* description;
    } cases[] = {
        {1, "vexmond.CThing", "First"},
        {2, "vexmond.CThin", "Second"},
        {3, "vexmond.CThing", "CThing component failure"},  // not in the table: never another row's text
    };
    for (const auto& c : cases) {
        const support::AppError e = table.error(c.offset);
        EXPECT_EQ(e.number(), support::objectError(c.offset == 3 ? 100 : c.offset)) << c.offset;
        EXPECT_EQ(e.source(), c.source) << c.offset;
        EXPECT_EQ(e.description(), c.description) << c.offset;
    }
    // A member's own errors pass through its guard; anything else is the component failure.
    auto numberOf = [&](auto&& body) {
        try {
            table.guard(body);
        } catch (const support::AppError& e) {
            return e.number();
        }
        return 0;
    };
    EXPECT_EQ(numberOf([&] { throw table.error(2); }), support::objectError(2));
    EXPECT_EQ(numberOf([] { throw support::runtimeError(support::kErrOverflow); }), support::objectError(100));
    EXPECT_EQ(numberOf([] { throw std::bad_alloc(); }), support::objectError(100));
}
