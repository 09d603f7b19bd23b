// Drawing a long channel at a zoom: every peak of every pixel column stays, gaps stay gaps,
// and a redraw hands over a few points per column however many rows lie behind them.
#include "app/MinMaxPyramid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace zentrola;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Column {
    std::vector<double> time, values;
    explicit Column(std::size_t rows, std::uint32_t seed = 1) {
        std::mt19937 random(seed);
        std::normal_distribution<double> noise(0, 300);
        for (std::size_t i = 0; i < rows; ++i) {
            time.push_back(static_cast<double>(i) * 0.33);
            values.push_back(5000 + 3000 * std::sin(static_cast<double>(i) / 500) + noise(random));
        }
    }
    MinMaxPyramid pyramid() const { return MinMaxPyramid(time, values, 0.66); }
};

std::size_t breaks(const PlotLine& line) {
    std::size_t n = 0;
    for (const PlotPoint& p : line)
        n += std::isnan(p.y) ? 1 : 0;
    return n;
}

} // namespace

TEST(MinMaxPyramid, EveryColumnKeepsItsLowestAndHighestRow) {
    const Column c(100'000);
    const MinMaxPyramid p = c.pyramid();
    // Whole, and zoomed to odd stretches: the lowest and highest value of each column's rows
    // must be among the points drawn in that column, and nothing beyond them.
    for (auto [from, to, columns] : {std::tuple{0.0, 33000.0, 1000},
                                     {1234.5, 2345.6, 800},
                                     {100.0, 9000.0, 317},
                                     {30000.0, 40000.0, 1000}}) {
        const PlotLine line = p.points(from, to, columns);
        ASSERT_FALSE(line.empty());
        EXPECT_EQ(breaks(line), 0u);
        // A handful of points per column, not the rows.
        EXPECT_LE(line.size(), static_cast<std::size_t>(columns) * 8 + 16) << from;
        for (std::size_t k = 1; k < line.size(); ++k)
            ASSERT_LE(line[k - 1].x, line[k].x); // in time order
        const double width = (to - from) / columns;
        std::vector<double> low(columns, 1e9), high(columns, -1e9), drawnLow(columns, 1e9),
            drawnHigh(columns, -1e9);
        for (std::size_t i = 0; i < c.time.size(); ++i) {
            const auto k = static_cast<long>(std::floor((c.time[i] - from) / width));
            if (k < 0 || k >= columns)
                continue;
            low[k] = std::min(low[k], c.values[i]);
            high[k] = std::max(high[k], c.values[i]);
        }
        for (const PlotPoint& pt : line) {
            const auto k = static_cast<long>(std::floor((pt.x - from) / width));
            if (k < 0 || k >= columns)
                continue;
            drawnLow[k] = std::min(drawnLow[k], pt.y);
            drawnHigh[k] = std::max(drawnHigh[k], pt.y);
        }
        // A node may straddle two columns: its peak then shows in the neighbouring one, a
        // pixel away. The extremes over the whole stretch are exact.
        double allLow = 1e9, allHigh = -1e9, allDrawnLow = 1e9, allDrawnHigh = -1e9;
        for (long k = 0; k < columns; ++k) {
            allLow = std::min(allLow, low[k]), allHigh = std::max(allHigh, high[k]);
            allDrawnLow = std::min(allDrawnLow, drawnLow[k]);
            allDrawnHigh = std::max(allDrawnHigh, drawnHigh[k]);
            const long a = std::max(0L, k - 1), b = std::min<long>(columns - 1, k + 1);
            const double nearLow = std::min({drawnLow[a], drawnLow[k], drawnLow[b]});
            const double nearHigh = std::max({drawnHigh[a], drawnHigh[k], drawnHigh[b]});
            if (low[k] < 1e9) {
                EXPECT_LE(nearLow, low[k]) << "column " << k << " of " << from;
                EXPECT_GE(nearHigh, high[k]) << "column " << k << " of " << from;
            }
        }
        EXPECT_EQ(allDrawnLow, allLow);
        EXPECT_EQ(allDrawnHigh, allHigh);
        // The line leaves both edges.
        EXPECT_LE(line.front().x, from);
        EXPECT_GE(line.back().x, std::min(to, c.time.back()));
    }
}

TEST(MinMaxPyramid, CloseUpEveryRowAndNoBreakOfItsOwn) {
    const Column c(5000);
    // Rows 1001..1099 on 1000 columns, and the one on either side.
    const PlotLine line = c.pyramid().points(330.1, 362.9, 1000);
    ASSERT_EQ(line.size(), 101u);
    for (std::size_t k = 0; k < line.size(); ++k) {
        EXPECT_DOUBLE_EQ(line[k].x, c.time[1000 + k]);
        EXPECT_DOUBLE_EQ(line[k].y, c.values[1000 + k]);
    }
}

TEST(MinMaxPyramid, EmptyValuesAndTimeJumpsBreakTheLineAtEveryZoom) {
    Column c(200'000);
    // The base advance for 3000 rows, then the connection lost for an hour.
    for (std::size_t i = 50'000; i < 53'000; ++i)
        c.values[i] = kNaN;
    for (std::size_t i = 120'000; i < c.time.size(); ++i)
        c.time[i] += 3600;
    const MinMaxPyramid p = c.pyramid();
    const double end = c.time.back();
    const PlotLine whole = p.points(0, end, 1200);
    EXPECT_EQ(breaks(whole), 2u);
    // No line spans the hour: the points on either side of the break are the rows there.
    for (std::size_t k = 1; k + 1 < whole.size(); ++k) {
        if (!std::isnan(whole[k].y))
            continue;
        EXPECT_LT(whole[k - 1].x, whole[k].x);
        EXPECT_GT(whole[k + 1].x, whole[k].x);
        if (whole[k + 1].x > 119'999 * 0.33 + 1000) {
            EXPECT_DOUBLE_EQ(whole[k - 1].x, c.time[119'999]);
            EXPECT_DOUBLE_EQ(whole[k + 1].x, c.time[120'000]);
        } else {
            EXPECT_DOUBLE_EQ(whole[k - 1].x, c.time[49'999]);
            EXPECT_DOUBLE_EQ(whole[k + 1].x, c.time[53'000]);
        }
    }
    // Zoomed into the middle of the empty stretch: nothing to draw but the rows beside it.
    EXPECT_TRUE(p.points(c.time[51'000], c.time[51'100], 500).empty());
    // Closer to the jump: still one break.
    EXPECT_EQ(breaks(p.points(c.time[119'000], c.time[121'000], 500)), 1u);
    // Rows of nothing but empty values, and no rows, draw nothing.
    const std::vector<double> t{0, 1, 2}, none{kNaN, kNaN, kNaN};
    EXPECT_TRUE(MinMaxPyramid(t, none, 0.66).points(0, 2, 100).empty());
    EXPECT_TRUE(MinMaxPyramid().points(0, 2, 100).empty());
    EXPECT_TRUE(p.points(5, 5, 100).empty());
}

TEST(MinMaxPyramid, AMillionRowsCostAFewMegabytesAndAFewPointsPerColumn) {
    const Column c(1'000'000);
    const MinMaxPyramid p = c.pyramid();
    EXPECT_LT(p.bytes(), 2'200'000u * 4); // under a byte-pair per row and level
    EXPECT_GE(p.levels(), 17u);
    for (double share : {1.0, 0.5, 0.01, 0.0005}) {
        const double to = c.time.back() * share;
        EXPECT_LE(p.points(0, to, 1500).size(), 1500u * 8 + 16) << share;
    }
}
