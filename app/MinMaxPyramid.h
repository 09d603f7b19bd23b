// A channel of a recording made ready to be drawn at any zoom: for blocks of 8, 16, 32 ...
// rows, the first, lowest, highest and last row with a value. A stretch is drawn from the
// level whose blocks are no wider than a pixel column, so a redraw costs a few points per
// column however many rows the stretch holds.
#pragma once

#include "app/RecordingAnalysis.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zentrola {

class MinMaxPyramid {
  public:
    MinMaxPyramid() = default;
    // The columns stay the caller's and must not change; time rises. Time that jumps by more
    // than `gapS` between rows breaks the line.
    MinMaxPyramid(std::span<const double> time, std::span<const double> values, double gapS);

    // The points that draw the values between `from` and `to` seconds at `columns` pixel
    // columns, with the row on either side so the line leaves the edges. A point whose y is
    // NaN breaks the line: where values are empty and where time jumps by more than the gap.
    // Rows closer than a column are drawn by their first, lowest, highest and last value in
    // time order, so no peak is lost.
    PlotLine points(double from, double to, int columns) const;

    std::size_t levels() const { return levels_.size(); }
    std::size_t bytes() const;

    static constexpr std::size_t kLeafRows = 8;

  private:
    struct Node {
        std::uint32_t first, low, high, last; // rows; kNone in all four without a value
    };
    static constexpr std::uint32_t kNone = UINT32_MAX;
    class Emitter;
    void emitNode(Emitter& out, std::size_t level, std::size_t node, double columnS) const;
    std::size_t nodeRows(std::size_t level) const { return kLeafRows << level; }

    std::span<const double> time_;
    std::span<const double> values_;
    double gapS_ = 0;
    std::vector<std::vector<Node>> levels_;
};

} // namespace zentrola
