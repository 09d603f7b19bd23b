#include "app/MinMaxPyramid.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace zentrola {

// Collects the points in row order and puts a break wherever the next row with a value does
// not follow the last one: empty rows between them, or a jump in time.
class MinMaxPyramid::Emitter {
  public:
    Emitter(const MinMaxPyramid& p, PlotLine& out) : p_(p), out_(out) {}

    // The first row of a run (a row, or a node's first row): a break before it if needed.
    void start(std::size_t row) {
        if (last_ != kNone && (row != last_ + 1 || p_.time_[row] - p_.time_[last_] > p_.gapS_)) {
            const double middle = (p_.time_[row] + p_.time_[last_]) / 2;
            out_.push_back({middle, std::numeric_limits<double>::quiet_NaN()});
        }
        add(row);
    }
    // A further row of the same run.
    void add(std::size_t row) {
        if (row == last_)
            return;
        out_.push_back({p_.time_[row], p_.values_[row]});
        last_ = row;
    }
    // Every row of [first, end) one by one.
    void rows(std::size_t first, std::size_t end) {
        for (std::size_t i = first; i < end; ++i)
            if (!std::isnan(p_.values_[i]))
                start(i);
    }

  private:
    const MinMaxPyramid& p_;
    PlotLine& out_;
    std::size_t last_ = kNone;
};

MinMaxPyramid::MinMaxPyramid(std::span<const double> time, std::span<const double> values,
                             double gapS)
    : time_(time.first(std::min(time.size(), values.size()))), values_(values.first(time_.size())),
      gapS_(gapS) {
    const std::size_t n = time_.size();
    const auto lower = [&](std::uint32_t a, std::uint32_t b) {
        return a == kNone ? b : b == kNone ? a : values_[b] < values_[a] ? b : a;
    };
    const auto higher = [&](std::uint32_t a, std::uint32_t b) {
        return a == kNone ? b : b == kNone ? a : values_[b] > values_[a] ? b : a;
    };
    if (n == 0)
        return;
    std::vector<Node> leaves((n + kLeafRows - 1) / kLeafRows, Node{kNone, kNone, kNone, kNone});
    for (std::size_t i = 0; i < n; ++i) {
        if (std::isnan(values_[i]))
            continue;
        Node& node = leaves[i / kLeafRows];
        const auto row = static_cast<std::uint32_t>(i);
        if (node.first == kNone)
            node.first = row;
        node.last = row;
        node.low = lower(node.low, row);
        node.high = higher(node.high, row);
    }
    levels_.push_back(std::move(leaves));
    while (levels_.back().size() > 1) {
        const std::vector<Node>& below = levels_.back();
        std::vector<Node> level((below.size() + 1) / 2);
        for (std::size_t k = 0; k < level.size(); ++k) {
            const Node& a = below[2 * k];
            const Node b =
                2 * k + 1 < below.size() ? below[2 * k + 1] : Node{kNone, kNone, kNone, kNone};
            level[k] = {a.first != kNone ? a.first : b.first, lower(a.low, b.low),
                        higher(a.high, b.high), b.last != kNone ? b.last : a.last};
        }
        levels_.push_back(std::move(level));
    }
}

std::size_t MinMaxPyramid::bytes() const {
    std::size_t total = 0;
    for (const auto& level : levels_)
        total += level.size() * sizeof(Node);
    return total;
}

void MinMaxPyramid::emitNode(Emitter& out, std::size_t level, std::size_t node,
                             double columnS) const {
    const std::size_t first = node * nodeRows(level);
    const std::size_t end = std::min(time_.size(), first + nodeRows(level));
    const Node& n = levels_[level][node];
    if (n.first == kNone)
        return;
    // A node that spans more time than two columns holds a gap that must show: look closer.
    if (time_[end - 1] - time_[first] > 2 * columnS) {
        if (level == 0)
            out.rows(first, end);
        else
            for (std::size_t k = 2 * node; k < 2 * node + 2 && k < levels_[level - 1].size(); ++k)
                emitNode(out, level - 1, k, columnS);
        return;
    }
    std::array<std::uint32_t, 4> rows{n.first, std::min(n.low, n.high), std::max(n.low, n.high),
                                      n.last};
    out.start(rows[0]);
    for (std::size_t i = 1; i < rows.size(); ++i)
        out.add(rows[i]);
}

PlotLine MinMaxPyramid::points(double from, double to, int columns) const {
    PlotLine line;
    const std::size_t n = time_.size();
    if (n == 0 || !(to > from) || columns <= 0)
        return line;
    std::size_t first = static_cast<std::size_t>(
        std::lower_bound(time_.begin(), time_.end(), from) - time_.begin());
    std::size_t end =
        static_cast<std::size_t>(std::upper_bound(time_.begin(), time_.end(), to) - time_.begin());
    first = first > 0 ? first - 1 : 0;
    end = std::min(n, end + 1);

    Emitter out(*this, line);
    const double columnS = (to - from) / columns;
    const std::size_t rowsPerColumn = (end - first) / static_cast<std::size_t>(columns);
    // The coarsest level whose nodes are no longer than a column's share of rows.
    std::size_t level = 0;
    while (level + 1 < levels_.size() && nodeRows(level + 1) <= rowsPerColumn)
        ++level;
    const std::size_t size = nodeRows(level);
    const std::size_t firstNode = (first + size - 1) / size;
    const std::size_t endNode = end / size;
    if (size > rowsPerColumn || firstNode >= endNode) {
        out.rows(first, end);
        return line;
    }
    out.rows(first, firstNode * size);
    for (std::size_t k = firstNode; k < endNode; ++k)
        emitNode(out, level, k, columnS);
    out.rows(endNode * size, end);
    return line;
}

} // namespace zentrola
