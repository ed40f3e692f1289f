// The window's one rule of size and place, as both windows apply it: on a
// roomy screen, on a laptop's at 96 and 144 dots per inch, on one shorter than
// the window's least height, and with the areas giving up height in order.
#include <gtest/gtest.h>

#include "app/WindowFit.h"

namespace {

// Two areas that grow (two parts and one) and a preview of three rows of 16,
// at 96 dots per inch, in the order in which they give up height.
app::WindowShape shapeAt(int percent) {
    const auto s = [percent](int v) { return v * percent / 100; };
    return app::WindowShape{.fixedHeight = s(400),
                            .leastWidth = s(600),
                            .preferredWidth = s(640),
                            .areas = {{s(40), s(160), 2, 1}, {s(40), s(90), 1, 1}, {s(30), s(78), 0, s(16)}}};
}

}  // namespace

TEST(WindowFit, FitsTheWorkAreaWithItsFrameTheAreasGivingUpHeightInOrder) {
    // clang-format off
    const struct {
        const char* what;
        int percent;
        platform::Rect work;
        app::FrameEdges edges;
        double centreX, centreY;
        platform::Rect frame;
        std::vector<int> heights;
    } cases[] = {
        {"a second monitor with room: the preferred size, centred there",
         100, {1366, 0, 3286, 1040}, {4, 30, 4, 4}, 2326, 540, {2002, 159, 2650, 921}, {160, 90, 78}},
        {"1366x768 with a task bar: the first area gives up height, the frame's top on the work area's",
         100, {0, 0, 1366, 728}, {4, 30, 4, 4}, 683, 384, {359, 0, 1007, 728}, {126, 90, 78}},
        {"then the second, then the preview a whole row at a time; the rest goes back to the areas that grow",
         100, {0, 0, 800, 574}, {4, 30, 4, 4}, 400, 287, {76, 0, 724, 574}, {49, 45, 46}},
        {"150%: never below the least size, its top left corner on the work area",
         150, {0, 0, 1366, 728}, {6, 45, 6, 6}, 683, 384, {197, 0, 1169, 816}, {60, 60, 45}},
        {"a work area narrower than the preferred width and below a task bar at the top",
         100, {0, 40, 620, 1040}, {4, 30, 4, 4}, 310, 200, {0, 40, 620, 802}, {160, 90, 78}},
    };
    // clang-format on
    for (const auto& c : cases) {
        const app::WindowShape shape = shapeAt(c.percent);
        const app::WindowFit fit = app::fitWindow(shape, c.edges, c.work, c.centreX, c.centreY);
        EXPECT_EQ(fit.clientWidth + c.edges.left + c.edges.right, fit.frame.right - fit.frame.left) << c.what;
        EXPECT_EQ(fit.clientHeight + c.edges.top + c.edges.bottom, fit.frame.bottom - fit.frame.top) << c.what;
        EXPECT_EQ(std::vector<int>({fit.frame.left, fit.frame.top, fit.frame.right, fit.frame.bottom}),
                  std::vector<int>({c.frame.left, c.frame.top, c.frame.right, c.frame.bottom}))
            << c.what;
        EXPECT_EQ(app::shareHeight(shape.areas, fit.clientHeight - shape.fixedHeight), c.heights) << c.what;
    }
    // Made taller by the user: what is beyond the preferred heights goes to the
    // areas that grow, two parts to one.
    EXPECT_EQ(app::shareHeight(shapeAt(100).areas, 428), (std::vector<int>{226, 124, 78}));
}
