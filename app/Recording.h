// A recording of live data: RFC 4180 CSV, a header of channel names and one row per monitor
// frame. Writing gives the text of a header and of a row; reading gives the channels as
// columns of numbers and, when the file is not sound, the first problem with its line, having
// kept every row before it. A recording a spreadsheet saved again with a decimal comma (";"
// between fields) reads as well, and blank lines are passed over.
#pragma once

#include "app/LiveSample.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrola {

// The header line and a row, each ending in CR LF; numbers with a decimal point in every
// locale, an empty field for an empty advance, A or B for the curve.
std::string recordingCsvHeader();
std::string recordingCsvRow(const LiveSample& sample);

enum class RecordingFault : std::uint8_t {
    CannotOpen,    // the file cannot be read
    Empty,         // nothing in it
    NotARecording, // the first line is not our header
    Truncated,     // the last row ends early (a recording cut off)
    NotANumber,    // a field holds text where a number belongs
    FieldCount,    // a row with more or fewer fields than the header
    TimeGoesBack,  // a row's time before the row above it
    TooLarge,      // larger than kMaxRecordingBytes: not read at all
};

// A ten-hour ride is about 10 MB; a file past this is no recording of ours, and reading it
// whole could take all the memory there is.
inline constexpr std::uintmax_t kMaxRecordingBytes = std::uintmax_t{1} << 30;

struct RecordingProblem {
    RecordingFault fault = RecordingFault::Empty;
    std::size_t line = 0; // 1-based line of the file
};

struct Recording {
    // The file's channels by Channel; a channel the file lacks has an empty column.
    std::array<std::vector<double>, kChannelCount> columns;
    std::size_t rows = 0;
    std::optional<RecordingProblem> problem; // the first one; the rows before it are kept

    const std::vector<double>& operator[](Channel c) const {
        return columns[static_cast<std::size_t>(c)];
    }
};

Recording readRecording(std::string_view text);
// path in UTF-8 on every system.
Recording readRecordingFile(const std::string& path);

} // namespace zentrola
