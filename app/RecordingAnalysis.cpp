#include "app/RecordingAnalysis.h"

#include "app/GraphModel.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace zentrola {

namespace {

constexpr int kRpmUnit = 100;    // a speed byte counts hundreds
constexpr int kRpmBin = 100;     // operating points to 100 rpm
constexpr double kDegreeBin = 1; // and to whole degrees

// One pixel column of a line: its first, lowest, highest and last row.
struct Bucket {
    std::size_t first = 0, low = 0, high = 0, last = 0;
    bool used = false;
};

void flush(Bucket& b, const std::vector<double>& time, const std::vector<double>& values,
           PlotLine& line) {
    if (!b.used)
        return;
    std::size_t order[4] = {b.first, std::min(b.low, b.high), std::max(b.low, b.high), b.last};
    for (std::size_t i : order) {
        const PlotPoint p{time[i], values[i]};
        if (line.empty() || !(line.back() == p))
            line.push_back(p);
    }
    b.used = false;
}

// Closes the shortest breaks until at most `maxLines` lines are left.
void closeBreaks(std::vector<PlotLine>& lines, std::size_t maxLines) {
    if (lines.size() <= maxLines || maxLines == 0)
        return;
    std::vector<std::pair<double, std::size_t>> breaks; // length, the line after it
    for (std::size_t i = 1; i < lines.size(); ++i)
        breaks.emplace_back(lines[i].front().x - lines[i - 1].back().x, i);
    const std::size_t toClose = lines.size() - maxLines;
    std::nth_element(breaks.begin(), breaks.begin() + static_cast<std::ptrdiff_t>(toClose - 1),
                     breaks.end());
    std::vector<bool> close(lines.size(), false);
    for (std::size_t k = 0; k < toClose; ++k)
        close[breaks[k].second] = true;
    std::vector<PlotLine> merged;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (close[i])
            merged.back().insert(merged.back().end(), lines[i].begin(), lines[i].end());
        else
            merged.push_back(std::move(lines[i]));
    }
    lines = std::move(merged);
}

} // namespace

std::optional<ChannelRange> channelRange(const std::vector<double>& column) {
    std::optional<ChannelRange> range;
    for (double v : column) {
        if (std::isnan(v))
            continue;
        if (!range)
            range = ChannelRange{v, v};
        range->min = std::min(range->min, v);
        range->max = std::max(range->max, v);
    }
    return range;
}

std::optional<std::size_t> rowAt(const std::vector<double>& time, double timeS) {
    if (time.empty())
        return std::nullopt;
    const auto after = std::lower_bound(time.begin(), time.end(), timeS);
    if (after == time.begin())
        return 0;
    if (after == time.end())
        return time.size() - 1;
    const auto before = after - 1;
    const std::size_t i = static_cast<std::size_t>(before - time.begin());
    return timeS - *before <= *after - timeS ? i : i + 1;
}

std::vector<PlotLine> plotLines(const std::vector<double>& time, const std::vector<double>& values,
                                double from, double to, int buckets, std::size_t maxLines,
                                double gapSeconds) {
    std::vector<PlotLine> lines;
    const std::size_t n = std::min(time.size(), values.size());
    if (n == 0 || !(to > from) || buckets <= 0)
        return lines;
    // The rows inside the stretch and one on each side of it.
    auto begin = static_cast<std::size_t>(
        std::lower_bound(time.begin(), time.begin() + static_cast<std::ptrdiff_t>(n), from) -
        time.begin());
    auto end = static_cast<std::size_t>(
        std::upper_bound(time.begin(), time.begin() + static_cast<std::ptrdiff_t>(n), to) -
        time.begin());
    begin = begin > 0 ? begin - 1 : 0;
    end = std::min(n, end + 1);

    const double width = (to - from) / buckets;
    PlotLine line;
    Bucket bucket;
    long current = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const double v = values[i];
        const bool gap = i > begin && time[i] - time[i - 1] > gapSeconds;
        if (gap && !std::isnan(v)) {
            flush(bucket, time, values, line);
            if (!line.empty())
                lines.push_back(std::move(line));
            line.clear();
        }
        if (std::isnan(v)) {
            flush(bucket, time, values, line);
            if (!line.empty())
                lines.push_back(std::move(line));
            line.clear();
            continue;
        }
        // Rows outside the stretch fall into buckets of their own, -1 and `buckets`.
        const long b = std::clamp(static_cast<long>(std::floor((time[i] - from) / width)), -1L,
                                  static_cast<long>(buckets));
        if (!bucket.used || b != current) {
            flush(bucket, time, values, line);
            bucket = Bucket{i, i, i, i, true};
            current = b;
            continue;
        }
        if (v < values[bucket.low])
            bucket.low = i;
        if (v > values[bucket.high])
            bucket.high = i;
        bucket.last = i;
    }
    flush(bucket, time, values, line);
    if (!line.empty())
        lines.push_back(std::move(line));
    closeBreaks(lines, maxLines);
    return lines;
}

std::vector<OperatingPoint> operatingPoints(const Recording& recording, std::size_t first,
                                            std::size_t end) {
    const std::vector<double>& rpm = recording[Channel::Rpm];
    const std::vector<double>& advance = recording[Channel::Advance];
    const std::vector<double>& pickup = recording[Channel::Pickup];
    std::map<std::pair<int, int>, std::size_t> bins;
    const std::size_t n = std::min({rpm.size(), advance.size(), end});
    for (std::size_t i = first; i < n; ++i) {
        if (std::isnan(advance[i]) || std::isnan(rpm[i]))
            continue;
        if (i < pickup.size() && pickup[i] == 0)
            continue;
        const int r = static_cast<int>(std::lround(rpm[i] / kRpmBin)) * kRpmBin;
        const int a = static_cast<int>(std::lround(advance[i] / kDegreeBin));
        ++bins[{r, a}];
    }
    std::vector<OperatingPoint> out;
    out.reserve(bins.size());
    for (const auto& [key, rows] : bins)
        out.push_back({key.first, key.second, rows});
    return out;
}

PlotLine advanceCurveLine(const ParameterImage& image, Curve curve, int endRpm) {
    const auto points = static_cast<std::size_t>(graphPointCount(image, curve));
    const double base = image[Offset::BaseAdvance];
    const double firstRpm = image.rpm(curve, 0) * kRpmUnit;
    PlotLine line{{0, base}, {firstRpm, base}};
    for (std::size_t k = 0; k < points; ++k)
        line.push_back({static_cast<double>(image.rpm(curve, k) * kRpmUnit),
                        static_cast<double>(image.advance(curve, k))});
    const PlotPoint last = line.back();
    line.push_back({std::max<double>(endRpm, last.x), last.y});
    return line;
}

} // namespace zentrola
