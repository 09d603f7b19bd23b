// Figures of a stretch of a recording: each channel's minimum, maximum and mean, and how long
// the engine ran in each band of engine speed; and what lies between two cursors. A summary
// of fixed blocks of rows is made once per recording, so the figures of a stretch of a
// million rows take a walk over a few thousand blocks, not over every row.
#pragma once

#include "app/Recording.h"

#include <array>
#include <cstddef>
#include <limits>
#include <optional>
#include <vector>

namespace zentrola {

struct ChannelStatistics {
    std::size_t count = 0; // rows with a value
    double min = std::numeric_limits<double>::quiet_NaN();
    double max = std::numeric_limits<double>::quiet_NaN();
    double sum = 0;
    double mean() const {
        return count ? sum / static_cast<double>(count) : std::numeric_limits<double>::quiet_NaN();
    }
};

struct StretchStatistics {
    std::size_t firstRow = 0;
    std::size_t rows = 0;
    std::array<ChannelStatistics, kChannelCount> channels{};
    // Seconds with an engine speed in each band: band k holds k * bandRpm up to below
    // (k + 1) * bandRpm; as many bands as reach the highest speed.
    std::vector<double> bandSeconds;
    int bandRpm = 1000;
    double stoppedS = 0; // no engine speed
    double missingS = 0; // inside gaps: no frames came
    double seconds() const;

    const ChannelStatistics& operator[](Channel c) const {
        return channels[static_cast<std::size_t>(c)];
    }
};

// How long a row stands for: until the next row, or one frame period when the next row is
// beyond a gap (or there is none). The rest of a gap counts as missing.
double rowSeconds(const std::vector<double>& time, std::size_t row);

class StatisticsIndex {
  public:
    StatisticsIndex() = default;
    // The recording must outlive the index and stay unchanged.
    explicit StatisticsIndex(const Recording& recording, int bandRpm = 1000);

    // The rows whose time lies in [fromS, toS].
    StretchStatistics stretch(double fromS, double toS) const;
    // Rows [first, end).
    StretchStatistics rows(std::size_t first, std::size_t end) const;

    static constexpr std::size_t kBlockRows = 512;

  private:
    const Recording* recording_ = nullptr;
    int bandRpm_ = 1000;
    std::vector<StretchStatistics> blocks_;
};

// What lies between two cursors, from the earlier row to the later one.
struct CursorSpan {
    std::size_t fromRow = 0;
    std::size_t toRow = 0;
    double seconds = 0;
    double rpmFrom = 0;
    double rpmTo = 0;
    double rpmChange = 0;
    std::optional<double> rpmPerSecond; // none when both rows have the same time
};
std::optional<CursorSpan> cursorSpan(const Recording& recording, std::size_t rowA,
                                     std::size_t rowB);

} // namespace zentrola
