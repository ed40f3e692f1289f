#include "app/WindowFit.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "app/FieldRules.h"

namespace app {

namespace {

int sumOf(const std::vector<int>& heights) { return std::accumulate(heights.begin(), heights.end(), 0); }

// A start of a frame of this length around centre, moved within [low, high)
// where it fits there, else onto low.
int within(double centre, int length, int low, int high) {
    const int start = static_cast<int>(std::floor(centre - length / 2.0 + 0.5));
    return std::max(low, std::min(start, high - length));
}

}  // namespace

std::vector<StretchArea> stretchAreas(const std::function<LineMetrics(std::string_view control)>& metricsOf,
                                      std::size_t messageLines) {
    std::vector<StretchArea> areas;
    for (const StretchLines& a : kStretchAreas) {
        const LineMetrics m = metricsOf(a.control);
        const int preferred = a.preferredLines == kRowPerMessageLine ? previewRows(messageLines) : a.preferredLines;
        areas.push_back(StretchArea{.least = m.chrome + a.leastLines * m.lineHeight,
                                    .preferred = m.chrome + std::max(a.leastLines, preferred) * m.lineHeight,
                                    .growth = a.growth,
                                    .step = a.wholeLines ? std::max(1, m.lineHeight) : 1});
    }
    return areas;
}

std::vector<int> shareHeight(const std::vector<StretchArea>& areas, int height) {
    std::vector<int> heights;
    for (const StretchArea& a : areas) heights.push_back(std::max(a.least, a.preferred));
    int spare = height - sumOf(heights);
    for (std::size_t i = 0; i < areas.size() && spare < 0; ++i) {
        const int step = std::max(1, areas[i].step);
        const int give = std::min((-spare + step - 1) / step * step, (heights[i] - areas[i].least) / step * step);
        heights[i] -= give;
        spare += give;
    }
    // What a whole line given up leaves over goes to the areas that grow too.
    const int parts = std::accumulate(areas.begin(), areas.end(), 0,
                                      [](int sum, const StretchArea& a) { return sum + std::max(0, a.growth); });
    if (spare <= 0 || parts == 0) return heights;
    int before = 0;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        const int growth = std::max(0, areas[i].growth);
        heights[i] += spare * (before + growth) / parts - spare * before / parts;
        before += growth;
    }
    return heights;
}

WindowFit fitWindow(const WindowShape& shape, const FrameEdges& edges, const platform::Rect& workArea, double centreX,
                    double centreY) {
    const int roomWidth = workArea.right - workArea.left - edges.left - edges.right;
    const int roomHeight = workArea.bottom - workArea.top - edges.top - edges.bottom;
    std::vector<int> least, preferred;
    for (const StretchArea& a : shape.areas) {
        least.push_back(a.least);
        preferred.push_back(std::max(a.least, a.preferred));
    }
    WindowFit fit;
    fit.clientWidth = std::max(shape.leastWidth, std::min(shape.preferredWidth, roomWidth));
    fit.clientHeight =
        shape.fixedHeight + std::max(sumOf(least), std::min(sumOf(preferred), roomHeight - shape.fixedHeight));
    const int width = fit.clientWidth + edges.left + edges.right;
    const int height = fit.clientHeight + edges.top + edges.bottom;
    fit.frame.left = within(centreX, width, workArea.left, workArea.right);
    fit.frame.top = within(centreY, height, workArea.top, workArea.bottom);
    fit.frame.right = fit.frame.left + width;
    fit.frame.bottom = fit.frame.top + height;
    return fit;
}

}  // namespace app
