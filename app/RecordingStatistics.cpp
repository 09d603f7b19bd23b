#include "app/RecordingStatistics.h"

#include "app/RecordingEvents.h"

#include <algorithm>
#include <cmath>

namespace zentrola {

namespace {

void walk(const Recording& r, std::size_t first, std::size_t end, StretchStatistics& s) {
    const std::vector<double>& time = r[Channel::Time];
    const std::vector<double>& rpm = r[Channel::Rpm];
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        const std::vector<double>& column = r.columns[c];
        ChannelStatistics& out = s.channels[c];
        const std::size_t stop = std::min(end, column.size());
        for (std::size_t i = first; i < stop; ++i) {
            const double v = column[i];
            if (std::isnan(v))
                continue;
            if (out.count == 0 || v < out.min)
                out.min = v;
            if (out.count == 0 || v > out.max)
                out.max = v;
            out.sum += v;
            ++out.count;
        }
    }
    for (std::size_t i = first; i < end && i < time.size(); ++i) {
        const double seconds = rowSeconds(time, i);
        if (i + 1 < time.size())
            s.missingS += std::max(0.0, time[i + 1] - time[i] - seconds);
        const double speed = i < rpm.size() ? rpm[i] : 0;
        if (!(speed > 0)) {
            s.stoppedS += seconds;
            continue;
        }
        const auto band = static_cast<std::size_t>(speed / s.bandRpm);
        if (s.bandSeconds.size() <= band)
            s.bandSeconds.resize(band + 1, 0.0);
        s.bandSeconds[band] += seconds;
    }
    s.rows += end - first;
}

void add(StretchStatistics& s, const StretchStatistics& block) {
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        const ChannelStatistics& b = block.channels[c];
        ChannelStatistics& out = s.channels[c];
        if (b.count == 0)
            continue;
        if (out.count == 0 || b.min < out.min)
            out.min = b.min;
        if (out.count == 0 || b.max > out.max)
            out.max = b.max;
        out.sum += b.sum;
        out.count += b.count;
    }
    if (s.bandSeconds.size() < block.bandSeconds.size())
        s.bandSeconds.resize(block.bandSeconds.size(), 0.0);
    for (std::size_t k = 0; k < block.bandSeconds.size(); ++k)
        s.bandSeconds[k] += block.bandSeconds[k];
    s.stoppedS += block.stoppedS;
    s.missingS += block.missingS;
    s.rows += block.rows;
}

} // namespace

double StretchStatistics::seconds() const {
    double total = stoppedS;
    for (double b : bandSeconds)
        total += b;
    return total;
}

double rowSeconds(const std::vector<double>& time, std::size_t row) {
    if (row + 1 >= time.size())
        return kFramePeriodS;
    const double next = time[row + 1] - time[row];
    return next > kGapS ? kFramePeriodS : std::max(0.0, next);
}

StatisticsIndex::StatisticsIndex(const Recording& recording, int bandRpm)
    : recording_(&recording), bandRpm_(std::max(1, bandRpm)) {
    for (std::size_t first = 0; first < recording.rows; first += kBlockRows) {
        StretchStatistics block;
        block.bandRpm = bandRpm_;
        block.firstRow = first;
        walk(recording, first, std::min(recording.rows, first + kBlockRows), block);
        blocks_.push_back(std::move(block));
    }
}

StretchStatistics StatisticsIndex::rows(std::size_t first, std::size_t end) const {
    StretchStatistics s;
    s.bandRpm = bandRpm_;
    if (!recording_)
        return s;
    end = std::min(end, recording_->rows);
    first = std::min(first, end);
    s.firstRow = first;
    // Whole blocks from their summary, the rows at either edge one by one.
    const std::size_t firstBlock = (first + kBlockRows - 1) / kBlockRows;
    const std::size_t endBlock = end / kBlockRows;
    if (firstBlock >= endBlock) {
        walk(*recording_, first, end, s);
        return s;
    }
    walk(*recording_, first, firstBlock * kBlockRows, s);
    for (std::size_t b = firstBlock; b < endBlock; ++b)
        add(s, blocks_[b]);
    walk(*recording_, endBlock * kBlockRows, end, s);
    return s;
}

StretchStatistics StatisticsIndex::stretch(double fromS, double toS) const {
    if (!recording_)
        return rows(0, 0);
    const std::vector<double>& time = (*recording_)[Channel::Time];
    const auto first = std::lower_bound(time.begin(), time.end(), fromS) - time.begin();
    const auto end = std::upper_bound(time.begin(), time.end(), toS) - time.begin();
    return rows(static_cast<std::size_t>(first), static_cast<std::size_t>(std::max(first, end)));
}

std::optional<CursorSpan> cursorSpan(const Recording& recording, std::size_t rowA,
                                     std::size_t rowB) {
    const std::vector<double>& time = recording[Channel::Time];
    const std::vector<double>& rpm = recording[Channel::Rpm];
    if (rowA >= time.size() || rowB >= time.size() || rowA >= rpm.size() || rowB >= rpm.size())
        return std::nullopt;
    CursorSpan s;
    s.fromRow = std::min(rowA, rowB);
    s.toRow = std::max(rowA, rowB);
    s.seconds = time[s.toRow] - time[s.fromRow];
    s.rpmFrom = rpm[s.fromRow];
    s.rpmTo = rpm[s.toRow];
    s.rpmChange = s.rpmTo - s.rpmFrom;
    if (s.seconds > 0)
        s.rpmPerSecond = s.rpmChange / s.seconds;
    return s;
}

} // namespace zentrola
