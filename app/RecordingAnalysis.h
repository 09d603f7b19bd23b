// What the recording viewer and the live chart read off samples without drawing them: the
// row under a time, each channel's range, the lines to draw for a stretch of time at a width
// in pixels, the operating points on the rpm/advance plane, and an advance curve as a line.
#pragma once

#include "app/Recording.h"
#include "core/ParameterImage.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace zentrola {

struct PlotPoint {
    double x = 0;
    double y = 0;
    bool operator==(const PlotPoint&) const = default;
};
using PlotLine = std::vector<PlotPoint>;

// Smallest and largest value of a column, empty values left out; none without a value.
struct ChannelRange {
    double min = 0;
    double max = 0;
};
std::optional<ChannelRange> channelRange(const std::vector<double>& column);

// The row whose time is nearest to `timeS` (the earlier one on a tie); none without rows.
// The time column rises, as every recording's does.
std::optional<std::size_t> rowAt(const std::vector<double>& time, double timeS);

// Two monitor periods: where time jumps further between two rows, frames were missing (the
// unit unplugged, the program busy) and a line drawn across would claim what nobody saw.
inline constexpr double kGapSeconds = 2 * 6 * 0.055;

// The lines that draw `values` over `time` between `from` and `to` (plus the row on each side,
// so the line leaves the edges) as all rows would look at `buckets` pixels: each bucket keeps
// its first, lowest, highest and last value in time order. An empty value breaks the line, and
// so does a step in time longer than `gapSeconds`; when more than `maxLines` lines would
// result (0: no limit), the shortest breaks are closed.
std::vector<PlotLine> plotLines(const std::vector<double>& time, const std::vector<double>& values,
                                double from, double to, int buckets, std::size_t maxLines,
                                double gapSeconds = std::numeric_limits<double>::infinity());

// How long the engine ran at an engine speed (to 100 rpm) and advance (to 1 degree): rows with
// a pick-up signal and an advance in use, among rows [first, end).
struct OperatingPoint {
    int rpm = 0;
    int advanceDeg = 0;
    std::size_t rows = 0;
};
std::vector<OperatingPoint> operatingPoints(const Recording& recording, std::size_t first = 0,
                                            std::size_t end = SIZE_MAX);

// A curve as the advance graph draws it: the base advance from 0 rpm, a step up to the first
// point, through the points, then level to `endRpm`. In rpm and degrees.
PlotLine advanceCurveLine(const ParameterImage& image, Curve curve, int endRpm);

} // namespace zentrola
